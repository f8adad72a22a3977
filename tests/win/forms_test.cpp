// The input box and the button box as real windows: controls and their
// places, typing that is stored only when a field is finished, program-side
// values, counted presses, keys through the worker's pump, sizing, menus,
// renaming and the open requests. Their layout and key rules are the native
// tests'; here what the windows make of them.
#include <doctest/doctest.h>

#include <windows.h>

#include <atomic>
#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/forms_win.h"
#include "qel_test.h"
#include "text/text_windows.h"
#include "worker_jobs.h"

namespace {

// A control's rectangle in its parent's client coordinates.
RECT placed(HWND control)
{
  RECT r = window_rect(control);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int width_of(const RECT& r) { return r.right - r.left; }
int height_of(const RECT& r) { return r.bottom - r.top; }

// "left,top widthxheight" of a control, and "widthxheight" of a client area,
// for one comparison per place.
std::string geometry(HWND control)
{
  const RECT r = placed(control);
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(width_of(r)) + "x" +
         std::to_string(height_of(r));
}

std::string client_size(HWND window)
{
  const RECT r = client_rect(window);
  return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

// The one item of a box's menu, as "text id"; "" when there is not exactly one.
std::string only_menu_item(HWND box, UINT click_message, POINT at = {5, 5})
{
  const std::vector<MenuItemView> menu = open_context_menu(box, click_message, at);
  return menu.size() == 1 ? menu[0].text + " " + std::to_string(menu[0].id) : "";
}

// Types the answer to a rename question into the current text window once
// the question waits, and returns when the rename has been carried out.
bool answer(const std::string& line)
{
  if (!type_answer((line + "\r").c_str()) || !wait_until([] { return line_input_owner.load() == 0; }))
    return false;
  // A posted job runs only when the worker's own pump takes it, after the
  // rename is done (a sent one could run inside the line input's last calls).
  std::atomic<bool> reached{false};
  const std::function<void()> barrier = [&] { reached = true; };
  post(worker_jobs_detail::jobs_window, worker_jobs_detail::run_job_message, 0, reinterpret_cast<LPARAM>(&barrier));
  return wait_until([&] { return reached.load(); });
}

// Destroy (menu command `destroy`) and the system's close both close a box
// that `open` makes, and `current` then reports none.
void closes_both_ways(const std::function<HWND()>& open, WPARAM destroy, HWND (*current)())
{
  for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
    const HWND box = open();
    REQUIRE(box);
    send(box, message, message == WM_COMMAND ? destroy : 0, 0);
    CHECK(!IsWindow(box));
    CHECK(worker_value(current) == nullptr);
  }
}

// ---- Input box -------------------------------------------------------------------

// Titles and fields in creation order.
struct Items {
  std::vector<HWND> titles, fields;
};

Items items_of(HWND box)
{
  Items items;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (_stricmp(kind, "Static") == 0)
      items.titles.push_back(child);
    else if (_stricmp(kind, "Edit") == 0)
      items.fields.push_back(child);
  }
  return items;
}

HWND open_input_box(int x, int y, int items)
{
  on_worker([&] { QEL_OpenInputBox(x, y, items); });
  return worker_value(input_box_window);
}

int get_int(int item) { return worker_value([&] { return QEL_GetInputBoxInt(item); }); }
double get_real(int item) { return worker_value([&] { return QEL_GetInputBoxReal(item); }); }
HWND focus() { return worker_value(GetFocus); }

void type_text(HWND field, const char* text)
{
  post(field, EM_SETSEL, 0, -1);
  for (const char* c = text; *c; ++c)
    post(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

} // namespace

TEST_CASE("input box: items 1..30, titles and fields in place; the open request; sideways sizing by either edge")
{
  Started<JobsFramework> framework;

  HWND box = open_input_box(0, 0, 0);
  REQUIRE(box);
  CHECK(GetWindow(box, GW_OWNER) == main_window);
  CHECK(items_of(box).fields.size() == 1);
  CHECK(client_size(box) == "162x30");
  // A second open while one exists changes nothing.
  CHECK(open_input_box(10, 10, 5) == box);
  CHECK(items_of(box).fields.size() == 1);

  // The open request replaces the box, and 45 items become 30.
  post_open_input_box(45);
  CHECK(!IsWindow(box));
  box = worker_value(input_box_window);
  REQUIRE(box);
  CHECK(window_rect(box).left == 0);
  CHECK(client_size(box) == "162x842");
  const Items items = items_of(box);
  REQUIRE(items.fields.size() == 30);
  REQUIRE(items.titles.size() == 30);
  for (int i : {0, 29}) {
    CAPTURE(i);
    CHECK(window_text(items.titles[i]) == "Item " + std::to_string(i));
    CHECK(window_text(items.fields[i]) == "0");
    CHECK(geometry(items.titles[i]) == "4," + std::to_string(28 * i + 7) + " 80x24");
    CHECK(geometry(items.fields[i]) == "88," + std::to_string(28 * i + 4) + " 70x24");
  }

  // Dragging an edge: the height stays, one column follows (item 1 shown).
  const int height = height_of(window_rect(box));
  auto drag = [&](int edge, int dx) {
    const RECT current = window_rect(box);
    RECT proposal = current;
    (edge == WMSZ_LEFT ? proposal.left : proposal.right) += edge == WMSZ_LEFT ? -dx : dx;
    proposal.top -= 20;
    proposal.bottom += 40;
    send(box, WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposal));
    CHECK((proposal.top == current.top && proposal.bottom == current.bottom));
    on_worker([&] {
      SetWindowPos(box, nullptr, proposal.left, proposal.top, width_of(proposal),
                   height_of(proposal), SWP_NOZORDER | SWP_NOACTIVATE);
    });
  };
  auto check_layout = [&](int title_w, const std::string& field) {
    CHECK(width_of(placed(items.titles[1])) == title_w);
    CHECK(geometry(items.fields[1]) == field);
  };
  drag(WMSZ_RIGHT, 30);
  check_layout(80, "88,32 100x24");
  drag(WMSZ_LEFT, 20);
  check_layout(100, "108,32 100x24");
  CHECK(height_of(window_rect(box)) == height);

  // Restored widths lay the box out again, and the next box keeps them.
  on_worker([] { QEL_ResizeInputBox(60, 90); });
  CHECK(client_rect(box).right == 60 + 90 + 12);
  check_layout(60, "68,32 90x24");
  on_worker([] { QEL_CloseInputBox(); });
  box = open_input_box(0, 0, 1);
  REQUIRE(box);
  CHECK(client_rect(box).right == 162);
  CHECK(placed(items_of(box).fields[0]).left == 68);
  on_worker([] { QEL_ResizeInputBox(80, 70); });
}

TEST_CASE("input box: typing stored on Tab, Shift+Tab or Enter; values set by the program, read out of range or closed")
{
  Started<JobsFramework> framework;
  const Items items = items_of(open_input_box(0, 0, 4));
  REQUIRE(items.fields.size() == 4);
  on_worker([&] { SetFocus(items.fields[0]); });

  type_text(items.fields[0], "12");
  REQUIRE(wait_until([&] { return window_text(items.fields[0]) == "12"; }));
  CHECK(get_int(0) == 0);
  // Tab goes through the pump's dialog-key step; leaving the field stores it.
  post(items.fields[0], WM_KEYDOWN, VK_TAB, 1);
  REQUIRE(wait_until([&] { return get_int(0) == 12; }));
  CHECK(focus() == items.fields[1]);

  // Enter stores the focused field, which keeps the focus.
  type_text(items.fields[1], "2.5");
  REQUIRE(wait_until([&] { return window_text(items.fields[1]) == "2.5"; }));
  CHECK(get_real(1) == 0.0);
  post(items.fields[1], WM_KEYDOWN, VK_RETURN, 1);
  REQUIRE(wait_until([&] { return get_real(1) == 2.5; }));
  CHECK(focus() == items.fields[1]);

  on_worker([] { set_key_state(VK_SHIFT, true); });
  post(items.fields[1], WM_KEYDOWN, VK_TAB, 1);
  const bool went_back = wait_until([&] { return focus() == items.fields[0]; });
  on_worker([] { set_key_state(VK_SHIFT, false); });
  CHECK(went_back);

  on_worker([] {
    QEL_SetInputBoxInt(0, -42);
    QEL_SetInputBoxReal(1, 0.01);
    QEL_SetInputBoxInt(4, 99);   // no such items
    QEL_SetInputBoxTitle(2, "pitch step");
  });
  CHECK(window_text(items.fields[0]) == "-42");
  CHECK(get_int(0) == -42);
  CHECK(window_text(items.fields[1]) == "1.e-002");
  CHECK(get_real(1) == 0.01);
  CHECK(get_int(1) == 1);   // atoi stops at the point
  CHECK(window_text(items.titles[2]) == "pitch step");
  CHECK(get_int(4) == 0);

  // Numbers beyond int saturate; text without digits reads as 0.
  for (const auto& [typed, value] : {std::pair{L"99999999999", INT_MAX}, {L"-99999999999", INT_MIN},
                                     {L"  -7x", -7}, {L"abc", 0}}) {
    on_worker([&] {
      SetFocus(items.fields[3]);
      SetWindowTextW(items.fields[3], typed);
      SetFocus(items.fields[0]);
    });
    CHECK(get_int(3) == value);
  }

  on_worker([] { QEL_CloseInputBox(); });
  CHECK(get_real(1) == 0.0);
  on_worker([] { QEL_SetInputBoxInt(0, 5); QEL_SetInputBoxTitle(0, "x"); });
  // A new box starts over with "0" and "Item %d".
  const Items fresh = items_of(open_input_box(0, 0, 2));
  REQUIRE(fresh.fields.size() == 2);
  CHECK(window_text(fresh.fields[0]) == "0");
  CHECK(window_text(fresh.titles[0]) == "Item 0");
}

TEST_CASE("input box: menus and rename by double-click and by the menu; nothing below the last item")
{
  Started<JobsFramework> framework;
  HWND box = open_input_box(0, 0, 3);
  REQUIRE(box);
  const Items items = items_of(box);

  CHECK(only_menu_item(box, WM_NCRBUTTONDOWN) == "Destroy 1023");
  // The right-button menu remembers the item under the click (y 5: item 0).
  CHECK(only_menu_item(box, WM_RBUTTONDOWN) == "Rename 1056");
  post(box, WM_COMMAND, 1056, 0);
  REQUIRE(answer("views"));
  CHECK(window_text(items.titles[0]) == "views");
  CHECK(worker_value([] { return text_window_is_open(0); }));

  // Titles let clicks through, so a double-click on item 1's title reaches the box.
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 28 * 1 + 10));
  REQUIRE(answer("pitch"));
  CHECK(window_text(items.titles[1]) == "pitch");
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 28 * 1 + 10));
  REQUIRE(answer(""));   // an empty answer keeps the title
  CHECK(window_text(items.titles[1]) == "pitch");
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 28 * 3 + 1));
  REQUIRE(answer("nobody"));
  for (HWND title : items.titles)
    CHECK(window_text(title) != "nobody");

  // A box closed while the question waits is left alone.
  post(box, WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 5));
  REQUIRE(wait_until([] { return line_input_owner.load() != 0; }));
  on_worker([] { QEL_CloseInputBox(); });
  REQUIRE(answer("late"));
  CHECK(worker_value(input_box_window) == nullptr);

  closes_both_ways([] { return open_input_box(0, 0, 2); }, 1023, input_box_window);
}

// ---- Button box ------------------------------------------------------------------

namespace {

HWND open_button_box(int x, int y, int nx, int ny)
{
  on_worker([&] { QEL_OpenButtonBox(x, y, nx, ny); });
  return worker_value(button_box_window);
}

void close_button_box() { on_worker(QEL_CloseButtonBox); }
HWND button(HWND box, int i) { return GetDlgItem(box, 3000 + i); }
int take(int i) { return worker_value([&] { return QEL_ButtonPressed(i); }); }

// A click as the button sees it, on the thread that owns it.
void click(HWND b) { on_worker([&] { SendMessageW(b, BM_CLICK, 0, 0); }); }

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

TEST_CASE("button box: grid, places, bad grids, the open request; sizing shares the client area out; menus and rename")
{
  Started<JobsFramework> framework;
  for (const auto& [nx, ny] : {std::pair{0, 3}, {3, -1}, {17, 16}, {65536, 65536}})
    CHECK(open_button_box(0, 0, nx, ny) == nullptr);

  HWND box = open_button_box(206, 0, 2, 4);
  REQUIRE(box);
  CHECK(GetWindow(box, GW_OWNER) == main_window);
  CHECK((window_rect(box).left == 206 && window_rect(box).top == 0));
  CHECK(client_size(box) == "208x124");
  for (const auto& [i, place] : {std::pair{0, "4,4"}, {1, "106,4"}, {6, "4,94"}, {7, "106,94"}}) {
    CAPTURE(i);
    REQUIRE(button(box, i));
    CHECK(geometry(button(box, i)) == std::string(place) + " 98x26");
    CHECK(window_text(button(box, i)) == std::to_string(i));
  }
  CHECK(button(box, 8) == nullptr);
  // Another open while one exists changes nothing.
  CHECK(open_button_box(0, 0, 1, 1) == box);
  CHECK(button(box, 7) != nullptr);

  // The open request replaces the box at the origin.
  post_open_button_box(3, 2);
  CHECK(!IsWindow(box));
  box = worker_value(button_box_window);
  REQUIRE(box);
  CHECK(window_rect(box).left == 0);
  CHECK(button(box, 5) != nullptr);
  CHECK(button(box, 6) == nullptr);
  close_button_box();
  REQUIRE(open_button_box(0, 0, 16, 16));
  CHECK(button(worker_value(button_box_window), 255) != nullptr);
  close_button_box();

  // Sizing: the frame shares the client area out among the buttons.
  box = open_button_box(0, 0, 2, 3);
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
  close_button_box();
  box = open_button_box(0, 0, 2, 3);
  REQUIRE(box);
  CHECK(client_rect(box).right == 132);
  CHECK(geometry(button(box, 5)) == "68,52 60x20");
  // Back to the standard size.
  on_worker([] { QEL_ResizeButtonBox(2 * 102 + 4, 3 * 30 + 4); });
  close_button_box();

  // Menus, and renaming the cell under the click (double-clicks and empty
  // answers go through the code the input box shares).
  box = open_button_box(0, 0, 2, 2);
  REQUIRE(client_rect(box).bottom == 64);
  CHECK(only_menu_item(box, WM_NCRBUTTONDOWN) == "&Destroy\tCtrl+Q 1050");
  // Right below the last row, under the second column: button 3.
  CHECK(only_menu_item(box, WM_RBUTTONDOWN, {150, 62}) == "Rename 1057");
  post(box, WM_COMMAND, 1057, 0);
  REQUIRE(answer("break"));
  CHECK(window_text(button(box, 3)) == "break");
  CHECK(window_text(button(box, 2)) == "2");
  closes_both_ways([] { return open_button_box(0, 0, 2, 2); }, 1050, button_box_window);
}

TEST_CASE("button box: presses counted until taken; titles; keys press or count through the pump; C, Ctrl+Q, Escape")
{
  Started<JobsFramework> framework;
  HWND box = open_button_box(0, 0, 3, 2);
  REQUIRE(button(box, 4));
  for (int i = 0; i < 3; ++i)
    click(button(box, 4));
  CHECK(take(4) == 3);
  // Taken presses are gone; buttons not pressed and beyond the box read 0.
  CHECK((take(4) == 0 && take(3) == 0 && take(6) == 0));
  // A click hands the keyboard focus back to the box.
  CHECK(worker_value(GetFocus) == box);

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
  close_button_box();
  CHECK(take(0) == 0);
  on_worker([] { PressButton(0); QEL_SetButtonBoxTitle(0, "x"); });
  box = open_button_box(0, 0, 1, 1);
  REQUIRE(box);
  CHECK(take(0) == 0);
  CHECK(window_text(button(box, 0)) == "0");

  // Keys go through the worker's pump.
  close_button_box();
  box = open_button_box(0, 0, 3, 3);
  REQUIRE(box);
  // A direction presses (twice is still one press), a digit counts.
  post_key_and_settle(box, VK_DOWN);
  post_key_and_settle(box, 'S');
  CHECK(take(5) == 1);
  for (const auto& [key, pressed] : {std::pair{WPARAM(VK_LEFT), 6}, {'W', 4}, {'3', 3}, {VK_NUMPAD8, 8}}) {
    CAPTURE(key);
    post_key_and_settle(box, key);
    CHECK(take(pressed) == 1);
  }
  // With Ctrl held digits do nothing.
  press_key(box, '2', true);
  CHECK(take(2) == 0);

  // C goes to the main window, where it is Stop; Ctrl+Q closes the box.
  post_key_and_settle(box, 'C');
  CHECK(wait_until([] { return stop_requested.load() == 1; }));
  press_key(box, 'Q', true);
  CHECK(wait_until([] { return worker_value(button_box_window) == nullptr; }));

  // Escape passes the pump's dialog-key step and reaches the main window, which exits.
  REQUIRE(open_button_box(0, 0, 2, 1));
  post(worker_value(button_box_window), WM_KEYDOWN, VK_ESCAPE, 1);
  CHECK(wait_until([] { return exit_state.load() != 0; }));
}
