// Per-window log files. Not there yet: the calls that printing, line input,
// the window's menu and Exit make are in place and do nothing.
#pragma once

#include <cstddef>

void log_write(int n, const char* text, std::size_t length);  // while logging
int  log_state(int n);                     // 0 none, 1 logging, 2 paused
void log_start(int n);
void log_pause(int n);
void log_copy_to_clipboard(int n);
void close_all_logs();
