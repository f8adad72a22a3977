// Per-text-window log files: what is printed into a window and what is typed
// into it, recorded in a file named after the instance and the window. The
// logs keep a table of their own, so callers say whether the window is open.
// Printing may run on either thread while Exit closes the logs on the GUI
// thread: every call here is safe against every other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr int log_count = 256;   // one log per text window 0..255

enum LogState : int { log_none = 0, log_running = 1, log_paused = 2 };

// Messages the platform side shows for the failures below.
constexpr char log_create_failed_text[] = "Can't create file for LOG!";   // box captioned "Error"
constexpr char log_create_failed_caption[] = "Error";
constexpr char log_open_failed_text[] = "Can't open LOG file!";           // through QEL_Pause
constexpr char log_no_memory_text[] = "No enough memory (copy log)";      // through QEL_Pause

void set_log_location(std::string_view startup_dir, int instance);  // once at start-up
std::string log_file_name(int n);               // "<dir>\QELLIB<instance><n>.LOG"
int  log_state(int n);                          // LogState; log_none for a bad n
int  start_log(int n, bool window_open);        // 0 ok; 1 already logging; 2 cannot create; 3 bad n or closed
int  stop_log(int n, bool window_open);         // 0 ok (paused); 1 no log; 2 bad n or closed
void forget_log(int n);                         // a window opened anew starts without a log
void write_log(int n, const char* text, std::size_t length);  // written only while logging
void write_log_line(int n, const char* line);   // an entered line and its line feed
void close_all_logs();                          // Exit: every file closed, nothing written is lost

// The file side of copying a log to the clipboard: the whole file as it is
// on disk, the log reopened for appending afterwards.
struct LogContent {
  int result = 0;      // 0 ok; 2 cannot open the file; 3 no memory; 4 bad n or closed
  std::string text;    // the file's bytes when result is 0
};
LogContent read_log_for_copy(int n, bool window_open);
const char* log_copy_failure_text(int result);  // the message for 2 and 3, else nullptr
