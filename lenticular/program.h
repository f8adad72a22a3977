// The chart generator's pieces that need the platform: its set-up and main
// routine (the program's user hooks), and the pause between polling passes.
#pragma once

void chart_setup();       // summary window, button box and parameter form
void chart_main();        // one run: the chart from image 0 until "break"

int  PollPause();         // about 100 ms of message pumping; 1 when Stop cut it short
