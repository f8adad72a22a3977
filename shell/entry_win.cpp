// The process entry point: a QELLIB program is this framework plus the two
// user hooks, so the framework supplies WinMain.
#include <windows.h>

#include "shell/shell_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
  // Files named on the command line open like a drop once start-up is over.
  remember_startup_files(GetCommandLineW());
  return run_framework(instance);
}
