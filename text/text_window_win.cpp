// The 256 text windows: opening, selecting, closing, the memory surface that
// holds their text, its colours, scrolling, resizing and repainting.
// Win32 for the windows, drawing contexts and the fixed-pitch OEM font.
#include <windows.h>

#include "qellib.h"
#include "shell/shell_win.h"
#include "text/key_ring.h"
#include "text/text_windows.h"

namespace {

TextWindow table[text_window_count];
std::atomic<int> current{0};

constexpr DWORD window_style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

COLORREF to_colorref(std::uint32_t rgb)
{
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void apply_colours(TextWindow& tw)
{
  SetTextColor(tw.memory_dc, to_colorref(tw.text_colour));
  SetBkColor(tw.memory_dc, to_colorref(tw.back_colour));
  SetBkMode(tw.memory_dc, OPAQUE);
}

// A memory surface of the given size in black, with the black brush and the
// OEM font selected; the window's own drawing context is taken again.
void create_surface(TextWindow& tw)
{
  tw.window_dc = GetDC(tw.window);
  tw.memory_dc = CreateCompatibleDC(tw.window_dc);
  tw.surface = CreateCompatibleBitmap(tw.window_dc, tw.width, tw.height);
  SelectObject(tw.memory_dc, GetStockObject(BLACK_BRUSH));
  SelectObject(tw.memory_dc, GetStockObject(OEM_FIXED_FONT));
  tw.old_bitmap = SelectObject(tw.memory_dc, tw.surface);
  PatBlt(tw.memory_dc, 0, 0, tw.width, tw.height, PATCOPY);
  apply_colours(tw);
}

void release_surface(TextWindow& tw)
{
  SelectObject(tw.memory_dc, tw.old_bitmap);
  DeleteObject(tw.surface);
  DeleteDC(tw.memory_dc);
  ReleaseDC(tw.window, tw.window_dc);
  tw.surface = nullptr;
  tw.memory_dc = nullptr;
  tw.window_dc = nullptr;
}

int create_text_window(int n, int x, int y, int w, int h)
{
  TextWindow& tw = table[n];
  tw.width = w < 0 ? 400 : w;
  tw.height = h < 0 ? 300 : h;
  tw.text_colour = 0xFFFFFF;
  tw.back_colour = 0;

  wchar_t title[32];
  wsprintfW(title, L"TextWindow %d", n);
  RECT rect{0, 0, tw.width, tw.height};
  AdjustWindowRect(&rect, window_style, FALSE);
  const bool system_place = x < 0 || y < 0;
  // The window exists before the record is open: its first size and paint
  // messages, sent during creation, find no record and are ignored.
  tw.window = CreateWindowW(L"qel_twi", title, window_style, system_place ? CW_USEDEFAULT : x,
                            system_place ? CW_USEDEFAULT : y, rect.right - rect.left,
                            rect.bottom - rect.top, main_window, nullptr, app_instance, nullptr);
  if (!tw.window)
    return 3;
  create_surface(tw);
  tw.cursor_x = tw.cursor_y = 0;
  TEXTMETRICW metrics{};
  GetTextMetricsW(tw.memory_dc, &metrics);
  // Cell sizes come from the font; a zero would stall wrapping and scrolling.
  tw.cell_width = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 1;
  tw.cell_height = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
  for (int i = 0; i < colour_stack_depth; ++i) {
    tw.text_colour_stack[i] = tw.text_colour;
    tw.back_colour_stack[i] = tw.back_colour;
  }
  tw.log_state = 0;
  current.store(n, std::memory_order_release);
  tw.open.store(1, std::memory_order_release);
  UpdateWindow(tw.window);
  SetForegroundWindow(tw.window);
  return 0;
}

bool valid(int n)
{
  return n >= 0 && n < text_window_count;
}

} // namespace

TextWindow& text_window(int n)
{
  return table[n];
}

int current_text_window()
{
  return current.load(std::memory_order_acquire);
}

bool current_text_window_open()
{
  return table[current_text_window()].open.load(std::memory_order_acquire) != 0;
}

// The size arguments: negative width and height mean 400 by 300 client
// pixels, a negative x or y lets the system place the window.
int QEL_OpenTextWindow(int n, int x, int y, int w, int h)
{
  if (!valid(n))
    return 2;
  if (table[n].open.load(std::memory_order_acquire)) {
    SetForegroundWindow(table[n].window);
    current.store(n, std::memory_order_release);
    return 1;
  }
  return create_text_window(n, x, y, w, h);
}

int QEL_SelectTextWindow(int n)
{
  if (!valid(n) || !table[n].open.load(std::memory_order_acquire))
    return 1;
  current.store(n, std::memory_order_release);
  return 0;
}

int QEL_CloseTextWindow(int n)
{
  if (!valid(n) || !table[n].open.load(std::memory_order_acquire))
    return 1;
  TextWindow& tw = table[n];
  tw.open.store(0, std::memory_order_release);
  // The lowest open window takes over; with none open the number stays.
  if (current_text_window() == n)
    for (int i = 0; i < text_window_count; ++i)
      if (table[i].open.load(std::memory_order_acquire)) {
        current.store(i, std::memory_order_release);
        break;
      }
  // A line input waiting in this window ends with an empty line.
  int owner = n + 1;
  line_input_owner.compare_exchange_strong(owner, 0);
  release_surface(tw);
  DestroyWindow(tw.window);
  tw.window = nullptr;
  return 0;
}

int find_text_window(HWND window)
{
  if (!window)
    return -1;
  for (int n = 0; n < text_window_count; ++n)
    if (table[n].open.load(std::memory_order_acquire) && table[n].window == window)
      return n;
  return -1;
}

void push_text_colours(std::uint32_t back, std::uint32_t text)
{
  TextWindow& tw = table[current_text_window()];
  if (!tw.open.load(std::memory_order_acquire))
    return;
  for (int i = colour_stack_depth - 1; i > 0; --i) {
    tw.text_colour_stack[i] = tw.text_colour_stack[i - 1];
    tw.back_colour_stack[i] = tw.back_colour_stack[i - 1];
  }
  tw.text_colour_stack[0] = tw.text_colour;
  tw.back_colour_stack[0] = tw.back_colour;
  tw.text_colour = text;
  tw.back_colour = back;
  apply_colours(tw);
}

void pop_text_colours()
{
  TextWindow& tw = table[current_text_window()];
  if (!tw.open.load(std::memory_order_acquire))
    return;
  tw.text_colour = tw.text_colour_stack[0];
  tw.back_colour = tw.back_colour_stack[0];
  // The last entry keeps its value: popping more than was pushed repeats it.
  for (int i = 0; i < colour_stack_depth - 1; ++i) {
    tw.text_colour_stack[i] = tw.text_colour_stack[i + 1];
    tw.back_colour_stack[i] = tw.back_colour_stack[i + 1];
  }
  apply_colours(tw);
}

void ensure_text_window()
{
  const int n = current_text_window();
  if (table[n].open.load(std::memory_order_acquire)) {
    SetForegroundWindow(table[n].window);
    return;
  }
  QEL_OpenTextWindow(0, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200,
                     GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 150, 400, 300);
}

int scroll_if_needed(int n)
{
  TextWindow& tw = table[n];
  if (tw.cursor_y + tw.cell_height < tw.height)
    return 0;
  // Lines below the first move up one row; the row uncovered at the cursor
  // and everything under it is cleared to black, whatever the background.
  if (tw.cursor_y > tw.cell_height)
    BitBlt(tw.memory_dc, 0, 0, tw.width, tw.cursor_y - tw.cell_height, tw.memory_dc, 0,
           tw.cell_height, SRCCOPY);
  tw.cursor_y -= tw.cell_height;
  PatBlt(tw.memory_dc, 0, tw.cursor_y, tw.width, tw.height - tw.cursor_y, PATCOPY);
  return 1;
}

// Resizing clears the text: the surface is made anew at the new size.
void resize_text_surface(int n, int width, int height)
{
  TextWindow& tw = table[n];
  release_surface(tw);
  tw.width = width;
  tw.height = height;
  create_surface(tw);
  tw.cursor_x = tw.cursor_y = 0;
  InvalidateRect(tw.window, nullptr, FALSE);
}

void paint_text_window(int n)
{
  TextWindow& tw = table[n];
  PAINTSTRUCT paint;
  BeginPaint(tw.window, &paint);
  const RECT& r = paint.rcPaint;
  BitBlt(tw.window_dc, r.left, r.top, r.right - r.left, r.bottom - r.top, tw.memory_dc, r.left,
         r.top, SRCCOPY);
  EndPaint(tw.window, &paint);
}

void invalidate_text_window(int n)
{
  InvalidateRect(table[n].window, nullptr, FALSE);
}

bool text_window_is_open(int n)
{
  return valid(n) && table[n].open.load(std::memory_order_acquire) != 0;
}

void bring_text_window_forward(int n)
{
  if (text_window_is_open(n))
    SetForegroundWindow(table[n].window);
}

// Start-up: every window closed, window 0 current, no keys or line kept.
// Surfaces left by windows that ended with an earlier worker are released.
void clear_text_windows()
{
  for (TextWindow& tw : table) {
    if (tw.open.exchange(0)) {
      SelectObject(tw.memory_dc, tw.old_bitmap);
      DeleteObject(tw.surface);
      DeleteDC(tw.memory_dc);
    }
    tw.window = nullptr;
    tw.memory_dc = nullptr;
    tw.window_dc = nullptr;
    tw.surface = nullptr;
    tw.log_state = 0;
    tw.log_file = nullptr;
  }
  current.store(0);
  key_ring().reset();
  pending_key_action.store(key_action_none);
  clear_last_line();
}
