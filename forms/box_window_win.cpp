// The pieces the input box and the button box share as windows. Win32 for
// window texts and menus.
#include "forms/box_window_win.h"

#include "qellib.h"
#include "shell/app_win.h"
#include "text/text_windows.h"

namespace {

// Prints "%d '%s' ->" in the current text window (text window 0 if none is
// open) and reads the answer into line (line_size bytes); "" when aborted.
void ask_for_name(int index, const char* current, char* line)
{
  ensure_text_window();
  QEL_Printf("%d '%s' ->", index, current);
  QEL_Gets(line);
}

void show_single_item_menu(HWND owner, const wchar_t* text, UINT id)
{
  const MenuRow row{text, id};
  track_popup_menu(build_popup_menu(&row, 1, nullptr, nullptr, nullptr), owner);
}

} // namespace

void BoxWindow::forget()
{
  window = nullptr;
  hooks.forget_items();
}

bool BoxWindow::alive()
{
  if (window && !IsWindow(window))
    forget();
  return window != nullptr;
}

void BoxWindow::close()
{
  if (!alive())
    return;
  if (!DestroyWindow(window))
    MessageBoxW(main_window, texts.destroy_error, texts.destroy_error_caption,
                MB_OK | MB_ICONERROR);
  forget();
  if (hooks.after_close)
    hooks.after_close();
  rebuild_window_edges();
}

void BoxWindow::rename(int item)
{
  char text[line_size] = "";
  if (HWND control = hooks.item_control(item))
    read_window_text(control, text, line_size);
  char line[line_size] = "";
  ask_for_name(item, text, line);
  if (line[0] && hooks.item_control(item))
    hooks.set_item_text(item, line);
}

std::string BoxWindow::item_text(int item)
{
  char text[line_size - 1];   // 254 bytes and the zero
  const HWND control = hooks.item_control(item);
  if (!control)
    return {};
  read_window_text(control, text, sizeof text);
  return text;
}

bool BoxWindow::handle(HWND source, UINT message, LPARAM lparam)
{
  switch (message) {
  case WM_LBUTTONDBLCLK:
    rename(hooks.item_at(lparam));
    return true;
  case WM_RBUTTONDOWN:
    rename_item = hooks.item_at(lparam);
    show_single_item_menu(source, L"Rename", texts.rename_id);
    return true;
  case WM_NCRBUTTONDOWN:
    show_single_item_menu(source, texts.destroy_item, texts.destroy_id);
    return true;
  case WM_CLOSE:
    close();
    return true;
  case WM_MOVE:
  case WM_MOVING:
    on_window_move(source, message, lparam);
    return true;
  case WM_DESTROY:
    // The box can also end with its owner or its thread; it is closed then too.
    if (source == window)
      forget();
    return true;
  default:
    return false;
  }
}

bool BoxWindow::handle_menu_command(UINT id, HWND control)
{
  if (control)
    return false;
  if (id == texts.destroy_id)
    close();
  else if (id == texts.rename_id)
    rename(rename_item);
  else
    return false;
  return true;
}
