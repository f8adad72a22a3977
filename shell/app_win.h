// What the shell offers the Win32 side of every subsystem: the process-wide
// values set at start-up, the millisecond clock, the status line, menus
// built from tables, window texts in the ANSI code page and which thread is
// running. Nothing here calls into another subsystem.
//
// Threads: the GUI thread owns the main window and its status line; the
// worker thread owns every other framework window. The values below are
// written by the GUI thread during start-up, before the worker thread is
// created (which orders the writes before all of the worker's reads), and
// only read afterwards, unless a line says otherwise.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/ids.h"

extern HINSTANCE app_instance;
extern int instance_number;          // 0..9, from the probe for running copies
extern int display_bits;             // bits per pixel of the display
extern double ms_per_tick;
extern HWND main_window;             // GUI thread's; other threads only post to it
// Start-up directory: start folders of the open and save dialogues (updated
// by those dialogues on the worker thread, which owns them after start-up)
// and the log folder, which always ends in a backslash.
extern wchar_t open_dir[MAX_PATH];
extern wchar_t save_dir[MAX_PATH];
extern wchar_t log_dir[MAX_PATH];

std::uint32_t ms_clock();            // milliseconds, low 32 bits; use unsigned differences

// The pumps. QEL_DoEvents (qellib.h) is the worker's; the filter, set once at
// start-up, lets a window take its dialog keys (Tab, Enter) before dispatch.
using DialogFilter = bool (*)(MSG& message);
void set_dialog_filter(DialogFilter filter);
void gui_pump();                     // the GUI thread's, while a poster waits

// True on the worker thread (marked when it starts).
bool on_worker_thread();
void mark_worker_thread();

// The main window's status line, roughly centred. From the GUI thread it is
// set at once; from the worker it is posted, so the worker never waits for
// the GUI thread.
void set_status_text(const char* text);
void show_display_status();          // "%d-bit color" with display_bits
// Whether the main window takes dropped files; posted from the worker.
void accept_main_window_drops(bool accept);
// The main window to the foreground; posted from the worker. False when
// there is no main window.
bool bring_main_window_forward();

// Snapping of every framework window to the others and to the screen edges
// while it is dragged with Ctrl held (shell/edge_list.h). The list is
// gathered through the system, so either thread may rebuild it: on a
// window's move, and when a window appears, closes or changes size. Each
// window's owner stores its number (image slot, text window index) with the
// window when it creates it, which orders windows of one kind in the list.
void set_window_number(HWND window, int number);
void rebuild_window_edges();
void snap_window_rect(HWND window, RECT* proposed);   // snaps while Ctrl is held
// Every window procedure's answer to WM_MOVE (rebuild) and WM_MOVING (snap).
LRESULT on_window_move(HWND window, UINT message, LPARAM lparam);

// A menu from a table of rows in display order (a row without text is a
// separator; a row with sub-rows opens a sub-menu). `enabled` and `checked`
// decide per identifier, also in sub-menus; either may be null (all enabled,
// none checked).
struct MenuRow {
  const wchar_t* text;               // nullptr for a separator
  UINT id;
  const MenuRow* sub_rows = nullptr;
  int sub_count = 0;
};
template <int count>
constexpr MenuRow sub_menu(const wchar_t* text, const MenuRow (&rows)[count])
{
  return {text, 0, rows, count};
}
using MenuPredicate = bool (*)(UINT id, const void* context);
HMENU build_popup_menu(const MenuRow* rows, int count, MenuPredicate enabled,
                       MenuPredicate checked, const void* context);
// Shows a menu at the cursor, tracked with the right button and owned by
// `owner`; the choice arrives there as a command message. Destroys the menu.
void track_popup_menu(HMENU menu, HWND owner);

void insert_menu_item(HMENU menu, UINT position, const wchar_t* text, UINT id, bool enabled);
void insert_menu_separator(HMENU menu, UINT position);

int  wide_to_ansi(const wchar_t* wide, char* buffer, int size);  // cut at a whole character; returns its length
int  read_window_text(HWND window, char* buffer, int size);  // ANSI; returns its length
void set_window_text_ansi(HWND window, const char* text);    // at most 255 bytes of text
