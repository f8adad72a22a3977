// A user program that ignores Stop and Exit and never pumps, for the Exit
// test: its process must end by itself soon after the 2 s Exit allows.
#include <windows.h>

#include "qellib.h"

void user_setup() {}

void user_main()
{
  // The test waits for this window to know the run has begun.
  QEL_OpenTextWindow(0, 0, 0, 120, 60);
  for (;;)
    Sleep(1);
}
