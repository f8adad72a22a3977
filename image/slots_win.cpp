// The image slot backend on Win32: each slot is a top-level window with its
// own (class) drawing context, a memory DC and a top-down DIB section that
// holds the pixels. Also the paint of part of a window, and the paste of a
// system bitmap into the current image.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "image/image_win.h"
#include "image/image_window_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "shell/app_win.h"
#include "shell/gdi_win.h"

namespace {

// Members are released in reverse order: the DIB is taken out of the memory
// DC, deleted, then the memory DC and the window's DC go; the window itself
// is destroyed last, by backend_destroy.
struct WinSlot {
  HWND window = nullptr;
  WindowDC window_dc;
  MemoryDC memory_dc;
  OwnedBitmap dib;
  Selection selected_dib;
};

WinSlot win_slots[slot_count];   // worker thread's

constexpr DWORD image_window_style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Both DCs of a slot stretch alike; smooth stretching needs the brush origin at 0, 0.
void apply_stretch_mode(HDC dc, int mode)
{
  SetStretchBltMode(dc, mode);
  SetBrushOrgEx(dc, 0, 0, nullptr);
}

// Captions are system code-page text; an unconvertible one shows empty.
void widen(const char* text, wchar_t (&wide)[line_size])
{
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, line_size) == 0)
    wide[0] = L'\0';
}

struct PaletteTable {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

} // namespace

WindowMetrics backend_metrics()
{
  WindowMetrics m;
  m.min_window_width = GetSystemMetrics(SM_CXMIN);
  m.min_window_height = GetSystemMetrics(SM_CYMIN);
  m.frame_width = GetSystemMetrics(SM_CXFRAME);
  m.caption_height = GetSystemMetrics(SM_CYCAPTION);
  m.screen_width = GetSystemMetrics(SM_CXSCREEN);
  m.screen_height = GetSystemMetrics(SM_CYSCREEN);
  return m;
}

bool backend_create_window(int slot, const char* caption, int x, int y, int client_width,
                           int client_height)
{
  WinSlot& s = win_slots[slot];
  s = WinSlot{};
  RECT r{0, 0, client_width, client_height};
  AdjustWindowRectEx(&r, image_window_style, FALSE, 0);

  // The system places only both coordinates at once (with x defaulted, y would
  // be taken as a show command): let it choose, then move to the one given.
  const bool default_place = x == -1 || y == -1;
  wchar_t wide[line_size];
  widen(caption, wide);
  s.window = CreateWindowExW(0, image_window_class, wide, image_window_style,
                             default_place ? CW_USEDEFAULT : x, default_place ? CW_USEDEFAULT : y,
                             r.right - r.left, r.bottom - r.top, main_window, nullptr,
                             app_instance, nullptr);
  if (!s.window)
    return false;
  set_window_number(s.window, slot);
  if (default_place && (x != -1 || y != -1)) {
    RECT placed;
    GetWindowRect(s.window, &placed);
    SetWindowPos(s.window, nullptr, x == -1 ? placed.left : x, y == -1 ? placed.top : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateWindow(s.window);
  SetForegroundWindow(s.window);
  DragAcceptFiles(s.window, TRUE);

  s.window_dc = WindowDC(s.window);
  if (s.window_dc)
    s.memory_dc = MemoryDC(s.window_dc.get());
  if (!s.memory_dc) {
    backend_destroy(slot);
    return false;
  }
  apply_stretch_mode(s.window_dc.get(), stretch_plain);
  apply_stretch_mode(s.memory_dc.get(), stretch_plain);
  return true;
}

void* backend_create_buffer(int slot, int width, int height, int bits)
{
  WinSlot& s = win_slots[slot];
  PaletteTable info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;   // negative: rows run top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biCompression = BI_RGB;
  for (int i = 0; i < 256; ++i) {
    const BYTE v = static_cast<BYTE>(i);
    info.colours[i] = RGBQUAD{v, v, v, 0};
  }
  void* pixels = nullptr;
  OwnedBitmap dib(CreateDIBSection(s.memory_dc.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                   DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!dib || !pixels)
    return nullptr;
  Selection selected(s.memory_dc.get(), dib.get());
  if (!selected)
    return nullptr;
  s.dib = std::move(dib);
  s.selected_dib = std::move(selected);
  return pixels;
}

void backend_destroy(int slot)
{
  // Clear the record before the window goes: its destruction dispatches
  // messages that must not find this slot half torn down.
  WinSlot dying = std::move(win_slots[slot]);
  win_slots[slot] = WinSlot{};
  const HWND window = dying.window;
  dying = WinSlot{};
  if (window)
    DestroyWindow(window);
}

void* backend_window_handle(int slot) { return win_slots[slot].window; }

HWND slot_window(int slot)
{
  return slot_in_use(slot) ? win_slots[slot].window : nullptr;
}

HDC slot_memory_dc(int slot)
{
  return slot_in_use(slot) ? win_slots[slot].memory_dc.get() : nullptr;
}

void backend_window_position(int slot, int* left, int* top)
{
  RECT r{};
  GetWindowRect(win_slots[slot].window, &r);
  *left = r.left;
  *top = r.top;
}

void backend_set_caption(int slot, const char* caption)
{
  wchar_t wide[line_size];
  widen(caption, wide);
  SetWindowTextW(win_slots[slot].window, wide);
}

// The outer size comes from the client size and the style, not from the
// window's present size: the system may have held a window larger than the
// screen to a smaller size, and its frame would then be measured wrong.
void backend_resize_client(int slot, int client_width, int client_height)
{
  RECT r{0, 0, client_width, client_height};
  AdjustWindowRectEx(&r, image_window_style, FALSE, 0);
  SetWindowPos(win_slots[slot].window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void backend_invalidate(int slot) { InvalidateRect(win_slots[slot].window, nullptr, FALSE); }

void backend_copy_to_window(int slot, int width, int height)
{
  const WinSlot& s = win_slots[slot];
  BitBlt(s.window_dc.get(), 0, 0, width, height, s.memory_dc.get(), 0, 0, SRCCOPY);
}

void backend_stretch_to_window(int slot, int width, int height, int view_width, int view_height)
{
  const WinSlot& s = win_slots[slot];
  StretchBlt(s.window_dc.get(), 0, 0, view_width, view_height, s.memory_dc.get(), 0, 0, width,
             height, SRCCOPY);
}

// A paint copies only the part of the window that needs it. At 100 % that is
// a block copy of the same rectangle. Otherwise the whole image is stretched
// through the paint's clip (the window's own DC is the paint DC, clipped to
// the update region): the system then works out only the pixels inside it,
// and each lands where a full copy puts it, so a partial repaint never shows
// a seam.
void paint_image_window(int slot, const RECT& area)
{
  if (!slot_in_use(slot))
    return;
  const ImageSlot& image = image_slots[slot];
  const WinSlot& s = win_slots[slot];
  if (image.zoom == 100) {
    const int right = std::min<LONG>(area.right, image.width);
    const int bottom = std::min<LONG>(area.bottom, image.height);
    if (area.left < right && area.top < bottom)
      BitBlt(s.window_dc.get(), area.left, area.top, right - area.left, bottom - area.top,
             s.memory_dc.get(), area.left, area.top, SRCCOPY);
  } else {
    StretchBlt(s.window_dc.get(), 0, 0, image.view_width, image.view_height, s.memory_dc.get(),
               0, 0, image.width, image.height, SRCCOPY);
  }
}

int backend_stretch_mode(int slot)
{
  return GetStretchBltMode(win_slots[slot].window_dc.get());
}

void backend_set_stretch_mode(int slot, int mode)
{
  apply_stretch_mode(win_slots[slot].window_dc.get(), mode);
  apply_stretch_mode(win_slots[slot].memory_dc.get(), mode);
}

void backend_read_palette(int slot, std::uint32_t* entries)
{
  RGBQUAD table[256] = {};
  GetDIBColorTable(win_slots[slot].memory_dc.get(), 0, 256, table);
  for (int i = 0; i < 256; ++i)
    entries[i] = std::uint32_t{table[i].rgbRed} << 16 | std::uint32_t{table[i].rgbGreen} << 8 |
                 table[i].rgbBlue;
}

void backend_write_palette(int slot, const std::uint32_t* entries, int count)
{
  count = std::clamp(count, 0, 256);
  RGBQUAD table[256];
  for (int i = 0; i < count; ++i)
    table[i] = RGBQUAD{static_cast<BYTE>(entries[i]), static_cast<BYTE>(entries[i] >> 8),
                       static_cast<BYTE>(entries[i] >> 16), 0};
  if (count > 0)
    SetDIBColorTable(win_slots[slot].memory_dc.get(), 0, static_cast<UINT>(count), table);
}

void backend_windows_changed() { rebuild_window_edges(); }

// The bitmap goes in at its own size from the top-left corner; what lies
// beyond the image is cut off. The bitmap is ours to delete in every case,
// also when there is no current image to take it.
void QEL_PasteBitmap(void* bitmap)
{
  const OwnedBitmap source(static_cast<HBITMAP>(bitmap));
  const int slot = qel_current_image;
  BITMAP info{};
  if (!source || !slot_in_use(slot) || !GetObjectW(source.get(), sizeof info, &info))
    return;
  const HDC memory_dc = win_slots[slot].memory_dc.get();
  const MemoryDC temp(memory_dc);
  const Selection selected(temp.get(), source.get());
  if (!selected)
    return;
  const int width = std::min<LONG>(info.bmWidth, image_slots[slot].width);
  const int height = std::min<LONG>(std::abs(info.bmHeight), image_slots[slot].height);
  BitBlt(memory_dc, 0, 0, width, height, temp.get(), 0, 0, SRCCOPY);
}
