// The chart generator's pause between polling passes. Win32 for the
// performance counter and for sleeping until a message arrives.
#include <windows.h>

#include <cmath>

#include "lenticular/program.h"
#include "qellib.h"
#include "shell/app_win.h"
#include "shell/run_control.h"

// Waits about 100 ms while the worker's windows go on handling their
// messages; returns 1 as soon as Stop (or Exit, which sets it too) is seen
// after a pump, else 0. The wait sleeps until a message arrives or the time
// is up, so an idle generator leaves the processor alone; Stop and Exit post
// the worker a message, so they end the sleep at once.
int PollPause()
{
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  for (;;) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double elapsed =
        std::floor(static_cast<double>(now.QuadPart - start.QuadPart) * ms_per_tick + 0.5);
    if (elapsed >= 100.0)
      return 0;
    QEL_DoEvents();
    if (stop_requested.load(std::memory_order_acquire))
      return 1;
    const DWORD remaining = static_cast<DWORD>(100.0 - elapsed);
    MsgWaitForMultipleObjectsEx(0, nullptr, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}
