// Image windows as a user works in them: Ctrl drags snap every kind of
// window, the keys, the two pop-up menus, the wheel, the zoom and size
// prompts, dropped files, Save as and the colour dialog. The snap rule and
// the zoom steps are the native tests'.
#include <doctest/doctest.h>

#include <colordlg.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "forms/forms_win.h"
#include "image/image_win.h"
#include "image/slots.h"
#include "image_files.h"
#include "qel_test.h"
#include "shell/edge_list.h"
#include "worker_jobs.h"

namespace {

constexpr std::uint32_t red = 0xFF0000, blue = 0x0000FF;

// The left edge a window ends up with when it is dragged to (left, top).
int dragged_left(HWND window, int left, int top, bool ctrl)
{
  const RECT now = window_rect(window);
  RECT proposed{left, top, left + now.right - now.left, top + now.bottom - now.top};
  std::optional<HoldCtrl> held;
  if (ctrl)
    held.emplace(window);
  send(window, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
  return proposed.left;
}

std::uint32_t pixel(int x, int y) { return slot_pixels[0].pixels32[y * slot_pixels[0].stride + x] & 0xFFFFFF; }

} // namespace

TEST_CASE("every kind of window: the edge list in order, Ctrl drags snap; S presses button 5 and starts nothing; Escape exits")
{
  std::atomic<int> runs{0};
  install_worker_jobs([] {
    QEL_CreateImage(3, "three", 400, 300, 200, 100, 100);
    QEL_CreateImage(1, "one", 900, 300, 200, 100, 100);
    QEL_OpenTextWindow(2, 400, 600, 200, 100);
    QEL_OpenTextWindow(0, 900, 600, 200, 100);
    QEL_OpenInputBox(1300, 300, 2);
    QEL_OpenButtonBox(1300, 600, 3, 3);
  });
  test_hooks.main = [&] { ++runs; };
  Started<Framework> framework;
  const HWND one = slot_window(1), main = main_window;

  // A move of the main window rebuilds the list on the GUI thread, from what
  // the system reports: images by slot, text windows by number, the boxes, the main window.
  const RECT main_rect = window_rect(main);
  SetWindowPos(main, nullptr, main_rect.left - 10, main_rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const HWND order[] = {one, slot_window(3), text_window_handle(0), text_window_handle(2), input_box_window(),
                        button_box_window(), main};
  const edge_list list = published_edge_list();
  REQUIRE(list.count == 4 + 7);
  for (int i = 0; i < 7; ++i) {
    const RECT r = window_rect(order[i]);
    CHECK(list.entries[4 + i] == edge_rect{r.left, r.top, r.right, r.bottom});
  }
  // 7 pixels from the screen's left edge: a drag with Ctrl snaps, one without does not.
  CHECK(dragged_left(one, 7, 500, true) == 0);
  CHECK(dragged_left(one, 7, 500, false) == 7);
  CHECK(dragged_left(text_window_handle(2), 5, 620, true) == 0);
  CHECK(dragged_left(input_box_window(), 5, 300, true) == 0);
  CHECK(dragged_left(main, 6, main_rect.top, true) == 0);

  press_key(one, 'S');
  CHECK(worker_value([] { return QEL_ButtonPressed(5); }) == 1);
  // Whatever the key left for the main window is handled before this status text.
  set_status_text("after S");
  CHECK(status_shows("after S"));
  CHECK((start_requested.load() == 0 && user_running.load() == 0 && runs.load() == 0));   // no run started
  press_key(one, VK_ESCAPE);
  CHECK(wait_until([&] { return !IsWindow(main); }));
}

TEST_CASE("menus follow the zoom; wheel and keypad zoom; prompts open no menu; drops; capped windows; Save as; the colour dialog")
{
  const std::wstring folder = fresh_test_folder(L"image_window_work");
  const std::wstring first = folder + L"\\first.png", second = folder + L"\\second.png";
  const std::wstring notes = folder + L"\\notes.png", saved = folder + L"\\saved.bmp";
  REQUIRE(magick_write({2, 2, {red, red, red, red}}, {}, first));
  REQUIRE(magick_write({8, 8, std::vector<std::uint32_t>(64, blue)}, {}, second));
  std::ofstream(std::filesystem::path(notes)) << "not a picture";
  Started<JobsFramework> framework;
  REQUIRE(worker_value([] {
            return QEL_CreateImage(2, "p", 20, 20, 300, 200, 100) + QEL_CreateImage8(1, "e", 400, 20, 60, 40, 100) +
                   QEL_CreateImage(0, "d", 600, 20, 8, 8, 100);
          }) == 0);
  const HWND window = slot_window(2);

  const std::vector<MenuItemView> edit = open_context_menu(window);
  REQUIRE(edit.size() == 14);
  CHECK(edit[8].text == "Zoom:100%\tCtrl+0");
  for (size_t i = 0; i < edit.size(); ++i)
    CHECK(edit[i].checked == (i == 8));
  // Toward the user with Ctrl zooms in, to 111, which no item checks; without Ctrl the wheel does nothing.
  send(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
  CHECK(image_slots[2].zoom == 100);
  send(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA));
  CHECK(image_slots[2].zoom == 111);
  for (const MenuItemView& item : open_context_menu(window))
    CHECK_FALSE(item.checked);
  send(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA));
  CHECK(image_slots[2].zoom == 100);
  press_key(window, VK_ADD, true);
  CHECK(image_slots[2].zoom == 111);

  // Ctrl or the middle button opens the tools menu; its "Information..."
  // offers the colour-space graphs to true-colour images only.
  const std::vector<MenuItemView> tools = open_context_menu(window, WM_RBUTTONDOWN, {5, 5}, MK_CONTROL);
  REQUIRE(tools.size() == 15);
  CHECK(tools[2].text == "Information...");
  CHECK(tools[2].sub_items.size() == 7);
  const std::vector<MenuItemView> tools8 = open_context_menu(slot_window(1), WM_MBUTTONDOWN);
  REQUIRE(tools8.size() == 15);
  CHECK(tools8[2].sub_items == std::vector<std::string>{"Pixel", "Line(Lumi)"});

  post(window, WM_COMMAND, img_cmd_zoom_prompt);
  REQUIRE(wait_until([] { return line_input_owner.load() != 0; }));
  // Posted in order: had the right click opened a menu, its loop would hold the Tab.
  post(window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
  post(window, WM_KEYDOWN, VK_TAB, 1);
  CHECK(wait_until([&] { return window_text(window) == "p(111%)*"; }));
  CHECK_FALSE(context_menu_open());
  REQUIRE(type_answer("50\r"));
  CHECK(wait_until([&] { return window_text(window) == "p(50%)*"; }));
  CHECK(client_rect(window).right == 150);
  post(window, WM_COMMAND, img_cmd_resize_prompt);
  REQUIRE(type_answer("30\r20\r"));
  CHECK(wait_until([] { return image_slots[2].width == 30 && image_slots[2].height == 20; }));

  // Only the first file of a drop loads, into the window's slot; the drop is
  // released, also when that file does not load.
  const HDROP drop = make_drop({first, second, notes});
  post(slot_window(0), WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  CHECK(wait_until([] { return pixel(0, 0) == red && pixel(1, 1) == red; }));
  CHECK(wait_until([&] { return GlobalSize(drop) == 0; }));
  CHECK(worker_value([] { return pixel(5, 5); }) == 0);
  CHECK(first_free_image_slot() == 3);
  const HDROP failed = make_drop({notes, first});
  post(slot_window(0), WM_DROPFILES, reinterpret_cast<WPARAM>(failed));
  CHECK(wait_until([&] { return GlobalSize(failed) == 0; }));
  CHECK(worker_value([] { return pixel(0, 0); }) == red);

  // A window larger than the screen, which the system may have cut down,
  // still fits its client area exactly once the zoom lets it.
  REQUIRE(worker_value([] { return QEL_CreateImageFL(4, "fl", 0, 0, 2400, 1400, 100) + QEL_ZoomImage(4, 50); }) == 0);
  CHECK((client_rect(slot_window(4)).right == 1200 && client_rect(slot_window(4)).bottom == 700));

  // Save as writes what ImageMagick reads back.
  REQUIRE(worker_value([] {
            const int result = QEL_CreateImage(3, "s", 10, 10, 7, 5, 100);
            slot_pixels[3].pixels32[0] = red;   // the corners tell the rows' order and the sides
            slot_pixels[3].pixels32[34] = blue;
            return result;
          }) == 0);
  const HWND saving = slot_window(3);
  post(saving, WM_COMMAND, img_cmd_save_as);
  HWND dialog = wait_for_dialog(L"Save as");
  REQUIRE(dialog);
  SetWindowTextW(file_name_box(dialog), saved.c_str());
  CHECK(press_dialog_button(dialog, IDOK));
  RgbPicture picture;
  CHECK(wait_until([&] { return (picture = magick_read(saved)).width == 7; }, 20000));
  CHECK((picture.height == 5 && picture.at(0, 0) == red && picture.at(6, 4) == blue && picture.at(1, 0) == 0));

  // The colour dialog starts at the drawing colour; its choice becomes every
  // drawing colour.
  worker_value([] { return qel_draw_colour = 0x102030; });
  post(saving, WM_COMMAND, img_cmd_colour_change);
  dialog = wait_for_dialog(L"Color");
  REQUIRE(dialog);
  CHECK(GetDlgItemInt(dialog, COLOR_RED, nullptr, FALSE) == 0x10);
  CHECK(GetDlgItemInt(dialog, COLOR_BLUE, nullptr, FALSE) == 0x30);
  // Typed as a user types: each field tells the dialog it changed.
  const int typed[][2] = {{COLOR_RED, 0xAB}, {COLOR_GREEN, 0xCD}, {COLOR_BLUE, 0xEF}};
  for (const auto& [field, value] : typed) {
    SetDlgItemInt(dialog, field, value, FALSE);
    send(dialog, WM_COMMAND, MAKEWPARAM(field, EN_UPDATE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, field)));
  }
  CHECK(press_dialog_button(dialog, IDOK));
  CHECK(wait_until([] { return qel_draw_colour == 0xABCDEF; }));
  CHECK((qel_tc == 0xABCDEF && qel_tttc == 0xABCDEF));
}
