// Stand-ins for subsystems that are not built yet, so that the shell links
// and runs: each does nothing and reports failure where it has a result.
// A subsystem that lands removes its stand-ins from here.
#include <windows.h>

#include "qellib.h"
#include "shell/shell_win.h"




