// The button box: a window with a grid of push buttons whose presses a user
// program consumes by polling. Win32 is needed for the window, the buttons,
// the keyboard and the pop-up menus.
#include <windows.h>

#include <cstdio>

#include "forms/box_window_win.h"
#include "forms/button_box_layout.h"
#include "forms/forms_win.h"
#include "qellib.h"
#include "shell/app_win.h"

static_assert(key_escape == VK_ESCAPE && key_left == VK_LEFT && key_up == VK_UP &&
              key_right == VK_RIGHT && key_down == VK_DOWN && key_numpad_0 == VK_NUMPAD0 &&
              key_numpad_0 + 9 == VK_NUMPAD9);
static_assert(key_digit_0 == '0' && key_letter_a == 'A');
static_assert(bb_cmd_first_button + max_buttons <= 0x10000, "button ids fit a command word");

namespace {

constexpr DWORD box_style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

int button_count = 0;
int columns = 1;
int rows = 1;
// The button size outlives the box: the next box opens at the size the last
// one was resized to.
box_size button_size{default_button_width, default_button_height};
HWND buttons[max_buttons];
int pressed[max_buttons];

void forget_buttons()
{
  for (HWND& button : buttons)
    button = nullptr;
}

int button_under(LPARAM position)
{
  return button_at(client_x(position), client_y(position), columns, rows, button_size);
}

HWND button_of(int button);
void set_button_text(int button, const char* text) { set_window_text_ansi(buttons[button], text); }

BoxWindow box{{L"&Destroy\tCtrl+Q", bb_cmd_destroy, bb_cmd_rename, L"DestroyWindow[BB] error",
               L"QELLIB error!"},
              {forget_buttons, nullptr, button_under, button_of, set_button_text}};

bool is_button(int button)
{
  return box.window && button >= 0 && button < button_count;
}

HWND button_of(int button) { return is_button(button) ? buttons[button] : nullptr; }

box_rect outer_rect(int x, int y, box_size client)
{
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, box_style, FALSE, 0);
  return outer_window_rect(x, y, client, {-r.left, -r.top, r.right, r.bottom});
}

void lay_out_buttons()
{
  for (int i = 0; i < button_count; ++i) {
    if (!buttons[i])
      continue;
    const box_rect r = button_rect(i, columns, button_size);
    MoveWindow(buttons[i], r.x, r.y, r.width, r.height, TRUE);
  }
}

void on_size(WPARAM kind, int client_width, int client_height)
{
  // A minimised window reports a zero size, which would shrink every button
  // to one pixel for good.
  if (kind == SIZE_MINIMIZED || button_count == 0)
    return;
  button_size = button_size_for_client(client_width, client_height, columns, rows);
  lay_out_buttons();
}

void on_command(HWND window, WPARAM wparam)
{
  const int id = LOWORD(wparam);
  if (HIWORD(wparam) == 0) {
    // Keys reach the box only while it has the focus, so a click hands it back.
    SetFocus(window);
    const int button = button_for_command(id, button_count);
    if (button >= 0)
      ++pressed[button];
  }
  box.handle_menu_command(id, nullptr);
}

void on_key_down(HWND window, WPARAM key, LPARAM lparam)
{
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const key_action action = button_box_key(static_cast<int>(key), ctrl, button_count);
  switch (action.effect) {
  case KeyEffect::press: PressButton(action.button); break;
  case KeyEffect::count: ++pressed[action.button]; break;
  case KeyEffect::forward_to_main: PostMessageW(main_window, WM_KEYDOWN, key, lparam); break;
  case KeyEffect::close_box: PostMessageW(window, WM_CLOSE, 0, 0); break;
  case KeyEffect::none: break;
  }
}

} // namespace

HWND button_box_window()
{
  return box.window;
}

void button_box_grid(int* grid_columns, int* grid_rows)
{
  const bool open = box.alive();
  *grid_columns = open ? columns : 0;
  *grid_rows = open ? rows : 0;
}

std::string button_box_caption(int button)
{
  return box.item_text(button);
}

void QEL_OpenButtonBox(int x, int y, int nx, int ny)
{
  if (box.alive() || !button_grid_allowed(nx, ny))
    return;
  button_count = nx * ny;
  columns = nx;
  rows = ny;
  for (int i = 0; i < max_buttons; ++i) {
    buttons[i] = nullptr;
    pressed[i] = 0;
  }

  const box_rect outer = outer_rect(x, y, button_box_client_size(columns, rows, button_size));
  box.window = CreateWindowExW(0, button_box_class, L"ButtonBox", box_style, outer.x, outer.y,
                               outer.width, outer.height, main_window, nullptr, app_instance,
                               nullptr);
  for (int i = 0; i < button_count; ++i) {
    wchar_t text[8];
    wsprintfW(text, L"%d", i);
    const box_rect r = button_rect(i, columns, button_size);
    buttons[i] = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_MULTILINE, r.x,
                                 r.y, r.width, r.height, box.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(bb_cmd_first_button + i)),
                                 app_instance, nullptr);
  }
  // The system may have held the window to a minimum width: fit the buttons
  // to the client area it really got.
  RECT client;
  if (box.window && GetClientRect(box.window, &client))
    on_size(SIZE_RESTORED, client.right, client.bottom);
  UpdateWindow(box.window);
  SetForegroundWindow(box.window);
}

void QEL_CloseButtonBox()
{
  box.close();
}

void QEL_SetButtonBoxTitle(int button, const char* text)
{
  if (is_button(button))
    set_window_text_ansi(buttons[button], text ? text : "");
}

int QEL_ButtonPressed(int button)
{
  if (!is_button(button))
    return 0;
  const int presses = pressed[button];
  pressed[button] = 0;
  return presses;
}

void PressButton(int button)
{
  if (is_button(button))
    pressed[button] = 1;
}

// Restores a box's client size, as generated layout source does right after
// opening it; the buttons follow as when the frame is dragged.
void QEL_ResizeButtonBox(int width, int height)
{
  if (!box.window)
    return;
  const box_size client{width < 1 ? 1 : width > max_client_extent ? max_client_extent : width,
                        height < 1 ? 1 : height > max_client_extent ? max_client_extent : height};
  const box_rect outer = outer_rect(0, 0, client);
  SetWindowPos(box.window, nullptr, 0, 0, outer.width, outer.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT got;
  GetClientRect(box.window, &got);
  on_size(SIZE_RESTORED, got.right, got.bottom);
}

void RenameButton(int button)
{
  box.rename(button);
}

LRESULT CALLBACK button_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  switch (message) {
  case WM_SIZE:
    on_size(wparam, LOWORD(lparam), HIWORD(lparam));
    rebuild_window_edges();
    return 0;
  case WM_COMMAND:
    on_command(window, wparam);
    return 0;
  case WM_GETDLGCODE:
    // The dialog-key handling in the pump would otherwise take the cursor
    // keys and Escape for itself.
    return DLGC_WANTALLKEYS;
  case WM_KEYDOWN:
    on_key_down(window, wparam, lparam);
    return 0;
  default:
    if (box.handle(window, message, lparam))
      return 0;
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
