// The text window rules over the headless backend, whose windows are grids
// of 6 x 11 cells: which window is current, colour stacks, wrapping and
// scrolling of printed text, resizing.
#include <doctest/doctest.h>

#include <string>
#include <utility>

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

// Where window n prints next, and its colours (back, text).
auto cursor(int n) { return std::pair{text_window(n).cursor_x, text_window(n).cursor_y}; }

auto colours(int n) { return std::pair{text_window(n).back_colour, text_window(n).text_colour}; }

} // namespace

TEST_CASE_FIXTURE(FreshWindows, "opening, selecting and closing: which window is current")
{
  CHECK(QEL_OpenTextWindow(3, -1, -1, -1, -1) == QEL_TEXT_WINDOW_CREATED);
  CHECK((current_text_window() == 3 && text_window(3).width == 400 && text_window(3).height == 300));

  // Open again with other arguments: same size, current again.
  CHECK(QEL_OpenTextWindow(1, 10, 10, 120, 80) == QEL_TEXT_WINDOW_CREATED);
  CHECK(QEL_OpenTextWindow(3, 0, 0, 50, 50) == QEL_WAS_OPEN);
  CHECK((current_text_window() == 3 && text_window(3).width == 400));

  // Closing the current window makes the lowest open one current; closing
  // another leaves the current one alone.
  CHECK(QEL_OpenTextWindow(5, -1, -1, 100, 100) == QEL_TEXT_WINDOW_CREATED);
  CHECK((QEL_CloseTextWindow(5) == 0 && current_text_window() == 1));
  CHECK((QEL_CloseTextWindow(5) == 1 && QEL_SelectTextWindow(5) == 1 && QEL_SelectTextWindow(3) == 0));
  CHECK((QEL_CloseTextWindow(1) == 0 && current_text_window() == 3));

  // Out of range is refused without touching the table.
  CHECK((QEL_SelectTextWindow(256) == 1 && QEL_CloseTextWindow(-1) == 1));
  CHECK((QEL_OpenTextWindow(256, -1, -1, -1, -1) == QEL_BAD_INDEX && !text_window(-1).open));

  // With nothing open the number stays, and printing does nothing.
  CHECK(QEL_CloseTextWindow(3) == 0);
  QEL_Printf("into nothing\n");
  CHECK((current_text_window() == 3 && text_window(3).cursor_y == 0));

  // A window that cannot be made is not open and does not become current.
  headless_fail_text_windows(true);
  CHECK(QEL_OpenTextWindow(7, -1, -1, -1, -1) == QEL_NO_WINDOW);
  headless_fail_text_windows(false);
  CHECK((!text_window_is_open(7) && current_text_window() == 3));

  // A line input waiting in a window ends when it closes.
  QEL_OpenTextWindow(2, -1, -1, -1, -1);
  line_input_owner.store(3);
  QEL_CloseTextWindow(2);
  CHECK(line_input_owner.load() == 0);
}

TEST_CASE_FIXTURE(FreshWindows, "colour stacks of eight; scrolling leaves a black row; resize and clear; printing rows")
{
  push_text_colours(1, 2);   // nothing open: ignored
  QEL_OpenTextWindow(0, -1, -1, -1, -1);
  CHECK(colours(0) == std::pair{0u, 0xFFFFFFu});
  // Nine pushes and nine pops end at the first push, not before it.
  for (std::uint32_t i = 1; i <= 9; ++i)
    push_text_colours(0x010000 * i, 0x000100 * i);
  pop_text_colours();
  CHECK(colours(0) == std::pair{0x080000u, 0x000800u});
  for (int i = 0; i < 8; ++i)
    pop_text_colours();
  CHECK(colours(0) == std::pair{0x010000u, 0x000100u});

  // Three whole rows and a few pixels more: "a" scrolls away, "b" and "c"
  // move up on blue, the uncovered row is black.
  QEL_OpenTextWindow(1, -1, -1, 200, 3 * ch + 4);
  push_text_colours(0x0000FF, 0xFFFFFF);
  QEL_Printf("a\nb\nc\n");
  const HeadlessTextWindow& w = headless_text_window(1);
  CHECK((cursor(1) == std::pair{0, 2 * ch} && row(1, 0) == L"b" && row(1, 1) == L"c"));
  CHECK((w.at(0, 1).back == 0x0000FF && w.at(0, 2).ch == 0 && w.at(0, 2).back == 0));

  // Resizing and clearing start again at the top-left corner on black.
  resize_text_window(1, 300, 200);
  CHECK((text_window(1).width == 300 && cursor(1) == std::pair{0, 0}));
  CHECK((row(1, 0).empty() && w.at(0, 0).back == 0));
  QEL_Printf("new");
  clear_text_window(1);
  CHECK((row(1, 0).empty() && cursor(1) == std::pair{0, 0}));

  // Printing follows the print layout's wrapping rule into the window's rows:
  // runs continue a row, wrap at the last whole cell; the buffer bound.
  QEL_OpenTextWindow(4, -1, -1, -1, -1);
  QEL_Printf("abc");
  CHECK(cursor(4) == std::pair{3 * cw, 0});
  QEL_Printf("def\n");
  CHECK((row(4, 0) == L"abcdef" && cursor(4) == std::pair{0, ch}));

  // Ten whole cells and a part: the eleventh character starts row two.
  QEL_OpenTextWindow(5, -1, -1, 10 * cw + cw / 2, 100);
  QEL_Printf("0123456789ab");
  CHECK((row(5, 0) == L"0123456789" && row(5, 1) == L"ab" && cursor(5) == std::pair{2 * cw, ch}));

  // Output beyond the 4096-byte buffer is cut, never overrun.
  QEL_OpenTextWindow(6, -1, -1, 4096 * cw, 200);
  QEL_Printf("%s", std::string(6000, 'w').c_str());
  CHECK(text_window(6).cursor_x == 4095 * cw);
}
