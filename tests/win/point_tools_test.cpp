// The point tools through the real image windows, driven by the mouse
// messages a user causes: their results and prompts once (the arithmetic is
// the native tests'), then what only the windows show: the rubber band on
// screen and gone to the pixel whatever ends the tool, at zoom 100 and 200;
// clicks on another window; drops refused while a tool waits.
#include <doctest/doctest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/image_win.h"
#include "image/slots.h"
#include "image_files.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

constexpr int A = 1, B = 2;
constexpr int width = 144, height = 48;

// Noise, shown: a stray inverted pixel cannot hide in it.
void make_image(int slot, int zoom, int left)
{
  REQUIRE(worker_value([=] {
            const int result = QEL_CreateImage(slot, "t", left, 40, width, height, zoom);
            std::mt19937 rng(slot);
            for (int i = 0; i < width * height; ++i)
              slot_pixels[slot].pixels32[i] = rng() & 0xFFFFFF;
            QEL_ShowImage(slot);
            return result;
          }) == 0);
}

std::vector<std::uint32_t> pixels_of(int slot)
{
  return worker_value([=] {
    const std::uint32_t* p = slot_pixels[slot].pixels32;
    return std::vector<std::uint32_t>(p, p + width * height);
  });
}

bool inverted(int x, int y, const std::vector<std::uint32_t>& before)
{
  return pixels_of(A)[y * width + x] == (before[y * width + x] ^ 0xFFFFFF);
}

// The window shows the image as its buffer holds it now, each pixel a square
// of zoom / 100 (plain stretching). Read on the worker, which paints it.
bool window_shows_image(int slot)
{
  const int scale = image_slots[slot].zoom / 100;
  return wait_until([&] {
    const std::vector<std::uint32_t> image = pixels_of(slot);
    const std::vector<std::uint32_t> shown = worker_value(
        [&] { return window_pixels(slot_window(slot), width * scale, height * scale); });
    for (int y = 0; y < height * scale; ++y)
      for (int x = 0; x < width * scale; ++x)
        if (shown[y * width * scale + x] != (image[y / scale * width + x / scale] & 0xFFFFFF))
          return false;
    return true;
  });
}

// The tool listens, and its first prompt is on the status line: the status
// texts of the tools before it have been shown, so the next one read is new.
void ready(const WaitingCall& tool, const char* prompt = "Click the first point")
{
  REQUIRE(tool.waiting());
  REQUIRE(status_shows(prompt));
}

bool accepts_drops(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES; }

} // namespace

TEST_CASE("tools in the real windows: results, prompts, other windows, drops; the slot stays current")
{
  const std::wstring picture = fresh_test_folder(L"point_tools") + L"\\red.png";
  REQUIRE(magick_write({1, 1, {0xFF0000}}, {}, picture));
  JobsFramework framework;
  REQUIRE(framework.started);
  make_image(A, 100, 20);
  make_image(B, 100, 400);
  const HWND a = slot_window(A), b = slot_window(B);
  const std::vector<std::uint32_t> before = pixels_of(A);
  int v[4] = {-1, -1, -1, -1};

  WaitingCall cancelled([&] { return QEL_ClickPoint(A, v, v + 1); });
  ready(cancelled, "Click a point");
  right_click(a, 5, 5);
  CHECK(cancelled.finish() == 1);
  CHECK(pixels_of(A) == before);
  CHECK(worker_value([] { return qel_current_image; }) == A);

  // B's clicks reach neither the tool nor a menu; a drop on A is released
  // unread, and the main window takes none until the tool ends.
  WaitingCall other([&] { return QEL_ClickPoint(A, v, v + 1); });
  ready(other, "Click a point");
  CHECK(wait_until([] { return !accepts_drops(main_window); }));
  const HDROP drop = make_drop({picture});
  post(a, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  right_click(b, 5, 5);
  left_click(b, 7, 8);
  left_click(a, 30, 20);
  CHECK(other.finish() == 0);
  CHECK((v[0] == 30 && v[1] == 20));
  CHECK_FALSE(context_menu_open());
  CHECK(GlobalSize(drop) == 0);
  CHECK(pixels_of(A) == before);
  CHECK(wait_until([] { return accepts_drops(main_window); }));

  WaitingCall box([&] { return QEL_ClickBox(A, v, v + 1, v + 2, v + 3); });
  ready(box);
  left_click(a, 10, 20);
  REQUIRE(status_shows("Click the second point"));
  left_click(a, 5, 30);
  CHECK(box.finish() == 0);
  CHECK(std::vector<int>(v, v + 4) == std::vector<int>{5, 20, 10, 30});

  WaitingCall line([&] { return QEL_ClickLine(A, v, v + 1, v + 2, v + 3); });
  ready(line);
  left_click(a, 3, 4);
  REQUIRE(status_shows("Click the second point"));
  mouse_move(a, 40, 9);
  CHECK(wait_until([&] { return inverted(40, 9, before); }));
  right_click(a, 40, 9);
  CHECK(status_shows("Click the first point"));
  CHECK(wait_until([&] { return pixels_of(A) == before; }));
  right_click(a, 40, 9);
  CHECK(line.finish() == 1);

  for (const auto& [dx, dy, radius] : {std::array{3, 4, 5}, std::array{1, 1, 1}}) {
    WaitingCall circle([&] { return QEL_ClickCircle(A, v, v + 1, v + 2); });
    ready(circle);
    left_click(a, 20, 20);
    REQUIRE(status_shows("Click the second point"));
    left_click(a, 20 + dx, 20 + dy);
    CHECK(circle.finish() == 0);
    CHECK(v[2] == radius);
  }

  // Diagonals from 9 x 9 on: (17, 17) lies on one, inside an 8 x 8 border
  // from (16, 16) too.
  for (const int size : {9, 8}) {
    WaitingCall place([&] { return QEL_ClickPlace(A, size, size, v, v + 1); });
    ready(place, "Click a point");
    mouse_move(a, 20, 20);
    CHECK(wait_until([&] { return inverted(16, 16, before) && inverted(15 + size, 15 + size, before); }));
    CHECK(inverted(17, 17, before) == (size == 9));
    right_click(a, 20, 20);
    CHECK(place.finish() == 1);
  }
  CHECK(pixels_of(A) == before);
}

TEST_CASE("a click, a cancel, Stop and Exit leave image and window as before, the band shown meanwhile")
{
  for (const int zoom : {100, 200}) {
    CAPTURE(zoom);
    JobsFramework framework;
    REQUIRE(framework.started);
    make_image(A, zoom, 20);
    const HWND a = slot_window(A);
    const std::vector<std::uint32_t> before = pixels_of(A);
    auto at = [zoom](int image_pixel) { return image_pixel * zoom / 100; };
    int v[4];
    struct Ending {
      bool two_points;
      std::function<int()> tool;
      std::function<void()> end;
      int result;
    };
    const Ending endings[] = {
        {true, [&] { return QEL_ClickCircle(A, v, v + 1, v + 2); },
         [&] { left_click(a, at(95), at(30)); }, 0},
        {true, [&] { return QEL_ClickLine(A, v, v + 1, v + 2, v + 3); },
         [&] {
           right_click(a, 0, 0);
           REQUIRE(status_shows("Click the first point"));
           right_click(a, 0, 0);
         }, 1},
        {false, [&] { return QEL_ClickPlace(A, 41, 21, v, v + 1); },
         [] { post(main_window, WM_COMMAND, cmd_stop); }, 0},
        {true, [&] { return QEL_ClickBox(A, v, v + 1, v + 2, v + 3); },
         [] { post(main_window, WM_COMMAND, cmd_exit); }, 0},
    };
    for (const Ending& ending : endings) {
      WaitingCall tool(ending.tool);
      ready(tool, ending.two_points ? "Click the first point" : "Click a point");
      if (ending.two_points) {
        left_click(a, at(70), at(24));
        REQUIRE(status_shows("Click the second point"));
      }
      mouse_move(a, at(139), at(45));
      CHECK(wait_until([&] { return pixels_of(A) != before; }));
      CHECK(window_shows_image(A));
      ending.end();
      CHECK(tool.finish() == ending.result);
      if (exit_state.load() != 0)
        break;
      CHECK(pixels_of(A) == before);
      CHECK(window_shows_image(A));
    }
    // After Exit the worker is gone; its image buffer is read as it was left.
    REQUIRE(wait_until([] { return exit_state.load() == 2; }));
    const std::uint32_t* left = slot_pixels[A].pixels32;
    CHECK(std::vector<std::uint32_t>(left, left + width * height) == before);
  }
}
