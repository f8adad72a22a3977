// The text window rules over the headless backend, whose windows are grids
// of 6 x 11 cells: which window is current, colour stacks, wrapping and
// scrolling of printed text, resizing.
#include <doctest/doctest.h>

#include <string>

#include "shell/run_control.h"
#include "text/text_backend_headless.h"
#include "text/text_windows.h"

namespace {

constexpr int cw = headless_cell_width;
constexpr int ch = headless_cell_height;

void close_all()
{
  for (int n = 0; n < text_window_count; ++n)
    QEL_CloseTextWindow(n);
  reset_text_windows();
  reset_run_control();
}

struct FreshWindows {
  FreshWindows() { close_all(); }
  ~FreshWindows() { close_all(); }
};

std::wstring row(int n, int r) { return headless_text_window(n).row_text(r); }

} // namespace

TEST_CASE("opening, selecting and closing: which window is current")
{
  FreshWindows fresh;
  CHECK(QEL_OpenTextWindow(3, -1, -1, -1, -1) == QEL_TEXT_WINDOW_CREATED);
  CHECK(current_text_window() == 3);
  CHECK(headless_text_window(3).title == "TextWindow 3");
  CHECK((text_window(3).width == 400 && text_window(3).height == 300));

  // Open again with other arguments: same size, current again.
  CHECK(QEL_OpenTextWindow(1, 10, 10, 120, 80) == QEL_TEXT_WINDOW_CREATED);
  CHECK(QEL_OpenTextWindow(3, 0, 0, 50, 50) == QEL_WAS_OPEN);
  CHECK(current_text_window() == 3);
  CHECK(text_window(3).width == 400);

  // Closing the current window makes the lowest open one current; closing
  // another leaves the current one alone.
  CHECK(QEL_OpenTextWindow(5, -1, -1, 100, 100) == QEL_TEXT_WINDOW_CREATED);
  CHECK(QEL_CloseTextWindow(5) == 0);
  CHECK(current_text_window() == 1);
  CHECK(QEL_CloseTextWindow(5) == 1);
  CHECK(QEL_SelectTextWindow(5) == 1);
  CHECK(QEL_SelectTextWindow(3) == 0);
  CHECK(QEL_CloseTextWindow(1) == 0);
  CHECK(current_text_window() == 3);

  // Out of range is refused without touching the table.
  CHECK(QEL_SelectTextWindow(256) == 1);
  CHECK(QEL_CloseTextWindow(-1) == 1);
  CHECK(QEL_OpenTextWindow(256, -1, -1, -1, -1) == QEL_BAD_INDEX);
  CHECK_FALSE(text_window(-1).open);

  // With nothing open the number stays, and printing does nothing.
  CHECK(QEL_CloseTextWindow(3) == 0);
  CHECK(current_text_window() == 3);
  QEL_Printf("into nothing\n");
  CHECK(text_window(3).cursor_y == 0);

  // A window that cannot be made is not open and does not become current.
  headless_fail_text_windows(true);
  CHECK(QEL_OpenTextWindow(7, -1, -1, -1, -1) == QEL_NO_WINDOW);
  headless_fail_text_windows(false);
  CHECK_FALSE(text_window_is_open(7));
  CHECK(current_text_window() == 3);

  // A line input waiting in a window ends when it closes.
  QEL_OpenTextWindow(2, -1, -1, -1, -1);
  line_input_owner.store(3);
  QEL_CloseTextWindow(2);
  CHECK(line_input_owner.load() == 0);
}

// The wrapping rule itself is the print layout's; here only that printing
// follows it into the window's rows.
TEST_CASE("printing: runs continue a row, wrap at the last whole cell, the buffer bound")
{
  FreshWindows fresh;
  QEL_OpenTextWindow(0, -1, -1, -1, -1);
  QEL_Printf("abc");
  CHECK(text_window(0).cursor_x == 3 * cw);
  QEL_Printf("def\n");
  CHECK(row(0, 0) == L"abcdef");
  CHECK(text_window(0).cursor_x == 0);
  CHECK(text_window(0).cursor_y == ch);

  // Ten whole cells and a part: the eleventh character starts row two.
  QEL_OpenTextWindow(1, -1, -1, 10 * cw + cw / 2, 100);
  QEL_Printf("0123456789ab");
  CHECK(row(1, 0) == L"0123456789");
  CHECK(row(1, 1) == L"ab");
  CHECK(text_window(1).cursor_x == 2 * cw);

  // Output beyond the 4096-byte buffer is cut, never overrun.
  QEL_OpenTextWindow(2, -1, -1, 4096 * cw, 200);
  QEL_Printf("%s", std::string(6000, 'w').c_str());
  CHECK(text_window(2).cursor_x == 4095 * cw);
}

TEST_CASE("colour stacks keep eight pairs; scrolling leaves a black row on any background; resizing and clearing")
{
  FreshWindows fresh;
  push_text_colours(1, 2);   // nothing open: ignored
  QEL_OpenTextWindow(0, -1, -1, -1, -1);
  const TextWindow& tw = text_window(0);
  CHECK(tw.text_colour == 0xFFFFFF);
  CHECK(tw.back_colour == 0);
  // Nine pushes and nine pops end at the first push, not before it.
  for (std::uint32_t i = 1; i <= 9; ++i)
    push_text_colours(0x010000 * i, 0x000100 * i);
  pop_text_colours();
  CHECK(tw.back_colour == 0x080000);
  CHECK(tw.text_colour == 0x000800);
  for (int i = 0; i < 8; ++i)
    pop_text_colours();
  CHECK(tw.back_colour == 0x010000);
  CHECK(tw.text_colour == 0x000100);

  // Three whole rows and a few pixels more: "a" scrolls away, "b" and "c"
  // move up on blue, the uncovered row is black.
  QEL_OpenTextWindow(1, -1, -1, 200, 3 * ch + 4);
  push_text_colours(0x0000FF, 0xFFFFFF);
  QEL_Printf("a\nb\nc\n");
  const HeadlessTextWindow& w = headless_text_window(1);
  CHECK(text_window(1).cursor_y == 2 * ch);
  CHECK(row(1, 0) == L"b");
  CHECK(row(1, 1) == L"c");
  CHECK(w.at(0, 1).back == 0x0000FF);
  CHECK(w.at(0, 2).ch == 0);
  CHECK(w.at(0, 2).back == 0);

  // Resizing and clearing start again at the top-left corner on black.
  resize_text_window(1, 300, 200);
  CHECK((text_window(1).width == 300 && text_window(1).cursor_x == 0 && text_window(1).cursor_y == 0));
  CHECK((row(1, 0).empty() && w.at(0, 0).back == 0));
  QEL_Printf("new");
  clear_text_window(1);
  CHECK((row(1, 0).empty() && text_window(1).cursor_x == 0));
}
