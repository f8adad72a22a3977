// The point tools' platform on Win32: the worker's message pump, the main
// window's status line and drop acceptance, and repainting the parts of an
// image window that a rubber band covers. Win32 for the message queue and
// the window's update region.
#include <windows.h>

#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/point_tool_platform.h"
#include "qellib.h"
#include "shell/app_win.h"
#include "shell/gdi_win.h"

namespace {

// Long enough to leave the processor alone while the user does nothing,
// short enough that Stop and Exit, which raise a flag without a message,
// end the wait at once.
constexpr DWORD idle_wait_ms = 5;

} // namespace

// The wait comes before the dispatch, so the tool sees what the messages
// reported as soon as they are dispatched: waiting after them held every
// pointer move up for the whole idle wait. It returns at once when anything
// is queued, a repaint of the rubber band included.
void tool_pump_messages()
{
  MsgWaitForMultipleObjectsEx(0, nullptr, idle_wait_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  QEL_DoEvents();
}

void tool_show_status(const char* text) { set_status_text(text); }

int tool_display_bits() { return display_bits; }

void tool_accept_drops(bool accept) { accept_main_window_drops(accept); }

// One region for all the rectangles of a pointer move: every invalidation is
// a trip to the window server, and a circle or a place box covers dozens of
// rectangles. Without a region the whole window repaints: the same picture.
void tool_invalidate(int slot, const PixelRect* image_rects, int count)
{
  const HWND window = slot_window(slot);
  if (!window)
    return;
  const OwnedRegion dirty(CreateRectRgn(0, 0, 0, 0));
  const OwnedRegion piece(CreateRectRgn(0, 0, 0, 0));
  if (!dirty || !piece) {
    InvalidateRect(window, nullptr, FALSE);
    return;
  }
  for (int i = 0; i < count; ++i) {
    const PixelRect client = client_rect_of(image_rects[i], image_slots[slot].zoom);
    SetRectRgn(piece.get(), client.left, client.top, client.right, client.bottom);
    CombineRgn(dirty.get(), dirty.get(), piece.get(), RGN_OR);
  }
  InvalidateRgn(window, dirty.get(), FALSE);
}
