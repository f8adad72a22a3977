// The text window table and the routines the text files share: drawing
// surface, colours, scrolling, glyph output, pumping and the key handling
// shared between the window procedure and line input. Win32 side only.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int colour_stack_depth = 8;

struct TextWindow {
  std::atomic<int> open{0};   // set last when a window is complete
  int width = 0, height = 0;  // client size, also the surface size
  int cursor_x = 0, cursor_y = 0;
  int cell_width = 1, cell_height = 1;
  std::uint32_t text_colour = 0xFFFFFF;  // 0xRRGGBB
  std::uint32_t back_colour = 0;
  std::uint32_t text_colour_stack[colour_stack_depth] = {};  // entry 0 = most recent
  std::uint32_t back_colour_stack[colour_stack_depth] = {};
  HWND window = nullptr;
  HDC memory_dc = nullptr;
  HDC window_dc = nullptr;
  HBITMAP surface = nullptr;
  HGDIOBJ old_bitmap = nullptr;
  int log_state = 0;          // 0 none, 1 logging, 2 paused
  std::FILE* log_file = nullptr;
};

// Window commands, by the numbers the menus and shortcuts use.
enum TextCommand : UINT {
  cmd_text_about = 1020,
  cmd_text_start_log = 1024,
  cmd_text_stop_log = 1025,
  cmd_text_console = 1029,
  cmd_text_copy_log = 1030,
  cmd_text_window_info = 1045,
  cmd_text_select = 1069,
  cmd_text_destroy = 1006,
};

// Asks a text window's procedure to paste a clipboard line into the key
// ring, so that the ring keeps one producer whichever thread reads the line.
constexpr UINT msg_paste_keys = WM_APP + 1;

// ---- Table (text_window_win.cpp) ----
TextWindow& text_window(int n);            // n must be 0..255
int  current_text_window();
bool current_text_window_open();
int  find_text_window(HWND window);        // open record showing it, or -1
void push_text_colours(std::uint32_t back, std::uint32_t text);
void pop_text_colours();
void ensure_text_window();
int  scroll_if_needed(int n);              // 1 when it scrolled
void resize_text_surface(int n, int width, int height);
void paint_text_window(int n);
void invalidate_text_window(int n);

// ---- Output (print_win.cpp) ----
void put_glyph(int n, wchar_t ch, int x, int y, int cells);   // on window n's surface
void pump_messages();                      // the calling thread's pump

// ---- Keys for line input (line_input_win.cpp) ----
enum KeyAction : int { key_action_none = 0, key_action_recall = 1, key_action_paste = 2 };
extern std::atomic<int> pending_key_action;
void paste_line_to_keys();                 // clipboard text up to its first line end
void clear_last_line();

// ---- Features that are not there yet; each does nothing for now ----
void log_write(int n, const char* text, std::size_t length);  // log_file_win.cpp
void log_start(int n);
void log_pause(int n);
void log_copy_to_clipboard(int n);
int  run_console();                        // console_win.cpp; 1 for an invalid command
void write_window_report();                // window_report_win.cpp
