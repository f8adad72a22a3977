// The text backend on Win32: each text window is a top-level window with
// its own (class) drawing context and a memory surface that holds its text,
// with the black brush and the fixed-pitch OEM font selected.
#include <windows.h>

#include <utility>

#include "shell/app_win.h"
#include "shell/gdi_win.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"

namespace {

constexpr DWORD window_style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// A surface: the bitmap and the memory DC it is selected into, with the
// brush and font that drawing on it uses. Members are released in reverse
// order: the selections first, then the bitmap, then the DC.
struct Surface {
  MemoryDC dc;
  OwnedBitmap bitmap;
  Selection brush, font, selected_bitmap;
};

struct WinText {
  HWND window = nullptr;
  WindowDC window_dc;          // the window's own DC (CS_OWNDC), kept while it lives
  Surface surface;
};

WinText records[text_window_count];   // worker thread's

COLORREF to_colorref(std::uint32_t rgb)
{
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A black surface of the given size for the window's DC; empty on failure.
Surface make_surface(HDC window_dc, int width, int height)
{
  Surface s;
  s.dc = MemoryDC(window_dc);
  s.bitmap = OwnedBitmap(s.dc ? CreateCompatibleBitmap(window_dc, width, height) : nullptr);
  if (!s.bitmap)
    return Surface{};
  s.brush = Selection(s.dc.get(), GetStockObject(BLACK_BRUSH));
  s.font = Selection(s.dc.get(), GetStockObject(OEM_FIXED_FONT));
  s.selected_bitmap = Selection(s.dc.get(), s.bitmap.get());
  if (!s.selected_bitmap)
    return Surface{};
  PatBlt(s.dc.get(), 0, 0, width, height, PATCOPY);
  SetBkMode(s.dc.get(), OPAQUE);
  return s;
}

HDC surface_dc(int n) { return records[n].surface.dc.get(); }

} // namespace

bool text_backend_open(int n, const char* title, int x, int y, int width, int height,
                       CellSize* cells)
{
  WinText& r = records[n];
  wchar_t wide_title[64];
  if (MultiByteToWideChar(CP_ACP, 0, title, -1, wide_title, 64) <= 0)
    wide_title[0] = 0;
  RECT rect{0, 0, width, height};
  AdjustWindowRect(&rect, window_style, FALSE);
  const bool system_place = x < 0 || y < 0;
  // The window exists before the record is open: its first size and paint
  // messages, sent during creation, find no record and are ignored.
  r.window = CreateWindowW(text_window_class, wide_title, window_style,
                           system_place ? CW_USEDEFAULT : x, system_place ? CW_USEDEFAULT : y,
                           rect.right - rect.left, rect.bottom - rect.top, main_window, nullptr,
                           app_instance, nullptr);
  if (!r.window)
    return false;
  set_window_number(r.window, n);
  r.window_dc = WindowDC(r.window);
  r.surface = r.window_dc ? make_surface(r.window_dc.get(), width, height) : Surface{};
  if (!r.surface.dc) {
    text_backend_close(n);
    return false;
  }
  TEXTMETRICW metrics{};
  GetTextMetricsW(surface_dc(n), &metrics);
  cells->width = metrics.tmAveCharWidth;
  cells->height = metrics.tmHeight;
  UpdateWindow(r.window);
  return true;
}

void text_backend_close(int n)
{
  // The record is emptied before the window goes: its destruction dispatches
  // messages that must not find a half-released surface.
  WinText closing = std::move(records[n]);
  records[n] = WinText{};
  const HWND window = closing.window;
  closing.surface = Surface{};
  closing.window_dc = WindowDC{};
  if (window)
    DestroyWindow(window);
}

bool text_backend_resize(int n, int width, int height)
{
  WinText& r = records[n];
  Surface made = make_surface(r.window_dc.get(), width, height);
  if (!made.dc)
    return false;
  r.surface = std::move(made);
  return true;
}

void text_backend_set_colours(int n, std::uint32_t text, std::uint32_t back)
{
  SetTextColor(surface_dc(n), to_colorref(text));
  SetBkColor(surface_dc(n), to_colorref(back));
}

void text_backend_draw_run(int n, int x, int y, const wchar_t* text, int count)
{
  TextOutW(surface_dc(n), x, y, text, count);
}

void text_backend_fill_black(int n, int x, int y, int width, int height)
{
  PatBlt(surface_dc(n), x, y, width, height, PATCOPY);
}

void text_backend_move_up(int n, int by, int height)
{
  const TextWindow& tw = text_window(n);
  BitBlt(surface_dc(n), 0, 0, tw.width, height, surface_dc(n), 0, by, SRCCOPY);
}

void text_backend_invalidate(int n, int x, int y, int width, int height)
{
  if (width < 0) {
    InvalidateRect(records[n].window, nullptr, FALSE);
    return;
  }
  const RECT area{x, y, x + width, y + height};
  InvalidateRect(records[n].window, &area, FALSE);
}

void text_backend_foreground(int n)
{
  if (records[n].window)
    SetForegroundWindow(records[n].window);
}

void* text_backend_window(int n) { return records[n].window; }

void text_backend_screen_size(int* width, int* height)
{
  *width = GetSystemMetrics(SM_CXFULLSCREEN);
  *height = GetSystemMetrics(SM_CYFULLSCREEN);
}

int text_backend_to_wide(const char* text, int length, wchar_t* out, int capacity)
{
  const int count = MultiByteToWideChar(CP_ACP, 0, text, length, out, capacity);
  return count > 0 ? count : 0;
}

bool text_backend_on_owner_thread() { return on_worker_thread(); }

void text_backend_windows_changed() { rebuild_window_edges(); }

void paint_text_window(int n)
{
  const WinText& r = records[n];
  PAINTSTRUCT paint;
  BeginPaint(r.window, &paint);
  const RECT& area = paint.rcPaint;
  BitBlt(r.window_dc.get(), area.left, area.top, area.right - area.left,
         area.bottom - area.top, surface_dc(n), area.left, area.top, SRCCOPY);
  EndPaint(r.window, &paint);
}

HDC text_surface_dc(int n)
{
  return n >= 0 && n < text_window_count ? surface_dc(n) : nullptr;
}
