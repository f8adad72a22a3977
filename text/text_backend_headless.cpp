// Text windows without windows, for native builds and tests: each window is
// a grid of character cells of a fixed 6 x 11 font, and drawing writes
// characters and colours into it.
#include "text/text_backend.h"
#include "text/text_backend_headless.h"

#include <algorithm>

#include "qellib.h"

namespace {

HeadlessTextWindow windows[text_window_count];
std::uint32_t text_colours[text_window_count];
std::uint32_t back_colours[text_window_count];
bool fail_windows = false;

void make_grid(HeadlessTextWindow& w, int width, int height)
{
  w.width = width;
  w.height = height;
  w.columns = std::max(width, 0) / headless_cell_width;
  w.rows = std::max(height, 0) / headless_cell_height;
  w.cells.assign(static_cast<std::size_t>(w.columns) * w.rows, HeadlessCell{});
}

// Cells whose top-left corner lies inside the pixel rectangle.
template <class F> void for_cells(HeadlessTextWindow& w, int x, int y, int width, int height, F f)
{
  for (int row = 0; row < w.rows; ++row)
    for (int column = 0; column < w.columns; ++column) {
      const int px = column * headless_cell_width, py = row * headless_cell_height;
      if (px >= x && px < x + width && py >= y && py < y + height)
        f(w.cells[row * w.columns + column]);
    }
}

} // namespace

std::wstring HeadlessTextWindow::row_text(int row) const
{
  std::wstring text;
  for (int column = 0; column < columns; ++column)
    text.push_back(at(column, row).ch ? at(column, row).ch : L' ');
  text.erase(text.find_last_not_of(L' ') + 1);
  return text;
}

const HeadlessTextWindow& headless_text_window(int n) { return windows[n]; }
void headless_fail_text_windows(bool fail) { fail_windows = fail; }

bool text_backend_open(int n, const char* title, int x, int y, int width, int height,
                       CellSize* cells)
{
  if (fail_windows)
    return false;
  HeadlessTextWindow& w = windows[n];
  w = HeadlessTextWindow{};
  w.open = true;
  w.title = title;
  w.x = x < 0 || y < 0 ? 32 : x;
  w.y = x < 0 || y < 0 ? 32 : y;
  make_grid(w, width, height);
  cells->width = headless_cell_width;
  cells->height = headless_cell_height;
  return true;
}

void text_backend_close(int n) { windows[n] = HeadlessTextWindow{}; }

bool text_backend_resize(int n, int width, int height)
{
  make_grid(windows[n], width, height);
  return true;
}

void text_backend_set_colours(int n, std::uint32_t text, std::uint32_t back)
{
  text_colours[n] = text;
  back_colours[n] = back;
}

void text_backend_draw_run(int n, int x, int y, const wchar_t* text, int count)
{
  HeadlessTextWindow& w = windows[n];
  const int row = y / headless_cell_height;
  int column = x / headless_cell_width;
  for (int i = 0; i < count && row < w.rows; ++i) {
    const int cells = static_cast<unsigned>(text[i]) < 128 ? 1 : 2;
    for (int c = 0; c < cells && column < w.columns; ++c, ++column)
      w.cells[row * w.columns + column] = {c == 0 ? text[i] : L'\0', text_colours[n], back_colours[n]};
  }
}

void text_backend_fill_black(int n, int x, int y, int width, int height)
{
  for_cells(windows[n], x, y, width, height, [](HeadlessCell& cell) { cell = HeadlessCell{}; });
}

void text_backend_move_up(int n, int by, int height)
{
  HeadlessTextWindow& w = windows[n];
  const int shift = by / headless_cell_height;
  const int moved = std::min(height / headless_cell_height, w.rows - shift);
  for (int row = 0; row < moved; ++row)
    std::copy_n(w.cells.begin() + (row + shift) * w.columns, w.columns,
                w.cells.begin() + row * w.columns);
}

void text_backend_invalidate(int n, int, int, int, int) { ++windows[n].invalidations; }
void text_backend_foreground(int n) { ++windows[n].foregrounds; }
void* text_backend_window(int n) { return windows[n].open ? &windows[n] : nullptr; }

void text_backend_screen_size(int* width, int* height)
{
  *width = 1920;
  *height = 1057;
}

int text_backend_to_wide(const char* text, int length, wchar_t* out, int capacity)
{
  const int count = std::min(length, capacity);
  for (int i = 0; i < count; ++i)
    out[i] = static_cast<unsigned char>(text[i]);
  return count;
}

bool text_backend_on_owner_thread() { return true; }
void text_backend_windows_changed() {}
