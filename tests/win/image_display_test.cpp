// What an image window shows: its pixels read back from the window's own DC
// at 100 % and scaled, through an 8-bit palette, after a paint message; zoom
// changes around a fixed corner; stretch mode in the caption; the paste request.
#include <doctest/doctest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "image/slot_backend.h"
#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

constexpr std::uint32_t red = 0xFF0000;
constexpr std::uint32_t green = 0x00FF00;
constexpr std::uint32_t blue = 0x0000FF;

struct Framework {
  Framework()
  {
    test_hooks.main = nullptr;
    install_worker_jobs();
    started = start_framework();
  }
  ~Framework() { stop_framework(); }
  bool started = false;
};

HWND window_of(int slot) { return static_cast<HWND>(backend_window_handle(slot)); }

// A 32-bit top-down DIB section of w x h: its DC, bitmap and pixels.
struct Dib {
  Dib(int w, int h) : width(w), height(h)
  {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t*>(bits);
  }
  HBITMAP bitmap = nullptr;
  std::uint32_t* pixels = nullptr;
  int width, height;
};

// What the window's client area shows in its top-left w x h, as 0x00RRGGBB.
std::vector<std::uint32_t> read_window(HWND window, int w, int h)
{
  Dib copy(w, h);
  const HDC window_dc = GetDC(window);
  const HDC dc = CreateCompatibleDC(window_dc);
  const HGDIOBJ old = SelectObject(dc, copy.bitmap);
  BitBlt(dc, 0, 0, w, h, window_dc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> out(copy.pixels, copy.pixels + w * h);
  for (std::uint32_t& p : out)
    p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(window, window_dc);
  DeleteObject(copy.bitmap);
  return out;
}

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

void fill_pattern(int slot)
{
  const SlotPixels& p = slot_pixels[slot];
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.pixels32[y * p.stride + x] = pattern(x, y, p.width);
}

int count_mismatches(const std::vector<std::uint32_t>& shown, int w, int h, int scale,
                     int source_width)
{
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bad += shown[y * w + x] != pattern(x * scale, y * scale, source_width);
  return bad;
}

int create_on_worker(int slot, const char* title, int x, int y, int w, int h, int zoom)
{
  return worker_value([&] { return QEL_CreateImage(slot, title, x, y, w, h, zoom); });
}

} // namespace

TEST_CASE("showing at 100 % copies the pixels one to one, red and blue in place")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(0, "one", 10, 10, 160, 120, 100) == 0);
  const auto shown = worker_value([] {
    fill_pattern(0);
    QEL_ShowImage(0);
    return read_window(window_of(0), 160, 120);
  });
  CHECK(shown[15 * 160 + 15] == red);
  CHECK(shown[100 * 160 + 100] == blue);
  CHECK(shown[2 * 160 + 155] == green);
  CHECK(count_mismatches(shown, 160, 120, 1, 160) == 0);
}

TEST_CASE("showing at 50 % halves the picture into a 320 x 240 client area")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(1, "half", 20, 20, 640, 480, 50) == 0);
  const HWND window = window_of(1);
  CHECK(window_text(window) == "half(50%)");
  CHECK(client_rect(window).right == 320);
  CHECK(client_rect(window).bottom == 240);
  const auto shown = worker_value([&] {
    fill_pattern(1);
    QEL_ShowImage(1);
    return read_window(window, 320, 240);
  });
  CHECK(shown[10 * 320 + 10] == red);
  CHECK(shown[1 * 320 + 318] == green);
  CHECK(count_mismatches(shown, 320, 240, 2, 640) == 0);
}

TEST_CASE("an 8-bit image shows through its palette; a paint message repaints it")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] { return QEL_CreateImage8(3, "p", 10, 10, 202, 120, 100); }) == 0);
  const HWND window = window_of(3);
  const auto shown = worker_value([&] {
    const std::uint32_t entries[3] = {0, red, blue};
    QEL_SetPalette(entries, 3);
    // Width 202 pads rows to 204 bytes: a stride mistake shears the halves.
    const SlotPixels& p = slot_pixels[3];
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.pixels8[y * p.stride + x] = x < 101 ? 1 : 2;
    QEL_ShowImage(3);
    return read_window(window, 202, 120);
  });
  int bad = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 202; ++x)
      bad += shown[y * 202 + x] != (x < 101 ? red : blue);
  CHECK(bad == 0);

  // Without QEL_ShowImage: the new pixels appear through WM_PAINT alone.
  const auto painted = worker_value([&] {
    const SlotPixels& p = slot_pixels[3];
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.pixels8[y * p.stride + x] = 2;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    return read_window(window, 202, 120);
  });
  CHECK(painted[5 * 202 + 5] == blue);
  CHECK(painted[119 * 202 + 201] == blue);
}

TEST_CASE("zoom changes resize the window around the new client area, corner fixed")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(2, "z", 25, 35, 640, 480, 100) == 0);
  const HWND window = window_of(2);
  const RECT outer = window_rect(window);
  const int frame_w = outer.right - outer.left - 640;
  const int frame_h = outer.bottom - outer.top - 480;

  REQUIRE(worker_value([] { return QEL_ZoomImage(2, 50); }) == 0);
  RECT now = window_rect(window);
  CHECK(now.left == 25);
  CHECK(now.top == 35);
  CHECK(client_rect(window).right == 320);
  CHECK(client_rect(window).bottom == 240);
  CHECK(now.right - now.left == 320 + frame_w);
  CHECK(now.bottom - now.top == 240 + frame_h);
  CHECK(window_text(window) == "z(50%)");

  // A zoom far too large settles where the client area still fits the screen.
  REQUIRE(worker_value([] { return QEL_ZoomImage(2, 1000); }) == 0);
  const int zoom = image_slots[2].zoom;
  CHECK(zoom > 100);
  CHECK(zoom < 1000);
  const RECT client = client_rect(window);
  CHECK(client.right == 640 * zoom / 100);
  CHECK(client.bottom == 480 * zoom / 100);
  CHECK(client.right <= GetSystemMetrics(SM_CXSCREEN));
  CHECK(client.bottom <= GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION));
  // One step more would not fit.
  const bool next_fits = 640 * (zoom + 1) / 100 <= GetSystemMetrics(SM_CXSCREEN) &&
                         480 * (zoom + 1) / 100 <=
                             GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION);
  CHECK_FALSE(next_fits);
  CHECK(window_text(window) == "z(" + std::to_string(zoom) + "%)");
  now = window_rect(window);
  CHECK(now.left == 25);
  CHECK(now.top == 35);
}

TEST_CASE("stretch mode: smooth marks the caption, unknown modes only refresh")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(4, "s", 10, 10, 400, 300, 50) == 0);
  const HWND window = window_of(4);
  CHECK(worker_value([] { return QEL_SetStretchMode(4, 4); }) == 0);
  CHECK(window_text(window) == "s(50%)*");
  const HDC dc = GetDC(window);
  CHECK(GetStretchBltMode(dc) == HALFTONE);
  ReleaseDC(window, dc);

  // Someone else's caption text is overwritten even though the mode stays.
  SetWindowTextW(window, L"changed");
  CHECK(worker_value([] { return QEL_SetStretchMode(4, 5); }) == 0);
  CHECK(QEL_GetStretchMode(4) == HALFTONE);
  CHECK(window_text(window) == "s(50%)*");

  CHECK(worker_value([] { return QEL_SetStretchMode(4, 3); }) == 0);
  CHECK(window_text(window) == "s(50%)");
  CHECK(worker_value([] { return QEL_SetStretchMode(256, 4); }) == 1);

  // Smooth halving still shows the solid areas in their colours.
  const auto shown = worker_value([&] {
    QEL_SetStretchMode(4, 4);
    fill_pattern(4);
    QEL_ShowImage(4);
    return read_window(window, 200, 150);
  });
  CHECK(shown[10 * 200 + 10] == red);
  CHECK(shown[100 * 200 + 150] == blue);
}

TEST_CASE("the paste request copies a bitmap clipped at the image and deletes it")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(create_on_worker(6, "paste", 10, 10, 200, 150, 100) == 0);
  on_worker([] {
    const SlotPixels& p = slot_pixels[6];
    for (int i = 0; i < p.width * p.height; ++i)
      p.pixels32[i] = green;
  });

  // Wider than the image and not as tall: red left part, blue right part.
  Dib source(300, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 300; ++x)
      source.pixels[y * 300 + x] = x < 150 ? red : blue;
  std::thread poster([&] { post_paste_image(source.bitmap); });
  poster.join();

  BITMAP gone;
  CHECK(GetObjectW(source.bitmap, sizeof gone, &gone) == 0);
  const SlotPixels& p = slot_pixels[6];
  int bad = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) {
      const std::uint32_t expected = y >= 100 ? green : x < 150 ? red : blue;
      bad += (p.pixels32[y * 200 + x] & 0xFFFFFF) != expected;
    }
  CHECK(bad == 0);

  // With the current image closed the bitmap is still released.
  CHECK(worker_value([] { return QEL_DestroyImage(6); }) == 0);
  Dib orphan(20, 20);
  std::thread second([&] { post_paste_image(orphan.bitmap); });
  second.join();
  CHECK(GetObjectW(orphan.bitmap, sizeof gone, &gone) == 0);
}
