// The point tools' platform on Win32: the worker's message pump, the main
// window's status line and drop acceptance, and repainting the part of an
// image window that a rubber band covers. Win32 for the message queue and
// the window's update region.
#include <windows.h>

#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/point_tool_platform.h"
#include "qellib.h"
#include "shell/app_win.h"

namespace {

// Long enough to leave the processor alone while the user does nothing,
// short enough that Stop and Exit, which raise a flag without a message,
// end the wait at once.
constexpr DWORD idle_wait_ms = 5;

} // namespace

// A wait that returns as soon as a message arrives, so clicks are not held up.
void tool_pump_messages()
{
  QEL_DoEvents();
  MsgWaitForMultipleObjectsEx(0, nullptr, idle_wait_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void tool_show_status(const char* text) { set_status_text(text); }

int tool_display_bits() { return display_bits; }

void tool_accept_drops(bool accept) { accept_main_window_drops(accept); }

void tool_invalidate(int slot, const PixelRect& image_rect)
{
  const HWND window = slot_window(slot);
  if (!window)
    return;
  const PixelRect client = client_rect_of(image_rect, image_slots[slot].zoom);
  const RECT area{client.left, client.top, client.right, client.bottom};
  InvalidateRect(window, &area, FALSE);
}
