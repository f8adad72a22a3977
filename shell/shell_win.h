// The shell's Win32 state and routines shared by the platform files: the main
// window, the worker thread, the clock, menus and the request posters.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "shell/run_control.h"

// Main window command identifiers; the menus and keys use these numbers.
enum MainCommand : UINT {
  cmd_start = 1001,
  cmd_exit = 1002,
  cmd_stop = 1003,
  cmd_paste = 1026,
  cmd_image_window = 1027,
  cmd_text_window = 1028,
  cmd_input_box = 1044,
  cmd_window_info = 1045,
  cmd_button_box = 1051,
};
constexpr int status_line_id = 2001;
constexpr char framework_banner[] = "QELLIB 7.3  2009/4/30";

extern HINSTANCE app_instance;
extern int instance_number;
extern int display_bits;
extern double ms_per_tick;
extern HWND main_window;
extern HWND status_line;
extern HMENU main_menu;
extern HDC main_window_dc;
extern HANDLE worker_thread;
extern DWORD worker_thread_id;
extern HFONT tt_font;

// Start-up directory, captured once: start folders of the open and save
// dialogues, and the log folder (always ending in a backslash).
extern wchar_t open_dir[MAX_PATH];
extern wchar_t save_dir[MAX_PATH];
extern wchar_t log_dir[MAX_PATH];
extern char log_dir_ansi[MAX_PATH];

// Busy-wait lengths of the main window's drop-in animation (20 ms per step,
// 500 ms at the end). Tests that do not look at the animation may shorten them.
extern std::uint32_t drop_in_step_ms;
extern std::uint32_t drop_in_settle_ms;

// The whole program on the calling thread: start-up, the GUI message loop and
// shut-down. 0 after a normal end, 1 when start-up fails.
int run_framework(HINSTANCE instance);

std::uint32_t ms_clock();                 // milliseconds, low 32 bits; use unsigned differences
void set_status_text(const char* text);   // main window's status line, roughly centred
void insert_menu_item(HMENU menu, UINT position, const wchar_t* text, UINT id, bool enabled);
void insert_menu_separator(HMENU menu, UINT position);
void insert_submenu(HMENU menu, UINT position, const wchar_t* text, HMENU submenu);
int  read_window_text(HWND window, char* buffer, int size);  // ANSI; returns its length

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
HMENU build_main_popup_menu(bool busy);   // the right-click menu; busy greys all but Stop and Exit

// Worker thread and pumps.
DWORD WINAPI worker_thread_proc(LPVOID);
void gui_pump();
void run_exit();                           // Exit as the main window performs it

// Request posters: GUI thread only, from the main window's commands.
int  post_create_image(int slot, const char* title, int width, int height, int bits);
void post_redraw_image(int slot);
int  post_load_image(int slot, const char* path);
void post_paste_image(HBITMAP bitmap);
void post_open_text_window(int slot);
void post_open_input_box(int items);
void post_open_button_box(int columns, int rows);

// Window procedures of the worker's window kinds, one per subsystem.
LRESULT CALLBACK image_window_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK text_window_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK input_box_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK button_box_proc(HWND, UINT, WPARAM, LPARAM);

// Lets an open input box or button box take the dialog keys (Tab, Enter)
// of a message; true when it did.
bool forms_take_dialog_message(MSG& message);

// Hooks into the subsystems that the shell drives at start-up, Exit and drops.
void clear_image_slots();                  // all free, selection history cleared
void clear_text_windows();                 // all closed, window 0 current, last line cleared
void close_all_logs();
bool text_window_is_open(int n);
void bring_text_window_forward(int n);
void paste_bitmap(HBITMAP bitmap);
HDC  slot_memory_dc(int slot);             // an image slot's memory drawing context, or nullptr         // into the current image at (0, 0); deletes the bitmap
int  first_free_image_slot();              // -1 when all are in use
void handle_dropped_files(HDROP drop);
