// Per-window log files. The log itself is not written yet: the hooks that
// print, line input, the menu and Exit call are in place and do nothing.
#include <windows.h>

#include "shell/shell_win.h"
#include "text/text_windows.h"

void log_write(int, const char*, std::size_t) {}
void log_start(int) {}
void log_pause(int) {}
void log_copy_to_clipboard(int) {}
void close_all_logs() {}
