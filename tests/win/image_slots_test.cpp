// Image slots as real windows: creation, destruction, re-creation, the
// creation request, and closing a window while the user program draws into it.
#include <doctest/doctest.h>

#include <atomic>
#include <string>
#include <thread>

#include "image/slot_backend.h"
#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

HWND window_of(int slot) { return static_cast<HWND>(backend_window_handle(slot)); }

int create_on_worker(int slot, const char* title, int x, int y, int w, int h, int zoom,
                     int bits = 32)
{
  return worker_value([&] {
    return bits == 8 ? QEL_CreateImage8(slot, title, x, y, w, h, zoom)
                     : QEL_CreateImage(slot, title, x, y, w, h, zoom);
  });
}

std::uint32_t palette_entry(int i)
{
  std::uint32_t palette[256] = {};
  CHECK(worker_value([&] { return QEL_GetPalette(palette); }) == 0);
  return palette[i];
}

} // namespace

TEST_CASE("creation: class, style, owner, caption, client size, place; refused twice")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(5, "000", 40, 50, 640, 480, 100) == 0);
  const HWND window = window_of(5);
  REQUIRE(IsWindow(window));
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  CHECK(std::string(name) == "qel_iw");
  CHECK(window_text(window) == "000(100%)");
  CHECK(client_rect(window).right == 640);
  CHECK(client_rect(window).bottom == 480);
  CHECK(window_rect(window).left == 40);
  CHECK(window_rect(window).top == 50);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG wanted = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  CHECK((style & wanted) == wanted);
  CHECK((style & (WS_CHILD | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
  CHECK(GetWindow(window, GW_OWNER) == main_window);
  CHECK((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
  CHECK(QEL_GetStretchMode(5) == COLORONCOLOR);
  CHECK(qel_current_image == 5);

  // Creating into the slot again is refused and leaves the window alone.
  CHECK(create_on_worker(5, "other", 0, 0, 10, 10, 100) == 1);
  CHECK(window_of(5) == window);
  CHECK(window_text(window) == "000(100%)");

  // A tiny 8-bit image: the zoom rises to the minimum window, the caption says
  // 8 bit, the colour table starts as a grey ramp.
  REQUIRE(create_on_worker(6, "small", -1, -1, 5, 3, 100, 8) == 0);
  const ImageSlot& small = image_slots[6];
  CHECK(small.zoom > 100);
  CHECK(window_text(window_of(6)) == "small(" + std::to_string(small.zoom) + "%)[8bit]");
  CHECK(client_rect(window_of(6)).right == small.view_width);
  CHECK(client_rect(window_of(6)).bottom == small.view_height);
  CHECK(palette_entry(1) == 0x010101);
  CHECK(palette_entry(200) == 0xC8C8C8);

  // One coordinate given, the other left to the system.
  REQUIRE(create_on_worker(7, "x only", 70, -1, 200, 150, 100) == 0);
  CHECK(window_rect(window_of(7)).left == 70);
  REQUIRE(create_on_worker(8, "y only", -1, 90, 200, 150, 100) == 0);
  CHECK(window_rect(window_of(8)).top == 90);
}

TEST_CASE("destruction and re-creation; the border does not resize; closing destroys the slot")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(0, "a", 10, 10, 200, 150, 100) == 0);
  HWND window = window_of(0);
  CHECK(worker_value([] { return QEL_FindImageWindow(window_of(0)); }) == 0);
  CHECK(worker_value([] { return QEL_DestroyImage(0); }) == 0);
  CHECK_FALSE(IsWindow(window));
  CHECK(window_of(0) == nullptr);
  CHECK(worker_value([&] { return QEL_FindImageWindow(window); }) == -1);
  CHECK(worker_value([] { return QEL_DestroyImage(0); }) == 1);
  // The destroyed image stays current, and showing it is refused.
  CHECK(qel_current_image == 0);
  CHECK(worker_value([] { return QEL_ShowImage(0); }) == 1);
  CHECK(create_on_worker(0, "b", 10, 10, 200, 150, 100) == 0);
  CHECK(window_text(window_of(0)) == "b(100%)");

  REQUIRE(create_on_worker(4, "w", 60, 70, 300, 200, 100) == 0);
  window = window_of(4);
  const RECT outer = window_rect(window);
  RECT proposal{outer.left - 20, outer.top, outer.right + 80, outer.bottom + 40};
  send(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposal));
  CHECK(proposal.left == outer.left);
  CHECK(proposal.right == outer.right);
  CHECK(proposal.bottom == outer.bottom);
  send(window, WM_CLOSE);
  CHECK_FALSE(IsWindow(window));
  CHECK(image_slots[4].in_use == 0);
  CHECK(first_free_image_slot() == 1);
}

TEST_CASE("resizing an 8-bit image keeps palette, title, place, zoom and smoothing")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(2, "pal", 30, 40, 400, 300, 50, 8) == 0);
  const HWND before = window_of(2);
  on_worker([] {
    const std::uint32_t entries[8] = {0, 0xFF0000, 0x0000FF, 0, 0, 0, 0, 0x123456};
    QEL_SetPalette(entries, 8);
    QEL_SetStretchMode(2, 4);
    slot_pixels[2].pixels8[0] = 7;
  });
  REQUIRE(worker_value([] { return QEL_ResizeImage(2, 400, 240); }) == 0);
  const HWND after = window_of(2);
  CHECK_FALSE(IsWindow(before));
  CHECK(window_text(after) == "pal(50%)[8bit]*");
  CHECK(window_rect(after).left == 30);
  CHECK(window_rect(after).top == 40);
  CHECK(client_rect(after).right == 200);
  CHECK(client_rect(after).bottom == 120);
  CHECK(QEL_GetStretchMode(2) == HALFTONE);
  CHECK(palette_entry(1) == 0xFF0000);
  CHECK(palette_entry(7) == 0x123456);
  CHECK(palette_entry(8) == 0x080808);   // entries not written keep the grey ramp
  CHECK(slot_pixels[2].pixels8[0] == 0);
}

TEST_CASE("the creation request: slot 256 is refused with 4, a free slot gets its window")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  CHECK(first_free_image_slot() == 0);
  // A thread of its own stands in for the GUI thread's command.
  int refused = -1, created = -1;
  std::thread([&] {
    refused = post_create_image(256, "x", 100, 100, 32);
    created = post_create_image(0, "000", 320, 240, 32);
  }).join();
  CHECK(refused == 4);
  REQUIRE(created == 0);
  CHECK(window_text(window_of(0)) == "000(100%)");
  CHECK(client_rect(window_of(0)).right == 320);
  CHECK(image_slots[0].bits == 32);
  CHECK(first_free_image_slot() == 1);
}

TEST_CASE("closing the window while user_main draws into it: later writes are ignored")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(9, "busy", 20, 20, 256, 256, 100) == 0);
  const HWND window = window_of(9);
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
