// The chart generator's piece that needs the platform: the pause between
// polling passes.
#pragma once

int  PollPause();         // about 100 ms of message pumping; 1 when Stop cut it short
