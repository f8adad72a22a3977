// The image window procedure: repaints the window from its slot, keeps the
// border from resizing it, and destroys the slot when the window is closed.
// Win32 for the paint cycle and the sizing protocol.
#include <windows.h>

#include "image/slots.h"
#include "image/image_win.h"

namespace {

int slot_of(HWND window) { return QEL_FindImageWindow(window); }

// The paint DC is the window's own DC (class DC per window), which is what
// showing the slot draws into.
void on_paint(HWND window)
{
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  const int slot = slot_of(window);
  if (slot >= 0)
    QEL_ShowImage(slot);
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
  case WM_SIZING:
    // The size follows the zoom only: a border drag keeps the current rectangle.
    GetWindowRect(window, reinterpret_cast<RECT*>(lparam));
    return TRUE;
  case WM_CLOSE:
    on_close(window);
    return 0;
  default:
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
