// Text windows: the table, printing onto the surface, colours, scrolling,
// resizing, the window's keys and its right-button menu.
#include <doctest/doctest.h>

#include <atomic>
#include <string>

#include "text_test_helpers.h"

using namespace text_test;

TEST_CASE("opening, reopening, selecting and closing text windows")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  REQUIRE(run.run([] {
    CHECK(QEL_OpenTextWindow(3, -1, -1, -1, -1) == 0);
    CHECK(current_text_window() == 3);
    HWND three = text_window(3).window;
    CHECK(window_text(three) == "TextWindow 3");
    CHECK(client_rect(three).right == 400);
    CHECK(client_rect(three).bottom == 300);

    // Open again with other arguments: brought forward, same size, current.
    CHECK(QEL_OpenTextWindow(1, 10, 10, 120, 80) == 0);
    CHECK(QEL_OpenTextWindow(3, 0, 0, 50, 50) == 1);
    CHECK(current_text_window() == 3);
    CHECK(text_window(3).window == three);
    CHECK(client_rect(three).right == 400);
    CHECK(client_rect(text_window(1).window).right == 120);
    CHECK(client_rect(text_window(1).window).bottom == 80);

    // Closing the current window makes the lowest open one current.
    CHECK(QEL_OpenTextWindow(5, -1, -1, 100, 100) == 0);
    CHECK(QEL_CloseTextWindow(5) == 0);
    CHECK(current_text_window() == 1);
    CHECK(QEL_CloseTextWindow(5) == 1);
    CHECK(QEL_SelectTextWindow(5) == 1);
    CHECK(current_text_window() == 1);
    CHECK(QEL_SelectTextWindow(3) == 0);
    CHECK(QEL_CloseTextWindow(1) == 0);   // not current: current stays
    CHECK(current_text_window() == 3);

    // Out of range is refused without touching the table.
    CHECK(QEL_SelectTextWindow(256) == 1);
    CHECK(QEL_CloseTextWindow(-1) == 1);
    CHECK(QEL_OpenTextWindow(256, -1, -1, -1, -1) == 2);

    // With nothing open, the number stays and printing does nothing.
    CHECK(QEL_CloseTextWindow(3) == 0);
    CHECK(current_text_window() == 3);
    QEL_Printf("into nothing %d\n", 1);
    CHECK(text_window(3).cursor_y == 0);
  }));
  CHECK_FALSE(text_window_is_open(3));
}

TEST_CASE("printing: runs continue a row, wrap at the last whole cell, wide characters")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  const std::string wide = wide_ansi_char();
  REQUIRE(run.run([&] {
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    const int cw = text_window(0).cell_width;
    const int ch = text_window(0).cell_height;
    QEL_Printf("abc");
    CHECK(text_window(0).cursor_x == 3 * cw);
    QEL_Printf("def\n");
    CHECK(text_window(0).cursor_x == 0);
    CHECK(text_window(0).cursor_y == ch);
    for (int column = 0; column < 6; ++column)
      CHECK(cell_has_ink(0, column, 0));
    CHECK_FALSE(cell_has_ink(0, 6, 0));
    CHECK_FALSE(cell_has_ink(0, 0, 1));

    // Ten whole cells and a part: the eleventh character starts row two.
    QEL_OpenTextWindow(1, -1, -1, 10 * cw + cw / 2, 100);
    QEL_Printf("0123456789ab");
    CHECK(text_window(1).cursor_y == ch);
    CHECK(text_window(1).cursor_x == 2 * cw);
    CHECK(cell_has_ink(1, 9, 0));
    CHECK(cell_has_ink(1, 1, 1));

    // A two-cell character with one cell left moves whole to the next row.
    QEL_Printf("\nxxxxxxxxx%s", wide.c_str());
    CHECK(text_window(1).cursor_y == 3 * ch);
    CHECK(text_window(1).cursor_x == 2 * cw);
    CHECK_FALSE(cell_has_ink(1, 9, 2));
    CHECK(cell_has_ink(1, 0, 3));

    // Output beyond the 4096-byte buffer is cut, never overrun.
    QEL_OpenTextWindow(2, -1, -1, 4000, 200);
    const std::string huge(6000, 'w');
    QEL_Printf("%s", huge.c_str());
    const TextWindow& tw = text_window(2);
    const int per_row = 4000 / cw;
    CHECK(tw.cursor_y / ch * per_row + tw.cursor_x / cw == 4095);
  }));
}

TEST_CASE("colour stacks keep eight pairs; scrolling leaves a black row on any background")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  REQUIRE(run.run([] {
    push_text_colours(1, 2);   // nothing open: ignored
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    const TextWindow& tw = text_window(0);
    CHECK(tw.text_colour == 0xFFFFFF);
    CHECK(tw.back_colour == 0);
    // Nine pushes and nine pops end at the first push.
    for (std::uint32_t i = 1; i <= 9; ++i)
      push_text_colours(0x010000 * i, 0x000100 * i);
    CHECK(tw.back_colour == 0x090000);
    pop_text_colours();
    CHECK(tw.back_colour == 0x080000);
    CHECK(tw.text_colour == 0x000800);
    for (int i = 0; i < 8; ++i)
      pop_text_colours();
    CHECK(tw.back_colour == 0x010000);
    CHECK(tw.text_colour == 0x000100);
    // Handed to the surface with red and blue exchanged.
    CHECK(GetBkColor(tw.memory_dc) == RGB(1, 0, 0));
    CHECK(GetTextColor(tw.memory_dc) == RGB(0, 1, 0));

    // Three whole rows and a few pixels more; "a" scrolls away, "b" and "c"
    // are now rows 0 and 1 on blue.
    const int ch = tw.cell_height;
    QEL_OpenTextWindow(1, -1, -1, 200, 3 * ch + 4);
    push_text_colours(0x0000FF, 0xFFFFFF);
    QEL_Printf("a\nb\nc\n");
    CHECK(text_window(1).cursor_y == 2 * ch);
    CHECK(cell_contains(1, 0, 0, RGB(0, 0, 255)));
    CHECK(cell_contains(1, 0, 1, RGB(0, 0, 255)));
    CHECK_FALSE(cell_has_ink(1, 0, 2));
    CHECK_FALSE(cell_has_ink(1, 5, 2));
    QEL_Printf("d");
    CHECK(cell_contains(1, 0, 2, RGB(0, 0, 255)));
    CHECK_FALSE(cell_has_ink(1, 1, 2));
  }));
}

TEST_CASE("resizing rebuilds the surface and clears the text")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  REQUIRE(run.run([] {
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    QEL_Printf("some text\nmore");
  }));
  REQUIRE(cell_has_ink(0, 0, 0));
  HWND window = text_window(0).window;
  RECT outer{0, 0, 300, 200};
  AdjustWindowRect(&outer, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  REQUIRE(wait_until([] { return text_window(0).width == 300; }));
  CHECK(text_window(0).height == 200);
  CHECK(text_window(0).cursor_x == 0);
  CHECK(text_window(0).cursor_y == 0);
  CHECK_FALSE(cell_has_ink(0, 0, 0));
  BITMAP info{};
  GetObjectW(text_window(0).surface, sizeof info, &info);
  CHECK(info.bmWidth == 300);
  CHECK(info.bmHeight == 200);

  // Minimising keeps the surface as it is.
  REQUIRE(run.run([] { QEL_Printf("kept"); }));
  ShowWindow(window, SW_MINIMIZE);
  Sleep(100);
  CHECK(text_window(0).width == 300);
  CHECK(cell_has_ink(0, 0, 0));
}

TEST_CASE("keys: run control goes to the main window, Ctrl shortcuts act on the window")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  REQUIRE(run.run([] {
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    QEL_OpenTextWindow(1, -1, -1, -1, -1);
  }));
  HWND zero = text_window(0).window;

  // S in a text window starts the user program as S in the main window does.
  std::atomic<int> runs{0};
  run.body = [&] { ++runs; };
  test_hooks.main = [&] {
    ++runs;
    run.done = true;
  };
  run.done = false;
  press_key(zero, 'S');
  REQUIRE(run.wait());
  CHECK(runs.load() == 1);

  // C sets the stop flag through the main window (nothing runs to clear it).
  press_key(zero, 'C');
  REQUIRE(wait_until([] { return stop_requested.load() == 1; }));

  // Ctrl+S selects, Ctrl+A prints the banner light green on grey, Ctrl+Q closes.
  press_key(zero, 'S', true);
  REQUIRE(wait_until([] { return current_text_window() == 0; }));
  press_key(zero, 'A', true);
  // The colours pushed for the banner are popped again.
  REQUIRE(wait_until([] { return text_window(0).cursor_y > 0 && text_window(0).back_colour == 0; }));
  CHECK(text_window(0).text_colour == 0xFFFFFF);
  if (display_bits >= 24) {
    CHECK(cell_contains(0, 0, 0, RGB(0x50, 0x50, 0x50)));
    CHECK(cell_contains(0, 0, 0, RGB(0x50, 0xFF, 0x50)));
  }
  CHECK(cell_has_ink(0, 20, 0));     // "QELLIB 7.3  2009/4/30" is 21 characters
  CHECK_FALSE(cell_has_ink(0, 21, 0));
  press_key(zero, 'Q', true);
  REQUIRE(wait_until([] { return !text_window_is_open(0); }));
  CHECK(current_text_window() == 1);

  // Closing by the close box does the same.
  post(text_window(1).window, WM_CLOSE);
  REQUIRE(wait_until([] { return !text_window_is_open(1); }));
}

TEST_CASE("the right-button menu: its items, and Select checked only on the current window")
{
  Framework framework;
  REQUIRE(framework.started);
  UserRun run;
  REQUIRE(run.run([] {
    QEL_OpenTextWindow(2, -1, -1, -1, -1);
    QEL_OpenTextWindow(4, -1, -1, -1, -1);
  }));
  char copy_text[64];
  wsprintfA(copy_text, "&Copy QELLIB%d2.LOG\tCtrl+C", instance_number);
  const std::string expected[] = {"&Select\tCtrl+S", "&Window Info.\tCtrl+W", "Command", "",
                                  "Start Log", "Stop Log", copy_text, "",
                                  "&About QELLIB\tCtrl+A", "", "&Destroy\tCtrl+Q"};
  const auto two = open_context_menu(text_window(2).window);
  REQUIRE(two.size() == 11);
  for (size_t i = 0; i < two.size(); ++i) {
    CHECK(two[i].text == expected[i]);
    CHECK(two[i].enabled);
    CHECK_FALSE(two[i].checked);
  }
  const auto four = open_context_menu(text_window(4).window);
  REQUIRE(four.size() == 11);
  CHECK(four[0].checked);
  CHECK(four[6].text.find("4.LOG") != std::string::npos);
}
