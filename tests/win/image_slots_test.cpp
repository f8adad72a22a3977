// Image slots as real windows: creation, destruction, re-creation, the
// creation request, and closing a window while the user program draws into it.
// The slot table's rules are tested natively; here what the windows make of them.
#include <doctest/doctest.h>

#include <atomic>
#include <string>
#include <thread>

#include "image/image_win.h"
#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

// Palette entry `i` of the current image, read back from its bitmap.
std::uint32_t palette_entry(int i)
{
  std::uint32_t palette[256] = {};
  CHECK(worker_value([&] { return QEL_GetPalette(palette); }) == 0);
  return palette[i];
}

} // namespace

TEST_CASE("creation: class, style, owner, caption, client size, place; an 8-bit bitmap's grey ramp")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(5, "000", 40, 50, 640, 480, 100); }) == 0);
  const HWND window = slot_window(5);
  REQUIRE(IsWindow(window));
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  CHECK(std::string(name) == "qel_iw");
  CHECK(window_text(window) == "000(100%)");
  const RECT client = client_rect(window), outer = window_rect(window);
  CHECK((client.right == 640 && client.bottom == 480 && outer.left == 40 && outer.top == 50));
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG wanted = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  CHECK((style & wanted) == wanted);
  CHECK((style & (WS_CHILD | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
  CHECK(GetWindow(window, GW_OWNER) == main_window);
  CHECK((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
  CHECK(QEL_GetStretchMode(5) == COLORONCOLOR);

  // A tiny 8-bit image: the client area is the zoomed view the minimum window allows.
  REQUIRE(worker_value([] { return QEL_CreateImage8(6, "small", -1, -1, 5, 3, 100); }) == 0);
  const ImageSlot& small = image_slots[6];
  CHECK(small.zoom > 100);
  CHECK(client_rect(slot_window(6)).right == small.view_width);
  CHECK(client_rect(slot_window(6)).bottom == small.view_height);
  CHECK(palette_entry(200) == 0xC8C8C8);

  // One coordinate given, the other left to the system.
  REQUIRE(worker_value([] { return QEL_CreateImage(7, "x only", 70, -1, 200, 150, 100); }) == 0);
  CHECK(window_rect(slot_window(7)).left == 70);
  REQUIRE(worker_value([] { return QEL_CreateImage(8, "y only", -1, 90, 200, 150, 100); }) == 0);
  CHECK(window_rect(slot_window(8)).top == 90);
}

TEST_CASE("destruction and closing take the window away; the slot takes a new one")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(0, "a", 10, 10, 200, 150, 100); }) == 0);
  const HWND first = slot_window(0);
  CHECK(worker_value([] { return QEL_DestroyImage(0); }) == 0);
  CHECK_FALSE(IsWindow(first));
  CHECK(slot_window(0) == nullptr);
  REQUIRE(worker_value([] { return QEL_CreateImage(0, "b", 10, 10, 200, 150, 100); }) == 0);
  CHECK(window_text(slot_window(0)) == "b(100%)");

  REQUIRE(worker_value([] { return QEL_CreateImage(4, "w", 60, 70, 300, 200, 100); }) == 0);
  const HWND closed = slot_window(4);
  send(closed, WM_CLOSE);
  CHECK_FALSE(IsWindow(closed));
  CHECK(image_slots[4].in_use == 0);
}

TEST_CASE("resizing an 8-bit image makes a new window with palette, title, place, zoom and smoothing")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage8(2, "pal", 30, 40, 400, 300, 50); }) == 0);
  const HWND before = slot_window(2);
  on_worker([] {
    const std::uint32_t entries[8] = {0, 0xFF0000, 0x0000FF, 0, 0, 0, 0, 0x123456};
    QEL_SetPalette(entries, 8);
    QEL_SetStretchMode(2, 4);
    slot_pixels[2].pixels8[0] = 7;
  });
  REQUIRE(worker_value([] { return QEL_ResizeImage(2, 400, 240); }) == 0);
  const HWND after = slot_window(2);
  CHECK_FALSE(IsWindow(before));
  CHECK(window_text(after) == "pal(50%)[8bit]*");
  const RECT client = client_rect(after), outer = window_rect(after);
  CHECK((client.right == 200 && client.bottom == 120 && outer.left == 30 && outer.top == 40));
  CHECK(QEL_GetStretchMode(2) == HALFTONE);
  CHECK(palette_entry(7) == 0x123456);
  CHECK(palette_entry(8) == 0x080808);   // entries not written keep the grey ramp
  CHECK(slot_pixels[2].pixels8[0] == 0);
}

TEST_CASE("the creation request gives a free slot its window")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  // A thread of its own stands in for the GUI thread's command.
  int created = -1;
  std::thread([&] { created = post_create_image(0, "000", 320, 240, 32); }).join();
  REQUIRE(created == 0);
  CHECK(window_text(slot_window(0)) == "000(100%)");
  CHECK(client_rect(slot_window(0)).right == 320);
  CHECK(image_slots[0].bits == 32);
}

TEST_CASE("closing the window while user_main draws into it: later writes are ignored")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(9, "busy", 20, 20, 256, 256, 100); }) == 0);
  const HWND window = slot_window(9);
  std::atomic<bool> release{false};
  std::atomic<int> rounds{0}, show_after_close{-1};
  test_hooks.main = [&] {
    while (!release) {
      for (int i = 0; i < 256 * 256; i += 7)
        QEL_PutPixel(i % 256, i / 256, 0xFF0000);
      const int shown = QEL_ShowImage(9);
      if (!image_slots[9].in_use)
        show_after_close = shown;
      ++rounds;
      QEL_DoEvents();
      Sleep(1);
    }
  };
  post(main_window, WM_COMMAND, cmd_start);
  REQUIRE(wait_until([&] { return user_running.load() == 1 && rounds.load() > 3; }));
  post(window, WM_CLOSE);
  REQUIRE(wait_until([&] { return !IsWindow(window); }));
  const int closed_at = rounds.load();
  REQUIRE(wait_until([&] { return rounds.load() > closed_at + 20; }));
  CHECK(image_slots[9].in_use == 0);
  CHECK(qel_current_image == 9);
  CHECK(show_after_close.load() == 1);
  CHECK(QEL_GetPixel(0, 0) == 0);
  release = true;
  REQUIRE(wait_until([] { return user_running.load() == 0; }));
}
