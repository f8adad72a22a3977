// The text window table and its rules: which window is current, the colour
// stacks, scrolling, resizing and clearing. Drawing and the windows
// themselves go through the text backend.
#include "text/text_windows.h"

#include <cstdio>

#include "shell/run_control.h"
#include "text/log_file.h"
#include "text/text_backend.h"

namespace {

TextWindow table[text_window_count];
// One more record than there are windows: always closed, it stands for a
// number outside 0..255 so that lookups never index outside the table.
const TextWindow closed_record;
int current = 0;

constexpr int default_width = 400;
constexpr int default_height = 300;

bool valid(int n) { return n >= 0 && n < text_window_count; }

bool may_touch() { return text_backend_on_owner_thread(); }

void apply_colours(int n)
{
  text_backend_set_colours(n, table[n].text_colour, table[n].back_colour);
}

int create_text_window(int n, int x, int y, int w, int h)
{
  TextWindow& tw = table[n];
  tw = TextWindow{};
  tw.width = w < 0 ? default_width : w;
  tw.height = h < 0 ? default_height : h;
  char title[32];
  std::snprintf(title, sizeof title, "TextWindow %d", n);
  CellSize cells;
  if (!text_backend_open(n, title, x, y, tw.width, tw.height, &cells)) {
    tw = TextWindow{};
    return QEL_NO_WINDOW;
  }
  // Cell sizes come from the font; a zero would stall wrapping and scrolling.
  tw.cell_width = cells.width > 0 ? cells.width : 1;
  tw.cell_height = cells.height > 0 ? cells.height : 1;
  for (int i = 0; i < colour_stack_depth; ++i) {
    tw.text_colour_stack[i] = tw.text_colour;
    tw.back_colour_stack[i] = tw.back_colour;
  }
  apply_colours(n);
  forget_log(n);
  current = n;
  tw.open = true;
  text_backend_windows_changed();
  text_backend_foreground(n);
  return QEL_OK;
}

} // namespace

const TextWindow& text_window(int n) { return valid(n) ? table[n] : closed_record; }

int current_text_window() { return current; }

bool current_text_window_open() { return table[current].open; }

bool text_window_is_open(int n) { return valid(n) && table[n].open; }

// The size arguments: negative width and height mean 400 by 300 client
// pixels, a negative x or y lets the system place the window.
int QEL_OpenTextWindow(int n, int x, int y, int w, int h)
{
  if (!valid(n))
    return QEL_BAD_INDEX;
  if (!may_touch())
    return QEL_NO_WINDOW;
  if (table[n].open) {
    text_backend_foreground(n);
    current = n;
    return QEL_WAS_OPEN;
  }
  return create_text_window(n, x, y, w, h);
}

int QEL_SelectTextWindow(int n)
{
  if (!text_window_is_open(n) || !may_touch())
    return 1;
  current = n;
  return 0;
}

int QEL_CloseTextWindow(int n)
{
  if (!text_window_is_open(n) || !may_touch())
    return 1;
  table[n].open = false;
  // The lowest open window takes over; with none open the number stays.
  if (current == n)
    for (int i = 0; i < text_window_count; ++i)
      if (table[i].open) {
        current = i;
        break;
      }
  // A line input waiting in this window ends with an empty line.
  int owner = n + 1;
  line_input_owner.compare_exchange_strong(owner, 0);
  text_backend_close(n);
  text_backend_windows_changed();
  return 0;
}

int find_text_window(const void* window)
{
  if (!window)
    return -1;
  for (int n = 0; n < text_window_count; ++n)
    if (table[n].open && text_backend_window(n) == window)
      return n;
  return -1;
}

void push_text_colours(std::uint32_t back, std::uint32_t text)
{
  TextWindow& tw = table[current];
  if (!tw.open || !may_touch())
    return;
  for (int i = colour_stack_depth - 1; i > 0; --i) {
    tw.text_colour_stack[i] = tw.text_colour_stack[i - 1];
    tw.back_colour_stack[i] = tw.back_colour_stack[i - 1];
  }
  tw.text_colour_stack[0] = tw.text_colour;
  tw.back_colour_stack[0] = tw.back_colour;
  tw.text_colour = text;
  tw.back_colour = back;
  apply_colours(current);
}

void pop_text_colours()
{
  TextWindow& tw = table[current];
  if (!tw.open || !may_touch())
    return;
  tw.text_colour = tw.text_colour_stack[0];
  tw.back_colour = tw.back_colour_stack[0];
  // The last entry keeps its value: popping more than was pushed repeats it.
  for (int i = 0; i < colour_stack_depth - 1; ++i) {
    tw.text_colour_stack[i] = tw.text_colour_stack[i + 1];
    tw.back_colour_stack[i] = tw.back_colour_stack[i + 1];
  }
  apply_colours(current);
}

void ensure_text_window()
{
  if (table[current].open) {
    text_backend_foreground(current);
    return;
  }
  int screen_width = 0, screen_height = 0;
  text_backend_screen_size(&screen_width, &screen_height);
  QEL_OpenTextWindow(0, screen_width / 2 - default_width / 2,
                     screen_height / 2 - default_height / 2, default_width, default_height);
}

int scroll_if_needed(int n)
{
  TextWindow& tw = table[n];
  if (tw.cursor_y + tw.cell_height < tw.height)
    return 0;
  // Lines below the first move up one row; the row uncovered at the cursor
  // and everything under it is cleared to black, whatever the background.
  if (tw.cursor_y > tw.cell_height)
    text_backend_move_up(n, tw.cell_height, tw.cursor_y - tw.cell_height);
  tw.cursor_y -= tw.cell_height;
  text_backend_fill_black(n, 0, tw.cursor_y, tw.width, tw.height - tw.cursor_y);
  return 1;
}

// Resizing clears the text: the surface is made anew at the new size. When
// the new surface cannot be made, the old one and its text stay.
void resize_text_window(int n, int width, int height)
{
  if (!text_window_is_open(n) || !text_backend_resize(n, width, height))
    return;
  TextWindow& tw = table[n];
  tw.width = width;
  tw.height = height;
  tw.cursor_x = tw.cursor_y = 0;
  apply_colours(n);
  text_backend_windows_changed();
  text_backend_invalidate(n, 0, 0, -1, -1);
}

void clear_text_window(int n)
{
  if (!text_window_is_open(n) || !may_touch())
    return;
  TextWindow& tw = table[n];
  text_backend_fill_black(n, 0, 0, tw.width, tw.height);
  tw.cursor_x = tw.cursor_y = 0;
  text_backend_invalidate(n, 0, 0, -1, -1);
  // A running log marks each cleared page with an empty line.
  write_log(n, "\n", 1);
}

void put_glyph(int n, wchar_t ch, int x, int y, int cells)
{
  if (!text_window_is_open(n))
    return;
  const TextWindow& tw = table[n];
  text_backend_draw_run(n, x, y, &ch, 1);
  text_backend_invalidate(n, x, y, cells * tw.cell_width, tw.cell_height);
}

void reset_text_windows()
{
  for (TextWindow& tw : table)
    tw = TextWindow{};
  current = 0;
}

TextWindowCanvas::TextWindowCanvas(int n) : n_(n) {}
int& TextWindowCanvas::cursor_x() { return table[n_].cursor_x; }
int& TextWindowCanvas::cursor_y() { return table[n_].cursor_y; }
int TextWindowCanvas::width() const { return table[n_].width; }
int TextWindowCanvas::cell_width() const { return table[n_].cell_width; }
int TextWindowCanvas::cell_height() const { return table[n_].cell_height; }
void TextWindowCanvas::put_glyph(wchar_t ch, int x, int y, int cells)
{
  ::put_glyph(n_, ch, x, y, cells);
}
void TextWindowCanvas::scroll_if_needed()
{
  if (::scroll_if_needed(n_))
    text_backend_invalidate(n_, 0, 0, -1, -1);
}
