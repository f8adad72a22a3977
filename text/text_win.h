// The Win32 side of the text windows, as the other platform files see it:
// the window procedure the shell registers, the start-up reset of line
// input, and the surface of a window for tests that read its pixels.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

LRESULT CALLBACK text_window_proc(HWND, UINT, WPARAM, LPARAM);
void reset_line_input();               // start-up: no keys, no pending action, no last line
HDC  text_surface_dc(int n);           // the memory surface of window n, nullptr when closed

// Shared by the window procedure and line input, both on the worker thread.
void paint_text_window(int n);
enum KeyAction : int { key_action_none = 0, key_action_recall = 1, key_action_paste = 2 };
extern int pending_key_action;         // worker thread's
void paste_line_to_keys();             // clipboard text up to its first line end
int  start_log_command(int n);         // start or resume the log; a box when it cannot be made
int  copy_log_to_clipboard(int n);     // 0 ok; 1 clipboard busy; 2 no file; 3 no memory; 4 bad window
bool give_clipboard_text(const std::string& text);  // CF_TEXT to the open, emptied clipboard; false: no memory
int  run_console();                    // the console's one command; 1 when it was invalid
void write_window_report(int n);       // the report of all windows, printed in window n
