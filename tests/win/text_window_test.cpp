// Text windows: printing onto the surface, colours, scrolling, resizing,
// the right-button menu and the window's keys.
#include <doctest/doctest.h>

#include <atomic>
#include <string>

#include "text_test_helpers.h"

using namespace text_test;

// The rules (current window, wrapping, colour stacks, scrolling) are tested
// natively; here the Win32 surface that carries them out, and the menu.
TEST_CASE("the surface: glyphs, BGR colours, scrolling, resizing clears and minimising keeps; Select checked on the current window")
{
  Started<Framework> framework;
  UserRun run;
  REQUIRE(run.run([] {
    CHECK(QEL_OpenTextWindow(3, -1, -1, -1, -1) == 0);
    const HWND three = text_window_handle(3);
    CHECK(window_text(three) == "TextWindow 3");
    CHECK((client_rect(three).right == 400 && client_rect(three).bottom == 300));
    QEL_Printf("abc");
    for (int column = 0; column < 3; ++column)
      CHECK(cell_has_ink(3, column, 0));
    CHECK_FALSE(cell_has_ink(3, 3, 0));

    push_text_colours(0x000001, 0x000100);
    CHECK(GetBkColor(text_surface_dc(3)) == RGB(0, 0, 1));
    CHECK(GetTextColor(text_surface_dc(3)) == RGB(0, 1, 0));
    pop_text_colours();

    // Three whole rows and a few pixels more: the rows move up on blue and
    // the uncovered one is black.
    const int ch = text_window(3).cell_height;
    QEL_OpenTextWindow(1, -1, -1, 200, 3 * ch + 4);
    push_text_colours(0x0000FF, 0xFFFFFF);
    QEL_Printf("a\nb\nc\n");
    CHECK(cell_contains(1, 0, 0, RGB(0, 0, 255)));
    CHECK(cell_contains(1, 0, 1, RGB(0, 0, 255)));
    CHECK_FALSE(cell_has_ink(1, 0, 2));

    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    QEL_Printf("some text\nmore");
  }));

  // The right-button menu names each window's own log; Select is checked on
  // the current window only.
  char copy_text[64];
  wsprintfA(copy_text, "&Copy QELLIB%d3.LOG\tCtrl+C", instance_number);
  const std::string expected[] = {"&Select\tCtrl+S", "&Window Info.\tCtrl+W", "Command", "",
                                  "Start Log", "Stop Log", copy_text, "",
                                  "&About QELLIB\tCtrl+A", "", "&Destroy\tCtrl+Q"};
  const auto menu = open_context_menu(text_window_handle(3));
  REQUIRE(menu.size() == 11);
  for (size_t i = 0; i < menu.size(); ++i) {
    CHECK(menu[i].text == expected[i]);
    CHECK(menu[i].enabled);
    CHECK_FALSE(menu[i].checked);
  }
  const auto current = open_context_menu(text_window_handle(0));
  REQUIRE(current.size() == 11);
  CHECK(current[0].checked);
  CHECK(current[6].text.find("0.LOG") != std::string::npos);

  // Resizing rebuilds the surface and clears the text; minimising keeps it.
  HWND window = text_window_handle(0);
  RECT outer{0, 0, 300, 200};
  AdjustWindowRect(&outer, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER);
  // Read on the worker, which owns the surface, once it has seen the new size.
  std::atomic<bool> resized{false};
  REQUIRE(wait_until([&] {
    return run.run([&] { resized = text_window(0).width == 300; }) && resized;
  }));
  REQUIRE(run.run([] {
    CHECK(text_window(0).height == 200);
    CHECK(text_window(0).cursor_y == 0);
    CHECK_FALSE(cell_has_ink(0, 0, 0));
    BITMAP info{};
    GetObjectW(GetCurrentObject(text_surface_dc(0), OBJ_BITMAP), sizeof info, &info);
    CHECK((info.bmWidth == 300 && info.bmHeight == 200));
    QEL_Printf("kept");
  }));
  ShowWindow(window, SW_MINIMIZE);
  REQUIRE(run.run([] {
    CHECK(text_window(0).width == 300);
    CHECK(cell_has_ink(0, 0, 0));
  }));
}

TEST_CASE("keys: run control goes to the main window, Ctrl shortcuts act on the window")
{
  Started<Framework> framework;
  UserRun run;
  REQUIRE(run.run([] {
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
    QEL_OpenTextWindow(1, -1, -1, -1, -1);
  }));
  HWND zero = text_window_handle(0);

  // S in a text window starts the user program as S in the main window does
  // (the hook the run above left calls the body again).
  std::atomic<int> runs{0};
  run.body = [&] { ++runs; };
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
  post(text_window_handle(1), WM_CLOSE);
  REQUIRE(wait_until([] { return !text_window_is_open(1); }));
}
