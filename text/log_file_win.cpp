// Per-window log files on the Win32 side. The log table and files are the
// portable text/log_file.cpp, whose close_all_logs Exit already calls; the
// hooks that print, line input and the menu call do nothing yet.
#include <windows.h>

#include "shell/shell_win.h"
#include "text/text_windows.h"

void log_write(int, const char*, std::size_t) {}
void log_start(int) {}
void log_pause(int) {}
void log_copy_to_clipboard(int) {}
