// The chart generator's pieces that need the platform: the pause between
// polling passes and the clearing of the summary window.
#pragma once

int  PollPause();         // about 100 ms of message pumping; 1 when Stop cut it short
void ClearTextWindow();   // empty the current text window before the summary
