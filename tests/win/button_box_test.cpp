// The button box as a real window: grid and places, counted presses, keys
// through the worker's pump, sizing, menus, renaming and the open request.
#include <doctest/doctest.h>

#include <string>

#include "forms/forms_win.h"
#include "forms_test_helpers.h"

using namespace forms_test;

namespace {

HWND open_box(int x, int y, int nx, int ny)
{
  on_worker([&] { QEL_OpenButtonBox(x, y, nx, ny); });
  return worker_value([] { return button_box_window(); });
}

void close_box() { on_worker([] { QEL_CloseButtonBox(); }); }
HWND button(HWND box, int i) { return GetDlgItem(box, 3000 + i); }
int take(int i) { return worker_value([&] { return QEL_ButtonPressed(i); }); }

// A click as the button sees it, on the thread that owns it.
void click(HWND b)
{
  on_worker([&] { SendMessageW(b, BM_CLICK, 0, 0); });
}

// Posts a key as the keyboard would, through the worker's pump, and waits
// until the key after it (digit 0 as a marker) has counted: posted messages
// are handled in order, so the first key has been handled too.
void post_key_and_settle(HWND box, WPARAM key)
{
  post(box, WM_KEYDOWN, key, 1);
  post(box, WM_KEYDOWN, '0', 1);
  int marker = 0;
  CHECK(wait_until([&] { return (marker += take(0)) > 0; }));
}

} // namespace

TEST_CASE("opening: grid in row order, client size, places, texts; bad grids; the open request")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  for (const auto& [nx, ny] : {std::pair{0, 3}, {3, -1}, {17, 16}, {65536, 65536}})
    CHECK(open_box(0, 0, nx, ny) == nullptr);

  HWND box = open_box(206, 0, 2, 4);
  REQUIRE(box);
  CHECK(window_text(box) == "ButtonBox");
  CHECK(GetWindow(box, GW_OWNER) == main_window);
  CHECK(window_rect(box).left == 206);
  CHECK(window_rect(box).top == 0);
  CHECK(client_rect(box).right == 208);
  CHECK(client_rect(box).bottom == 124);
  for (const auto& [i, place] : {std::pair{0, "4,4"}, {1, "106,4"}, {6, "4,94"}, {7, "106,94"}}) {
    CAPTURE(i);
    REQUIRE(button(box, i));
    CHECK(geometry(button(box, i)) == std::string(place) + " 98x26");
    CHECK(window_text(button(box, i)) == std::to_string(i));
    CHECK((GetWindowLongW(button(box, i), GWL_STYLE) & BS_MULTILINE) != 0);
  }
  CHECK(button(box, 8) == nullptr);
  // Another open while one exists changes nothing.
  CHECK(open_box(0, 0, 1, 1) == box);
  CHECK(button(box, 7) != nullptr);

  // The open request replaces the box at the origin.
  post_open_button_box(3, 2);
  CHECK(!IsWindow(box));
  box = worker_value([] { return button_box_window(); });
  REQUIRE(box);
  CHECK(window_rect(box).left == 0);
  CHECK(button(box, 5) != nullptr);
  CHECK(button(box, 6) == nullptr);
  close_box();
  REQUIRE(open_box(0, 0, 16, 16));
  CHECK(button(worker_value([] { return button_box_window(); }), 255) != nullptr);
}

TEST_CASE("presses are counted until the program takes them; titles")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 3, 2);
  REQUIRE(button(box, 4));
  for (int i = 0; i < 3; ++i)
    click(button(box, 4));
  CHECK(take(4) == 3);
  CHECK(take(4) == 0);
  CHECK(take(3) == 0);
  CHECK(take(6) == 0);
  // A click hands the keyboard focus back to the box.
  CHECK(worker_value([] { return GetFocus(); }) == box);

  on_worker([] {
    PressButton(2);
    PressButton(2);
    PressButton(6);
    QEL_SetButtonBoxTitle(1, "cap");
    QEL_SetButtonBoxTitle(6, "none");
  });
  CHECK(take(2) == 1);
  CHECK(take(6) == 0);
  CHECK(window_text(button(box, 1)) == "cap");

  // Presses do not survive the box; a closed box reports nothing.
  click(button(box, 0));
  close_box();
  CHECK(take(0) == 0);
  on_worker([] { PressButton(0); QEL_SetButtonBoxTitle(0, "x"); });
  box = open_box(0, 0, 1, 1);
  REQUIRE(box);
  CHECK(take(0) == 0);
  CHECK(window_text(button(box, 0)) == "0");
}

TEST_CASE("keys: directions press 4..7 only where the box has them, digits count")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 5, 1);
  REQUIRE(box);
  // Down presses button 5, which a five-button box does not have.
  post_key_and_settle(box, VK_DOWN);
  CHECK(take(5) == 0);
  post_key_and_settle(box, VK_UP);
  CHECK(take(4) == 1);
  close_box();

  box = open_box(0, 0, 3, 3);
  REQUIRE(box);
  post_key_and_settle(box, VK_DOWN);
  post_key_and_settle(box, 'S');
  CHECK(take(5) == 1);   // pressed, not counted
  // Directions, and digits on both keyboards; one beyond the box does nothing.
  struct Key {
    WPARAM key;
    int button, count;
  };
  for (const Key k : {Key{VK_LEFT, 6, 1}, Key{'D', 7, 1}, Key{'W', 4, 1},
                      Key{'3', 3, 1}, Key{VK_NUMPAD8, 8, 1}, Key{'9', 9, 0}}) {
    CAPTURE(k.key);
    post_key_and_settle(box, k.key);
    CHECK(take(k.button) == k.count);
  }
  // With Ctrl held digits do nothing.
  press_key(box, '2', true);
  CHECK(take(2) == 0);

  // C goes to the main window, where it is Stop; Ctrl+Q closes the box.
  post_key_and_settle(box, 'C');
  CHECK(wait_until([] { return stop_requested.load() == 1; }));
  press_key(box, 'Q', true);
  CHECK(wait_until([] { return worker_value([] { return button_box_window(); }) == nullptr; }));
}

TEST_CASE("Escape in the box reaches the main window, which exits")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 2, 1);
  REQUIRE(box);
  post(box, WM_KEYDOWN, VK_ESCAPE, 1);
  CHECK(wait_until([] { return exit_state.load() != 0; }));
}

TEST_CASE("sizing: the frame shares the client area out among the buttons")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 2, 3);
  REQUIRE(box);
  const RECT outer = window_rect(box);
  on_worker([&] {
    SetWindowPos(box, nullptr, 0, 0, width_of(outer) + 10, height_of(outer) + 31,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  });
  // 10 more pixels shared by two columns, 31 by three rows rounded down.
  CHECK(geometry(button(box, 5)) == "111,84 103x36");

  // Restoring a client size lays the buttons out the same way, and the
  // next box opens with the size the last one had.
  on_worker([] { QEL_ResizeButtonBox(2 * 60 + 12, 3 * 20 + 16); });
  CHECK(client_rect(box).right == 132);
  CHECK(geometry(button(box, 5)) == "68,52 60x20");
  close_box();
  box = open_box(0, 0, 2, 3);
  REQUIRE(box);
  CHECK(client_rect(box).right == 132);
  CHECK(geometry(button(box, 5)) == "68,52 60x20");
  // Back to the standard size for the cases that follow in this process.
  on_worker([] { QEL_ResizeButtonBox(2 * 102 + 4, 3 * 30 + 4); });
}

TEST_CASE("menus and rename: the cell under the click, the gap below the last row included")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 2, 2);
  REQUIRE(client_rect(box).bottom == 64);

  auto menu = open_context_menu(box, WM_NCRBUTTONDOWN);
  REQUIRE(menu.size() == 1);
  CHECK(menu[0].text == "&Destroy\tCtrl+Q");
  CHECK(menu[0].id == 1050);
  // Right below the last row, under the second column: button 3.
  menu = open_context_menu(box, WM_RBUTTONDOWN, {150, 62});
  REQUIRE(menu.size() == 1);
  CHECK(menu[0].text == "Rename");
  CHECK(menu[0].id == 1057);
  post(box, WM_COMMAND, 1057, 0);
  REQUIRE(answer("break"));
  CHECK(window_text(button(box, 3)) == "break");
  CHECK(window_text(button(box, 2)) == "2");

  // A double-click in the corner gap renames button 0; an empty answer keeps it.
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
  REQUIRE(answer("cap"));
  CHECK(window_text(button(box, 0)) == "cap");
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
  REQUIRE(answer(""));
  CHECK(window_text(button(box, 0)) == "cap");

  // Destroy and the system's close both close the box.
  for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
    box = open_box(0, 0, 2, 2);
    REQUIRE(box);
    send(box, message, message == WM_COMMAND ? 1050 : 0, 0);
    CHECK(!IsWindow(box));
    CHECK(worker_value([] { return button_box_window(); }) == nullptr);
  }
}
