// Image windows as a user works in them: dragging with Ctrl snaps every kind
// of window, the two pop-up menus, the keys, dropped files, the zoom and size
// prompts, the wheel, Save as and the colour dialog.
#include <doctest/doctest.h>

#include <colordlg.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
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

edge_rect edges_of(HWND window)
{
  const RECT r = window_rect(window);
  return {r.left, r.top, r.right, r.bottom};
}

// The rectangle a window ends up with when it is dragged to (left, top).
edge_rect dragged(HWND window, int left, int top, bool ctrl)
{
  const RECT now = window_rect(window);
  RECT proposed{left, top, left + now.right - now.left, top + now.bottom - now.top};
  std::optional<HoldCtrl> held;
  if (ctrl)
    held.emplace(window);
  send(window, WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&proposed));
  return {proposed.left, proposed.top, proposed.right, proposed.bottom};
}

std::uint32_t pixel(int x, int y)
{
  const SlotPixels& p = slot_pixels[0];
  return p.pixels32[y * p.stride + x] & 0xFFFFFF;
}

} // namespace

TEST_CASE("snapping: the windows of both threads in order; Ctrl drags snap to the screen and to windows")
{
  install_worker_jobs([] {
    QEL_CreateImage(3, "three", 400, 300, 200, 100, 100);
    QEL_CreateImage(1, "one", 900, 300, 200, 100, 100);
    QEL_OpenTextWindow(2, 400, 600, 200, 100);
    QEL_OpenTextWindow(0, 900, 600, 200, 100);
    QEL_OpenInputBox(1300, 300, 2);
    QEL_OpenButtonBox(1300, 600, 2, 2);
  });
  Framework framework;
  REQUIRE(framework.started);
  const HWND one = slot_window(1), three = slot_window(3), text = text_window_handle(2);

  // A move of the main window rebuilds the list on the GUI thread, from what
  // the system reports: images by slot, text windows by number, the boxes, the main window.
  const RECT main = window_rect(main_window);
  SetWindowPos(main_window, nullptr, main.left - 10, main.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const HWND order[] = {one, three, text_window_handle(0), text, input_box_window(),
                        button_box_window(), main_window};
  const edge_list list = published_edge_list();
  REQUIRE(list.count == 4 + 7);
  for (int i = 0; i < 7; ++i)
    CHECK(list.entries[4 + i] == edges_of(order[i]));

  // 7 pixels from the screen's left edge snap, 8 do not, nor does a drag without Ctrl.
  CHECK(dragged(one, 7, 500, true).left == 0);
  CHECK(dragged(one, 8, 500, true).left == 8);
  CHECK(dragged(one, 7, 500, false).left == 7);
  CHECK(dragged(text, 5, 620, true).left == 0);
  CHECK(dragged(main_window, 6, main.top, true).left == 0);

  // Beside image 3's right edge, overlapping it a little, with tops 5 apart:
  // attached to it and tops aligned.
  const edge_rect other = edges_of(three);
  const edge_rect moved = dragged(one, other.right - 2, other.top + 5, true);
  CHECK(moved.left == other.right);
  CHECK(moved.top == other.top);
}

TEST_CASE("menus: the edit menu checks the zoom shown; Ctrl or the middle button opens the tools menu")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] {
            return QEL_CreateImage(0, "m", 10, 10, 300, 200, 100) + QEL_CreateImage8(1, "e", 400, 10, 60, 40, 100);
          }) == 0);
  const HWND window = slot_window(0);

  std::vector<MenuItemView> edit = open_context_menu(window);
  REQUIRE(edit.size() == 14);
  CHECK(edit[8].text == "Zoom:100%\tCtrl+0");
  for (size_t i = 0; i < edit.size(); ++i)
    CHECK(edit[i].checked == (i == 8));
  // Ctrl + keypad plus from 100 asks for 111, which a 300 x 200 image takes.
  press_key(window, VK_ADD, true);
  CHECK(image_slots[0].zoom == 111);
  edit = open_context_menu(window);
  for (const MenuItemView& item : edit)
    CHECK_FALSE(item.checked);

  // The tools menu; its "Information..." offers the colour-space graphs to
  // true-colour images only.
  const std::vector<MenuItemView> tools = open_context_menu(window, WM_RBUTTONDOWN, {5, 5}, MK_CONTROL);
  REQUIRE(tools.size() == 15);
  CHECK(tools[2].text == "Information...");
  CHECK(tools[2].sub_items.size() == 7);
  const std::vector<MenuItemView> tools8 = open_context_menu(slot_window(1), WM_MBUTTONDOWN);
  REQUIRE(tools8.size() == 15);
  CHECK(tools8[2].sub_items == std::vector<std::string>{"Pixel", "Line(Lumi)"});
}

TEST_CASE("keys: S presses button 5 and starts nothing; Tab smooths; the border keeps the size; Escape exits")
{
  std::atomic<int> runs{0};
  install_worker_jobs([] {
    QEL_OpenButtonBox(0, 0, 3, 3);
    QEL_CreateImage(0, "k", 300, 300, 120, 90, 100);
  });
  test_hooks.main = [&] { ++runs; };
  Framework framework;
  REQUIRE(framework.started);
  const HWND window = slot_window(0), main = main_window;

  press_key(window, 'S');
  CHECK(worker_value([] { return QEL_ButtonPressed(5); }) == 1);
  // Whatever the key left for the main window is handled before this status text.
  set_status_text("after S");
  CHECK(status_shows("after S"));
  CHECK(start_requested.load() == 0);
  CHECK(user_running.load() == 0);
  CHECK(runs.load() == 0);

  press_key(window, VK_TAB);
  CHECK(window_text(window) == "k(100%)*");
  const RECT before = window_rect(window);
  RECT proposed{before.left, before.top, before.right + 50, before.bottom + 40};
  send(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  CHECK(EqualRect(&proposed, &before));

  press_key(window, VK_ESCAPE);
  CHECK(wait_until([&] { return !IsWindow(main); }));
}

TEST_CASE("dropped files: only the first loads; the drop is released, also when the file does not load")
{
  const std::wstring folder = fresh_test_folder(L"image_window_work");
  const std::wstring first = folder + L"\\first.png", second = folder + L"\\second.png";
  const std::wstring notes = folder + L"\\notes.png";
  REQUIRE(magick_write({2, 2, {red, red, red, red}}, {}, first));
  REQUIRE(magick_write({8, 8, std::vector<std::uint32_t>(64, blue)}, {}, second));
  std::ofstream(std::filesystem::path(notes)) << "not a picture";

  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(0, "d", 10, 10, 8, 8, 100); }) == 0);
  const HWND window = slot_window(0);

  const HDROP drop = make_drop({first, second, notes});
  post(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  CHECK(wait_until([] { return pixel(0, 0) == red && pixel(1, 1) == red; }));
  CHECK(wait_until([&] { return GlobalSize(drop) == 0; }));
  CHECK(worker_value([] { return pixel(5, 5); }) == 0);
  CHECK_FALSE(image_slots[1].in_use);

  const HDROP failed = make_drop({notes, first});
  post(window, WM_DROPFILES, reinterpret_cast<WPARAM>(failed));
  CHECK(wait_until([&] { return GlobalSize(failed) == 0; }));
  CHECK(worker_value([] { return pixel(0, 0); }) == red);
}

TEST_CASE("the zoom and size prompts ask in text window 0 and no menu opens meanwhile; Ctrl+wheel; capped windows")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(2, "p", 20, 20, 300, 200, 100); }) == 0);
  const HWND window = slot_window(2);

  post(window, WM_COMMAND, img_cmd_zoom_prompt);
  REQUIRE(wait_until([] { return line_input_owner.load() != 0; }));
  // Posted in order: had the right click opened a menu, its loop would hold the Tab.
  post(window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
  post(window, WM_KEYDOWN, VK_TAB, 1);
  CHECK(wait_until([&] { return window_text(window) == "p(100%)*"; }));
  CHECK_FALSE(context_menu_open());
  REQUIRE(type_answer("50\r"));
  CHECK(wait_until([&] { return window_text(window) == "p(50%)*"; }));
  CHECK(client_rect(window).right == 150);

  post(window, WM_COMMAND, img_cmd_resize_prompt);
  REQUIRE(type_answer("30\r20\r"));
  CHECK(wait_until([] { return image_slots[2].width == 30 && image_slots[2].height == 20; }));

  // Toward the user with Ctrl zooms in; without Ctrl the wheel does nothing.
  REQUIRE(worker_value([] { return QEL_CreateImage(3, "w", 400, 20, 300, 200, 100); }) == 0);
  send(slot_window(3), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
  CHECK(image_slots[3].zoom == 100);
  send(slot_window(3), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA));
  CHECK(image_slots[3].zoom == 111);
  send(slot_window(3), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA));
  CHECK(image_slots[3].zoom == 100);

  // A window larger than the screen, which the system may have cut down,
  // still fits its client area exactly once the zoom lets it.
  REQUIRE(worker_value([] { return QEL_CreateImageFL(4, "fl", 0, 0, 2400, 1400, 100); }) == 0);
  REQUIRE(worker_value([] { return QEL_ZoomImage(4, 50); }) == 0);
  CHECK(client_rect(slot_window(4)).right == 1200);
  CHECK(client_rect(slot_window(4)).bottom == 700);
}

TEST_CASE("Save as writes what ImageMagick reads back; the colour dialog's choice becomes the drawing colour")
{
  const std::wstring folder = fresh_test_folder(L"image_window_save");
  JobsFramework framework;
  REQUIRE(framework.started);
  // 35 colours, no two alike, red and blue running differently.
  RgbPicture picture{7, 5, {}};
  for (std::uint32_t i = 0; i < 35; ++i)
    picture.pixels.push_back(i * 7 << 16 | i * 3 << 8 | (250 - i * 5));
  REQUIRE(worker_value([&] {
            const int result = QEL_CreateImage(4, "s", 10, 10, 7, 5, 100);
            std::copy(picture.pixels.begin(), picture.pixels.end(), slot_pixels[4].pixels32);
            return result;
          }) == 0);
  const HWND window = slot_window(4);

  post(window, WM_COMMAND, img_cmd_save_as);
  HWND dialog = wait_for_dialog(L"Save as");
  REQUIRE(dialog);
  SetWindowTextW(file_name_box(dialog), (folder + L"\\saved.bmp").c_str());
  CHECK(press_dialog_button(dialog, IDOK));
  RgbPicture saved;
  CHECK(wait_until([&] { return (saved = magick_read(folder + L"\\saved.bmp")).width == 7; }, 20000));
  CHECK(saved.pixels == picture.pixels);

  worker_value([] { return qel_draw_colour = 0x102030; });
  post(window, WM_COMMAND, img_cmd_colour_change);
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
  CHECK(qel_tc == 0xABCDEF);
  CHECK(qel_tttc == 0xABCDEF);
}
