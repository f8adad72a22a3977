// Image slots as real windows: creation, destruction, re-creation, the
// creation request, closing a window while the user program draws into it;
// what the windows show, read back from each window's own DC at 100 % and
// scaled, smoothly too, through an 8-bit palette, after a paint message and
// after a repaint of part of it; zoom changes around a fixed corner; the
// paste request; TrueType text drawn into an image. The slot table's rules
// are tested natively; here what the windows make of them.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "image/image_win.h"
#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

constexpr std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;

// Blue with a red "F" and a green mark in the top-right corner; every edge on
// an even coordinate, so each 2 x 2 block is one colour.
std::uint32_t pattern(int x, int y, int w)
{
  if (x >= w - 8 && y < 8)
    return green;
  const bool stem = x >= 10 && x < 30 && y >= 10 && y < 110;
  const bool top = x >= 10 && x < 90 && y >= 10 && y < 30;
  const bool middle = x >= 10 && x < 60 && y >= 50 && y < 70;
  return stem || top || middle ? red : blue;
}

// Makes a 32-bit image in `slot` filled with the pattern.
int create_pattern(int slot, int x, int y, int w, int h, int zoom)
{
  return worker_value([&] {
    const int result = QEL_CreateImage(slot, "p", x, y, w, h, zoom);
    const SlotPixels& p = slot_pixels[slot];
    for (int row = 0; row < p.height; ++row)
      for (int column = 0; column < p.width; ++column)
        p.pixels32[row * p.stride + column] = pattern(column, row, p.width);
    return result;
  });
}

} // namespace

TEST_CASE("creation, resizing, zoom; destruction, the create and paste requests; closing a window user_main draws into")
{
  Started<JobsFramework> framework;
  REQUIRE(worker_value([] { return QEL_CreateImage(5, "000", 40, 50, 640, 480, 100); }) == 0);
  const HWND window = slot_window(5);
  CHECK(window_text(window) == "000(100%)");
  const RECT client = client_rect(window), outer = window_rect(window);
  CHECK((client.right == 640 && client.bottom == 480 && outer.left == 40 && outer.top == 50));
  CHECK(GetWindow(window, GW_OWNER) == main_window);

  // Zoom changes resize the window around the new client area, corner fixed:
  // 50 %, then a zoom far too large that settles where the client area still fits the screen.
  const int frame_w = outer.right - outer.left - 640, frame_h = outer.bottom - outer.top - 480;
  for (const int asked : {50, 1000}) {
    REQUIRE(worker_value([&] { return QEL_ZoomImage(5, asked); }) == 0);
    const int zoom = image_slots[5].zoom;
    if (asked == 50)
      CHECK(zoom == 50);
    const RECT now = window_rect(window), area = client_rect(window);
    CHECK((now.left == 40 && now.top == 50));
    CHECK((area.right == 640 * zoom / 100 && area.bottom == 480 * zoom / 100));
    CHECK((now.right - now.left == area.right + frame_w && now.bottom - now.top == area.bottom + frame_h));
  }
  CHECK(client_rect(window).right <= GetSystemMetrics(SM_CXSCREEN));
  CHECK(client_rect(window).bottom <= GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION));

  // A tiny 8-bit image: the client area is the zoomed view the minimum window allows.
  REQUIRE(worker_value([] { return QEL_CreateImage8(6, "small", -1, -1, 5, 3, 100); }) == 0);
  const RECT small = client_rect(slot_window(6));
  CHECK((small.right == image_slots[6].view_width && small.bottom == image_slots[6].view_height));
  CHECK(worker_value([] { std::uint32_t p[256] = {}; QEL_GetPalette(p); return p[200]; }) == 0xC8C8C8);

  // One coordinate given, the other left to the system.
  REQUIRE(worker_value([] { return QEL_CreateImage(7, "x only", 70, -1, 200, 150, 100); }) == 0);
  CHECK(window_rect(slot_window(7)).left == 70);
  REQUIRE(worker_value([] { return QEL_CreateImage(8, "y only", -1, 90, 200, 150, 100); }) == 0);
  CHECK(window_rect(slot_window(8)).top == 90);

  // Resizing an 8-bit image.
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
  const RECT resized = client_rect(after), moved = window_rect(after);
  CHECK((resized.right == 200 && resized.bottom == 120 && moved.left == 30 && moved.top == 40));
  CHECK(QEL_GetStretchMode(2) == HALFTONE);
  const auto palette = worker_value([] { std::vector<std::uint32_t> p(256); QEL_GetPalette(p.data()); return p; });
  CHECK((palette[7] == 0x123456 && palette[8] == 0x080808));   // entries not written keep the grey ramp
  CHECK(slot_pixels[2].pixels8[0] == 0);

  // Destruction takes the window away, and the slot takes a new one.
  REQUIRE(worker_value([] { return QEL_CreateImage(0, "a", 10, 10, 200, 150, 100); }) == 0);
  const HWND first = slot_window(0);
  CHECK(worker_value([] { return QEL_DestroyImage(0); }) == 0);
  CHECK((!IsWindow(first) && slot_window(0) == nullptr));
  REQUIRE(worker_value([] { return QEL_CreateImage(0, "b", 10, 10, 200, 150, 100); }) == 0);
  CHECK(window_text(slot_window(0)) == "b(100%)");

  // The creation request; a thread of its own stands in for the GUI thread's command.
  int created = -1;
  std::thread([&] { created = post_create_image(4, "000", 320, 240, 32); }).join();
  REQUIRE(created == 0);
  CHECK(window_text(slot_window(4)) == "000(100%)");
  CHECK(client_rect(slot_window(4)).right == 320);

  // The paste request.
  REQUIRE(worker_value([] { return QEL_CreateImage(3, "paste", 10, 10, 200, 150, 100); }) == 0);
  on_worker([] { QEL_FillBox(0, 0, 199, 149, green, green); });
  // Wider than the image and not as tall: red left part, blue right part.
  std::uint32_t* pixels = nullptr;
  const HBITMAP source = make_dib(300, 100, &pixels);
  for (int i = 0; i < 300 * 100; ++i)
    pixels[i] = i % 300 < 150 ? red : blue;
  std::thread([&] { post_paste_image(source); }).join();
  BITMAP gone;
  CHECK(GetObjectW(source, sizeof gone, &gone) == 0);
  int bad = 0;
  for (int i = 0; i < 200 * 150; ++i)
    bad += (slot_pixels[3].pixels32[i] & 0xFFFFFF) != (i / 200 >= 100 ? green : i % 200 < 150 ? red : blue);
  CHECK(bad == 0);

  // With the current image closed the bitmap is still released.
  CHECK(worker_value([] { return QEL_DestroyImage(3); }) == 0);
  const HBITMAP orphan = make_dib(20, 20, &pixels);
  std::thread([&] { post_paste_image(orphan); }).join();
  CHECK(GetObjectW(orphan, sizeof gone, &gone) == 0);

  // Closing the window while user_main draws into it: later writes are ignored.
  REQUIRE(worker_value([] { return QEL_CreateImage(9, "busy", 20, 20, 256, 256, 100); }) == 0);
  const HWND busy = slot_window(9);
  std::atomic<bool> release{false};
  std::atomic<int> rounds{0};
  test_hooks.main = [&] {
    while (!release) {
      for (int i = 0; i < 256 * 256; i += 7)
        QEL_PutPixel(i % 256, i / 256, 0xFF0000);
      QEL_ShowImage(9);
      ++rounds;
      QEL_DoEvents();
      Sleep(1);
    }
  };
  post(main_window, WM_COMMAND, cmd_start);
  REQUIRE(wait_until([&] { return user_running.load() == 1 && rounds.load() > 3; }));
  post(busy, WM_CLOSE);
  REQUIRE(wait_until([&] { return !IsWindow(busy); }));
  const int closed_at = rounds.load();
  REQUIRE(wait_until([&] { return rounds.load() > closed_at + 20; }));
  CHECK((image_slots[9].in_use == 0 && qel_current_image == 9 && QEL_GetPixel(0, 0) == 0));
  release = true;
  REQUIRE(wait_until([] { return user_running.load() == 0; }));
}

TEST_CASE("showing: 100 %, 50 %, smooth, 8-bit through the palette, part repainted at 111 %; TrueType text")
{
  Started<JobsFramework> framework;
  for (const int zoom : {100, 50}) {
    CAPTURE(zoom);
    const int scale = 100 / zoom, slot = scale, width = 160 * scale;
    REQUIRE(create_pattern(slot, 20, 20, width, 120 * scale, zoom) == 0);
    const HWND window = slot_window(slot);
    CHECK(worker_value([&] {
            QEL_ShowImage(slot);
            return mismatches(window, 160, 120, [&](int x, int y) { return pattern(x * scale, y * scale, width); });
          }) == 0);
  }
  // Smooth halving still shows the solid areas in their colours.
  CHECK(worker_value([] {
          QEL_SetStretchMode(2, 4);
          QEL_ShowImage(2);
          const HWND window = slot_window(2);
          return mismatches(window, 6, 6, [](int, int) { return red; }, 7, 7) +
                 mismatches(window, 20, 20, [](int, int) { return blue; }, 140, 90);
        }) == 0);

  REQUIRE(worker_value([] { return QEL_CreateImage8(3, "p", 10, 10, 202, 120, 100); }) == 0);
  const HWND window = slot_window(3);
  CHECK(worker_value([&] {
          const std::uint32_t entries[3] = {0, red, blue};
          QEL_SetPalette(entries, 3);
          // Width 202 pads rows to 204 bytes: a stride mistake shears the halves.
          QEL_FillBox(0, 0, 100, 119, 1, 1);
          QEL_FillBox(101, 0, 201, 119, 2, 2);
          QEL_ShowImage(3);
          return mismatches(window, 202, 120, [](int x, int) { return x < 101 ? red : blue; });
        }) == 0);
  // Without QEL_ShowImage: the new pixels appear through WM_PAINT alone.
  CHECK(worker_value([&] {
          QEL_FillBox(0, 0, 100, 119, 2, 2);
          InvalidateRect(window, nullptr, FALSE);
          UpdateWindow(window);
          return mismatches(window, 202, 120, [](int, int) { return blue; });
        }) == 0);

  // At 111 %: black over a patch whose edges cut through stretched pixels,
  // then a repaint of that patch alone puts back what a whole copy shows.
  REQUIRE(create_pattern(7, 10, 10, 300, 200, 111) == 0);
  const HWND odd = slot_window(7);
  const int w = image_slots[7].view_width, h = image_slots[7].view_height;
  const std::vector<std::uint32_t> whole = worker_value([&] {
    QEL_ShowImage(7);
    return window_pixels(odd, w, h);
  });
  CHECK(worker_value([&] {
    const RECT patch{37, 23, 101, 88};
    const HDC dc = GetDC(odd);
    FillRect(dc, &patch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(odd, dc);
    InvalidateRect(odd, &patch, FALSE);
    UpdateWindow(odd);
    return window_pixels(odd, w, h) == whole;
  }));

  // TrueType text.
  constexpr std::uint32_t background = 0x102030, ink = 0x00FF80;
  // Changed pixels inside and outside the cell, those in the ink itself, the rows they span.
  int advance = 0, inside = 0, outside = 0, inked = 0, top = 60, bottom = 0;
  on_worker([&] {
    REQUIRE(QEL_TTSetFontSize(20, 24) == 0);   // cells 10 wide, lines 24 high
    REQUIRE(QEL_CreateImage(0, "tt", 0, 0, 120, 60, 100) == 0);
    QEL_FillBox(0, 0, 119, 59, background, background);
    qel_tttc = ink;
    text_x = text_margin = 20;
    text_y = 40;   // bottom row of the cell
    QEL_TTPutChar('W');
    advance = text_x - 20;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        const std::uint32_t pixel = QEL_GetPixel(x, y) & 0xFFFFFF;
        if (pixel == background)
          continue;
        ++(x >= 20 && x < 20 + advance && y > 40 - 24 && y <= 40 ? inside : outside);
        inked += pixel == ink;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  });
  CHECK((advance >= 10 && advance <= 2 * 10 + 2));   // W is no narrower than the average cell
  CHECK((inside > 5 && outside == 0 && inked > 0));
  CHECK(bottom - top >= 12);   // a W of the 16-pixel default stands 10 pixels high, of 24 pixels 16

  // A new line returns to the margin one line lower; style controls draw nothing.
  on_worker([] {
    QEL_TTPutChar(3);
    QEL_TTPutChar(10);
  });
  CHECK((text_x == 20 && text_y == 40 + 24));

  // Text sent to a closed image draws nowhere and does not crash.
  on_worker([] {
    QEL_DestroyImage(0);
    QEL_TTPutString("abc");
  });
}
