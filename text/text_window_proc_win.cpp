// The text window procedure: keeps the surface in step with the window,
// feeds typed characters to line input, forwards the run-control keys to the
// main window and offers the right-button menu and Ctrl shortcuts.
// Win32 for messages, keyboard state and menus.
#include <windows.h>

#include <iterator>

#include "qellib.h"
#include "shell/app_win.h"
#include "shell/run_control.h"
#include "text/key_ring.h"
#include "text/log_file.h"
#include "text/text_win.h"
#include "text/text_windows.h"

namespace {

bool ctrl_down()
{
  return GetKeyState(VK_CONTROL) < 0;
}

bool line_input_waiting()
{
  return line_input_owner.load(std::memory_order_acquire) != 0;
}

void about(int n)
{
  QEL_SelectTextWindow(n);
  push_text_colours(0x505050, 0x50FF50);
  QEL_Printf("%s\n", framework_banner);
  pop_text_colours();
}

void on_command(int n, UINT id)
{
  switch (id) {
  case text_cmd_select: QEL_SelectTextWindow(n); break;
  case text_cmd_window_info: write_window_report(n); break;
  case text_cmd_console:
    QEL_SelectTextWindow(n);
    run_console();
    break;
  case text_cmd_start_log: start_log_command(n); break;
  case text_cmd_stop_log: stop_log(n, text_window_is_open(n)); break;
  case text_cmd_copy_log: copy_log_to_clipboard(n); break;
  case text_cmd_about: about(n); break;
  case text_cmd_destroy: QEL_CloseTextWindow(n); break;
  default: break;
  }
}

void on_key_down(HWND window, int n, WPARAM key, LPARAM lparam)
{
  if (line_input_waiting()) {
    // Only the line's own keys count; a key action already waiting is kept.
    if (pending_key_action != key_action_none)
      return;
    if (key == VK_UP)
      pending_key_action = key_action_recall;
    else if (key == 'V' && ctrl_down())
      pending_key_action = key_action_paste;
    return;
  }
  if (ctrl_down()) {
    struct Shortcut {
      WPARAM key;
      UINT id;
    };
    static constexpr Shortcut shortcuts[] = {
        {'A', text_cmd_about},   {'C', text_cmd_copy_log}, {'W', text_cmd_window_info},
        {'Q', text_cmd_destroy}, {'S', text_cmd_select},
    };
    for (const Shortcut& s : shortcuts)
      if (s.key == key)
        PostMessageW(window, WM_COMMAND, s.id, 0);
    return;
  }
  // Run control belongs to the main window, whichever window has the keyboard.
  if (key == 'X' || key == VK_ESCAPE || key == 'S' || key == 'C')
    PostMessageW(main_window, WM_KEYDOWN, key, lparam);
  else if (key == VK_SPACE)
    on_command(n, text_cmd_console);
}

bool menu_checked(UINT id, const void* context)
{
  const int n = *static_cast<const int*>(context);
  switch (id) {
  case text_cmd_select: return current_text_window() == n;
  case text_cmd_start_log: return log_state(n) == log_running;
  case text_cmd_stop_log: return log_state(n) == log_paused;
  default: return false;
  }
}

void show_menu(HWND window, int n)
{
  // Not while a line is awaited or a point tool waits for clicks.
  if (line_input_waiting() || tool_active.load(std::memory_order_acquire))
    return;
  wchar_t copy_text[64];
  wsprintfW(copy_text, L"&Copy QELLIB%d%d.LOG\tCtrl+C", instance_number, n);
  const MenuRow rows[] = {
      {L"&Select\tCtrl+S", text_cmd_select},
      {L"&Window Info.\tCtrl+W", text_cmd_window_info},
      {L"Command", text_cmd_console},
      {nullptr, 0},
      {L"Start Log", text_cmd_start_log},
      {L"Stop Log", text_cmd_stop_log},
      {copy_text, text_cmd_copy_log},
      {nullptr, 0},
      {L"&About QELLIB\tCtrl+A", text_cmd_about},
      {nullptr, 0},
      {L"&Destroy\tCtrl+Q", text_cmd_destroy},
  };
  track_popup_menu(build_popup_menu(rows, std::size(rows), nullptr, menu_checked, &n), window);
}

} // namespace

LRESULT CALLBACK text_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  // Messages of a window that is not (or no longer) in the table, such as
  // those sent while it is being created, get the default handling.
  const int n = find_text_window(window);
  if (n < 0)
    return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
  case WM_SIZE:
    // A minimised window keeps its text; its surface is not rebuilt at 0 by 0.
    if (wparam != SIZE_MINIMIZED)
      resize_text_window(n, LOWORD(lparam), HIWORD(lparam));
    return 0;
  case WM_PAINT:
    paint_text_window(n);
    return 0;
  case WM_MOVE:
  case WM_MOVING:
    return on_window_move(window, message, lparam);
  case WM_CLOSE:
    QEL_CloseTextWindow(n);
    return 0;
  case WM_KEYDOWN:
    on_key_down(window, n, wparam, lparam);
    return 0;
  case WM_CHAR:
    if (line_input_waiting() && !ctrl_down())
      key_ring().put(static_cast<wchar_t>(wparam));
    return 0;
  case msg_paste_keys:
    paste_line_to_keys();
    return 0;
  case WM_COMMAND:
    on_command(n, LOWORD(wparam));
    return 0;
  case WM_RBUTTONDOWN:
    show_menu(window, n);
    return 0;
  default:
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
