// The image window procedure: paints the window from its slot, keeps its size
// to the zoom, snaps it while it is dragged with Ctrl, and turns keys, mouse
// buttons, the wheel and dropped files into the framework's actions: zoom,
// button presses, run control, pop-up menus, the point tools' clicks and
// loading a file. Win32 for the messages, keyboard state and drops.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "forms/forms_win.h"
#include "image/image_win.h"
#include "image/image_window_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "image/zoom_fit.h"
#include "imgproc/point_tools.h"
#include "shell/app_win.h"

namespace {

int slot_of(HWND window) { return QEL_FindImageWindow(window); }

int zoom_of(int slot) { return slot_in_use(slot) ? image_slots[slot].zoom : 100; }

void on_paint(HWND window)
{
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  paint_image_window(slot_of(window), paint.rcPaint);
  EndPaint(window, &paint);
}

// The picture covers its view rectangle; only a client area larger than the
// view (or a window whose slot is still being made) gets the black background.
LRESULT on_erase_background(HWND window, HDC dc)
{
  RECT client;
  GetClientRect(window, &client);
  const int slot = slot_of(window);
  const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (slot < 0) {
    FillRect(dc, &client, black);
    return 1;
  }
  const ImageSlot& s = image_slots[slot];
  const RECT right{s.view_width, 0, client.right, client.bottom};
  const RECT below{0, s.view_height, s.view_width, client.bottom};
  if (right.left < right.right)
    FillRect(dc, &right, black);
  if (below.top < below.bottom)
    FillRect(dc, &below, black);
  return 1;
}

void on_close(HWND window)
{
  const int slot = slot_of(window);
  if (slot >= 0)
    QEL_DestroyImage(slot);
}

void zoom_step(int slot, bool in)
{
  if (!slot_in_use(slot))
    return;
  const int zoom = image_slots[slot].zoom;
  QEL_ZoomImage(slot, in ? zoom_in_step(zoom) : zoom_out_step(zoom));
}

void toggle_stretch_mode(int slot)
{
  QEL_SetStretchMode(slot, QEL_GetStretchMode(slot) == stretch_plain ? stretch_smooth : stretch_plain);
}

// Arrows and W A S D steer the user program through buttons 4 to 7 of the
// button box: up, down, left, right. -1 for other keys.
int steering_button(WPARAM key)
{
  switch (key) {
  case VK_UP: case 'W': return 4;
  case VK_DOWN: case 'S': return 5;
  case VK_LEFT: case 'A': return 6;
  case VK_RIGHT: case 'D': return 7;
  default: return -1;
  }
}

// Ctrl shortcuts that are commands of the window, posted to it.
struct Shortcut {
  WPARAM key;
  unsigned command;
};
constexpr Shortcut shortcuts[] = {
    {'X', img_cmd_cut},     {'C', img_cmd_copy},     {'V', img_cmd_paste_corner},
    {'Q', img_cmd_destroy}, {'R', img_cmd_clipping},
};

// With Ctrl: the shortcuts and the keypad zoom keys; Ctrl with any other key
// counts as the key alone.
bool on_ctrl_key(HWND window, WPARAM key)
{
  for (const Shortcut& s : shortcuts)
    if (s.key == key) {
      PostMessageW(window, WM_COMMAND, s.command, 0);
      return true;
    }
  const int slot = slot_of(window);
  switch (key) {
  case VK_NUMPAD0: QEL_ZoomImage(slot, 100); return true;
  case VK_ADD: zoom_step(slot, true); return true;
  case VK_SUBTRACT: zoom_step(slot, false); return true;
  default: return false;
  }
}

// The steering keys work even while a point tool waits; every other key is
// ignored then, so no command can start a second tool.
void on_key_down(HWND window, WPARAM key, LPARAM lparam)
{
  if (const int button = steering_button(key); button >= 0) {
    PressButton(button);
    return;
  }
  if (tool_active.load(std::memory_order_acquire))
    return;
  if (GetKeyState(VK_CONTROL) < 0 && on_ctrl_key(window, key))
    return;
  // Exit (X, Escape) and Stop (C) belong to the main window, whichever
  // window has the keyboard.
  if (key == 'X' || key == VK_ESCAPE || key == 'C')
    PostMessageW(main_window, WM_KEYDOWN, key, lparam);
  else if (key == VK_TAB)
    toggle_stretch_mode(slot_of(window));
}

// Toward the user (a negative turn) zooms in. Without Ctrl the wheel does nothing.
void on_wheel(HWND window, WPARAM wparam)
{
  const int delta = GET_WHEEL_DELTA_WPARAM(wparam);
  if ((GET_KEYSTATE_WPARAM(wparam) & MK_CONTROL) && delta != 0)
    zoom_step(slot_of(window), delta < 0);
}

// The point tools listen to the window of their slot only; the positions go
// to them as client pixels with the zoom that maps them into the image.
void on_mouse_move(HWND window, LPARAM lparam)
{
  const int slot = slot_of(window);
  tool_mouse_move(slot, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), zoom_of(slot));
}

void on_left_press(HWND window, WPARAM wparam, LPARAM lparam)
{
  const int slot = slot_of(window);
  tool_left_press(slot, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), zoom_of(slot),
                  (wparam & MK_SHIFT) != 0);
}

// A waiting point tool takes the right and middle buttons as a cancel, and no
// menu opens anywhere meanwhile; nor while a line is typed for a question.
void on_menu_button(HWND window, bool tools)
{
  const int slot = slot_of(window);
  if (tool_cancel_press(slot) || line_input_owner.load(std::memory_order_acquire) != 0)
    return;
  show_image_menu(window, slot, tools);
}

// The first dropped file loads into the window's image at (0, 0). The drop
// handle is released at once, so no path can leak it: a window without a
// slot, a name that does not convert, a file that does not load. While a
// point tool waits, drops are refused here as on the main window: a file
// loaded under the rubber band would be spoilt when the band is erased.
void on_drop_files(HWND window, HDROP drop)
{
  if (tool_active.load(std::memory_order_acquire)) {
    DragFinish(drop);
    return;
  }
  wchar_t name[path_size] = L"";
  const bool named = DragQueryFileW(drop, 0, name, path_size) > 0;
  DragFinish(drop);
  char path[path_size];
  const bool converted =
      named && WideCharToMultiByte(CP_ACP, 0, name, -1, path, path_size, nullptr, nullptr) > 0;
  if (converted && QEL_FindImageWindow(window, 1) >= 0) {
    QEL_LoadImage(path, 0, 0);
    InvalidateRect(slot_window(qel_current_image), nullptr, FALSE);
    QEL_RestoreImage();
  }
  SetForegroundWindow(window);
}

} // namespace

LRESULT CALLBACK image_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  switch (message) {
  case WM_CREATE:
  case WM_DESTROY:
    return 0;
  case WM_PAINT:
    on_paint(window);
    return 0;
  case WM_ERASEBKGND:
    return on_erase_background(window, reinterpret_cast<HDC>(wparam));
  case WM_MOVE:
  case WM_MOVING:
    return on_window_move(window, message, lparam);
  case WM_SIZING:
    // The size follows the zoom only: a border drag keeps the current rectangle.
    GetWindowRect(window, reinterpret_cast<RECT*>(lparam));
    return TRUE;
  case WM_CLOSE:
    on_close(window);
    return 0;
  case WM_KEYDOWN:
    on_key_down(window, wparam, lparam);
    return 0;
  case WM_COMMAND:
    run_image_command(slot_of(window), LOWORD(wparam));
    return 0;
  case WM_MOUSEMOVE:
    on_mouse_move(window, lparam);
    return 0;
  case WM_LBUTTONDOWN:
    on_left_press(window, wparam, lparam);
    return 0;
  case WM_RBUTTONDOWN:
    on_menu_button(window, (wparam & MK_CONTROL) != 0);
    return 0;
  case WM_MBUTTONDOWN:
    on_menu_button(window, true);
    return 0;
  case WM_MOUSEWHEEL:
    on_wheel(window, wparam);
    return 0;
  case WM_DROPFILES:
    on_drop_files(window, reinterpret_cast<HDROP>(wparam));
    return 0;
  default:
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
