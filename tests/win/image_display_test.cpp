// What an image window shows: its pixels read back from the window's own DC
// at 100 % and scaled, smoothly too, through an 8-bit palette, after a paint
// message; zoom changes around a fixed corner; a repaint of part of the
// window; the paste request.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
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

TEST_CASE("showing: one to one at 100 %, halved at 50 %, solid areas when smooth; 8-bit through the palette")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  for (const int zoom : {100, 50}) {
    CAPTURE(zoom);
    const int scale = 100 / zoom, slot = scale, width = 160 * scale;
    REQUIRE(create_pattern(slot, 20, 20, width, 120 * scale, zoom) == 0);
    const HWND window = slot_window(slot);
    CHECK(client_rect(window).right == 160);
    CHECK(client_rect(window).bottom == 120);
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
  auto fill8 = [](auto value) {
    const SlotPixels& p = slot_pixels[3];
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.pixels8[y * p.stride + x] = value(x);
  };
  CHECK(worker_value([&] {
          const std::uint32_t entries[3] = {0, red, blue};
          QEL_SetPalette(entries, 3);
          // Width 202 pads rows to 204 bytes: a stride mistake shears the halves.
          fill8([](int x) { return x < 101 ? 1 : 2; });
          QEL_ShowImage(3);
          return mismatches(window, 202, 120, [](int x, int) { return x < 101 ? red : blue; });
        }) == 0);
  // Without QEL_ShowImage: the new pixels appear through WM_PAINT alone.
  CHECK(worker_value([&] {
          fill8([](int) { return 2; });
          InvalidateRect(window, nullptr, FALSE);
          UpdateWindow(window);
          return mismatches(window, 202, 120, [](int, int) { return blue; });
        }) == 0);
}

TEST_CASE("zoom changes resize the window around the new client area, corner fixed")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(2, "z", 25, 35, 640, 480, 100); }) == 0);
  const HWND window = slot_window(2);
  const RECT outer = window_rect(window);
  const int frame_w = outer.right - outer.left - 640, frame_h = outer.bottom - outer.top - 480;
  // 50 %, then a zoom far too large: it settles where the client area still fits the screen.
  for (const int asked : {50, 1000}) {
    REQUIRE(worker_value([&] { return QEL_ZoomImage(2, asked); }) == 0);
    const int zoom = image_slots[2].zoom;
    if (asked == 50)
      CHECK(zoom == 50);
    const RECT now = window_rect(window), client = client_rect(window);
    CHECK((now.left == 25 && now.top == 35));
    CHECK((client.right == 640 * zoom / 100 && client.bottom == 480 * zoom / 100));
    CHECK((now.right - now.left == client.right + frame_w && now.bottom - now.top == client.bottom + frame_h));
  }
  CHECK(client_rect(window).right <= GetSystemMetrics(SM_CXSCREEN));
  CHECK(client_rect(window).bottom <= GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION));
}

TEST_CASE("the paste request copies a bitmap clipped at the image and deletes it")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage(6, "paste", 10, 10, 200, 150, 100); }) == 0);
  on_worker([] { std::fill_n(slot_pixels[6].pixels32, 200 * 150, green); });

  // Wider than the image and not as tall: red left part, blue right part.
  std::uint32_t* pixels = nullptr;
  const HBITMAP source = make_dib(300, 100, &pixels);
  for (int i = 0; i < 300 * 100; ++i)
    pixels[i] = i % 300 < 150 ? red : blue;
  std::thread([&] { post_paste_image(source); }).join();
  BITMAP gone;
  CHECK(GetObjectW(source, sizeof gone, &gone) == 0);
  int bad = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x)
      bad += (slot_pixels[6].pixels32[y * 200 + x] & 0xFFFFFF) != (y >= 100 ? green : x < 150 ? red : blue);
  CHECK(bad == 0);

  // With the current image closed the bitmap is still released.
  CHECK(worker_value([] { return QEL_DestroyImage(6); }) == 0);
  const HBITMAP orphan = make_dib(20, 20, &pixels);
  std::thread([&] { post_paste_image(orphan); }).join();
  CHECK(GetObjectW(orphan, sizeof gone, &gone) == 0);
}

TEST_CASE("repainting part of the window at 111 % puts each pixel where a whole copy does")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(create_pattern(7, 10, 10, 300, 200, 111) == 0);
  const HWND window = slot_window(7);
  const int w = image_slots[7].view_width, h = image_slots[7].view_height;
  const std::vector<std::uint32_t> whole = worker_value([&] {
    QEL_ShowImage(7);
    return window_pixels(window, w, h);
  });
  // Black over a patch whose edges cut through stretched pixels, then a
  // repaint of that patch alone.
  CHECK(worker_value([&] {
    const RECT patch{37, 23, 101, 88};
    const HDC dc = GetDC(window);
    FillRect(dc, &patch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(window, dc);
    InvalidateRect(window, &patch, FALSE);
    UpdateWindow(window);
    return window_pixels(window, w, h) == whole;
  }));
}
