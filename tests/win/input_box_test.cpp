// The input box as a real window: item count and places, typing that is
// stored only when a field is finished, program-side values, sizing, menus,
// renaming and the open request.
#include <doctest/doctest.h>

#include <climits>
#include <string>
#include <vector>

#include "forms/forms_win.h"
#include "forms_test_helpers.h"

using namespace forms_test;

namespace {

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

HWND open_box(int x, int y, int items)
{
  on_worker([&] { QEL_OpenInputBox(x, y, items); });
  return worker_value([] { return input_box_window(); });
}

int get_int(int item) { return worker_value([&] { return QEL_GetInputBoxInt(item); }); }
double get_real(int item) { return worker_value([&] { return QEL_GetInputBoxReal(item); }); }
HWND focus() { return worker_value([] { return GetFocus(); }); }

void type_text(HWND field, const char* text)
{
  post(field, EM_SETSEL, 0, -1);
  for (const char* c = text; *c; ++c)
    post(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

} // namespace

TEST_CASE("opening: item count 1..30, window, titles, fields and their places; the open request")
{
  JobsFramework framework;
  REQUIRE(framework.started);

  HWND box = open_box(0, 0, 0);
  REQUIRE(box);
  CHECK(window_text(box) == "InputBox");
  CHECK(GetWindow(box, GW_OWNER) == main_window);
  CHECK(items_of(box).fields.size() == 1);
  CHECK(client_rect(box).right == 80 + 70 + 12);
  CHECK(client_rect(box).bottom == 28 + 2);
  // A second open while one exists changes nothing.
  CHECK(open_box(10, 10, 5) == box);
  CHECK(items_of(box).fields.size() == 1);

  // The open request replaces the box, and 45 items become 30.
  post_open_input_box(45);
  CHECK(!IsWindow(box));
  box = worker_value([] { return input_box_window(); });
  REQUIRE(box);
  CHECK(window_rect(box).left == 0);
  const Items items = items_of(box);
  REQUIRE(items.fields.size() == 30);
  REQUIRE(items.titles.size() == 30);
  CHECK(client_rect(box).bottom == 28 * 30 + 2);
  for (int i : {0, 29}) {
    CAPTURE(i);
    CHECK(window_text(items.titles[i]) == "Item " + std::to_string(i));
    CHECK(window_text(items.fields[i]) == "0");
    const RECT title = placed(items.titles[i]);
    CHECK(title.left == 4);
    CHECK(title.top == 28 * i + 7);
    CHECK(width_of(title) == 80);
    CHECK(geometry(items.fields[i]) == "88," + std::to_string(28 * i + 4) + " 70x24");
    CHECK((GetWindowLongW(items.fields[i], GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
  }
}

TEST_CASE("typing is stored when the field is left or Enter is pressed; Tab and Shift+Tab")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  const Items items = items_of(open_box(0, 0, 3));
  REQUIRE(items.fields.size() == 3);
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

  auto hold_shift = [](bool held) {
    on_worker([held] {
      BYTE keys[256];
      GetKeyboardState(keys);
      keys[VK_SHIFT] = held ? 0x80 : 0;
      SetKeyboardState(keys);
    });
  };
  hold_shift(true);
  post(items.fields[1], WM_KEYDOWN, VK_TAB, 1);
  const bool went_back = wait_until([&] { return focus() == items.fields[0]; });
  hold_shift(false);
  CHECK(went_back);
}

TEST_CASE("values set by the program, reads out of range and while closed")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  const Items items = items_of(open_box(0, 0, 4));
  REQUIRE(items.fields.size() == 4);

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
  struct Case {
    const wchar_t* typed;
    int value;
  };
  for (const Case c : {Case{L"99999999999", INT_MAX}, Case{L"-99999999999", INT_MIN},
                       Case{L"  -7x", -7}, Case{L"abc", 0}}) {
    on_worker([&] {
      SetFocus(items.fields[3]);
      SetWindowTextW(items.fields[3], c.typed);
      SetFocus(items.fields[0]);
    });
    CHECK(get_int(3) == c.value);
  }

  on_worker([] { QEL_CloseInputBox(); });
  CHECK(get_real(1) == 0.0);
  on_worker([] { QEL_SetInputBoxInt(0, 5); QEL_SetInputBoxTitle(0, "x"); });
  // A new box starts over with "0" and "Item %d".
  const Items fresh = items_of(open_box(0, 0, 2));
  REQUIRE(fresh.fields.size() == 2);
  CHECK(window_text(fresh.fields[0]) == "0");
  CHECK(window_text(fresh.titles[0]) == "Item 0");
}

TEST_CASE("sizing: only sideways, the dragged edge decides which column follows")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(50, 60, 2);
  REQUIRE(box);
  const Items items = items_of(box);
  const int height = height_of(window_rect(box));

  auto drag = [&](int edge, int dx) {
    const RECT current = window_rect(box);
    RECT proposal = current;
    (edge == WMSZ_LEFT ? proposal.left : proposal.right) += edge == WMSZ_LEFT ? -dx : dx;
    proposal.top -= 20;
    proposal.bottom += 40;
    send(box, WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposal));
    CHECK(proposal.top == current.top);
    CHECK(proposal.bottom == current.bottom);
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
  box = open_box(0, 0, 1);
  REQUIRE(box);
  CHECK(client_rect(box).right == 162);
  CHECK(placed(items_of(box).fields[0]).left == 68);
  on_worker([] { QEL_ResizeInputBox(80, 70); });
}

TEST_CASE("menus and rename: by double-click and by the menu; nothing below the last item")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  HWND box = open_box(0, 0, 3);
  REQUIRE(box);
  const Items items = items_of(box);

  auto menu = open_context_menu(box, WM_NCRBUTTONDOWN);
  REQUIRE(menu.size() == 1);
  CHECK(menu[0].text == "Destroy");
  CHECK(menu[0].id == 1023);
  // The right-button menu remembers the item under the click (y 5: item 0).
  menu = open_context_menu(box, WM_RBUTTONDOWN);
  REQUIRE(menu.size() == 1);
  CHECK(menu[0].text == "Rename");
  CHECK(menu[0].id == 1056);
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
  CHECK(worker_value([] { return input_box_window(); }) == nullptr);

  // Destroy and the system's close both close the box.
  for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
    box = open_box(0, 0, 2);
    REQUIRE(box);
    send(box, message, message == WM_COMMAND ? 1023 : 0, 0);
    CHECK(!IsWindow(box));
    CHECK(worker_value([] { return input_box_window(); }) == nullptr);
  }
}
