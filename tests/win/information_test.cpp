// Inspection and transform commands through the real windows: posted menu
// commands, the point tools answered with clicks, and what comes out read
// from text window 0's log and the result windows' places, sizes and pixels.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "image/image_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "qel_test.h"
#include "shell/app_win.h"
#include "shell/ids.h"
#include "text/log_file.h"
#include "worker_jobs.h"

namespace {

constexpr std::uint32_t red = 0xFF0000, blue = 0x0000FF, grey = 0x808080;

// A command of the slot's window and the clicks its point tool asks for. A
// box tool says when it has its first point; every tool ends with the idle
// status, shown before the next command's prompts.
void command(int slot, unsigned id, std::initializer_list<POINT> points = {})
{
  post(slot_window(slot), WM_COMMAND, id);
  if (points.size() == 0)
    return;
  REQUIRE(wait_until([] { return tool_active.load() != 0; }));
  for (const POINT& p : points) {
    left_click(slot_window(slot), p.x, p.y);
    if (&p != std::end(points) - 1)
      REQUIRE(status_shows("Click the second point"));
  }
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  REQUIRE(status_shows((std::to_string(display_bits) + "-bit color").c_str()));
}

bool shows(int slot, int w, int h, std::uint32_t (*expected)(int x, int y), int x0 = 0, int y0 = 0)
{
  // Read on the worker: the window's one DC is shared with its paints.
  return wait_until([=] {
    return worker_value([=] { return mismatches(slot_window(slot), w, h, expected, x0, y0); }) == 0;
  });
}

} // namespace

TEST_CASE("Pixel prints in text window 0; Line(RGB) opens at the top-left in slot 2; Line(YCrCb) of grey is flat")
{
  RemovedLog log;
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] {
            QEL_OpenTextWindow(0, 700, 600, 400, 300);
            QEL_CreateImage(0, "src", 300, 300, 640, 40, 100);
            std::fill_n(slot_pixels[0].pixels32, 640 * 40, grey);
            slot_pixels[0].pixels32[640 + 1] = red;
            QEL_CreateImage8(1, "idx", 300, 450, 160, 40, 100);
            slot_pixels[1].pixels8[3 * 160 + 2] = 42;
            return start_log_command(0);
          }) == 0);
  log.name = log_file_name(0);
  command(0, img_cmd_pixel, {{1, 1}});
  command(1, img_cmd_pixel, {{2, 3}});
  CHECK(wait_until([&] {
    return file_text(log.name) == "(X,Y)=(1,1)\r\n(R,G,B)=(255,0,0)\r\n(H,S,V)=(0,255,255)\r\n"
                                  "(Y,Cr,Cb)=(76,128,-42)\r\n(Y,u,v)=(76,-36,157)\r\n(Y,I,Q)=(76,152,53)\r\n\r\n"
                                  "(X,Y)=(2,3)\r\n(Luminance)=(42)\r\n\r\n";
  }));

  command(0, img_cmd_line_rgb, {{5, 2}});
  REQUIRE(wait_until([] { return slot_in_use(2); }));
  CHECK(window_text(slot_window(2)) == "RGB(Y=2)(100%)");
  CHECK((window_rect(slot_window(2)).left == 0 && window_rect(slot_window(2)).top == 0));
  CHECK((client_rect(slot_window(2)).right == 652 && client_rect(slot_window(2)).bottom == 128));

  // Cr and Cb of grey are 0, plotted + 128: row 127 - 128 * 127 / 255.
  on_worker([] { QEL_DestroyImage(2); });
  command(0, img_cmd_line_ycrcb, {{5, 2}});
  CHECK(shows(2, 640, 1, [](int, int) { return 0x8888FFu; }, 20, 64));
}

TEST_CASE("Clipping: 8-bit keeps the palette, 1 x 1 gets the smallest window; a turn and a smooth shrink by menu")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  on_worker([] {
    QEL_CreateImage8(0, "idx", 300, 300, 200, 150, 100);
    const std::uint32_t palette[2] = {blue, red};
    QEL_SetPalette(palette, 2);
    std::fill_n(slot_pixels[0].pixels8 + 10 * 200, 200, 1);
  });
  command(0, img_cmd_clipping, {{190, 40}, {10, 8}});
  REQUIRE(wait_until([] { return slot_in_use(1); }));
  CHECK(window_text(slot_window(1)) == "(10,8)-(190,40)(100%)[8bit]");
  CHECK(shows(1, 181, 33, [](int, int y) { return y == 2 ? red : blue; }));

  command(0, img_cmd_clipping, {{5, 5}, {5, 5}});
  REQUIRE(wait_until([] { return slot_in_use(2); }));
  const SizeLimits limits = size_limits(worker_value(backend_metrics), 1);
  const int side = std::max(limits.min_width, limits.min_height);
  CHECK((client_rect(slot_window(2)).right == side && client_rect(slot_window(2)).bottom == side));

  // A red corner turns to the top right, and the window takes the new size.
  on_worker([] {
    QEL_CreateImage(3, "turn", 600, 300, 300, 150, 100);
    slot_pixels[3].pixels32[0] = red;
    QEL_CreateImage(4, "board", 1000, 300, 256, 128, 100);
    for (int i = 0; i < 256 * 128; ++i)
      slot_pixels[4].pixels32[i] = (i % 256 + i / 256) % 2 ? 0xFFFFFFu : 0;
  });
  command(3, img_cmd_rotate_right);
  CHECK(shows(3, 1, 1, [](int, int) { return red; }, 149, 0));
  CHECK((client_rect(slot_window(3)).right == 150 && client_rect(slot_window(3)).bottom == 300));

  // Smooth (Tab), then 50 %: a 1-pixel checkerboard becomes mid-grey.
  press_key(slot_window(4), VK_TAB);
  command(4, img_cmd_size_50);
  CHECK(wait_until([] {
    const auto read = worker_value([] { return window_pixels(slot_window(4), 128, 64); });
    return std::all_of(read.begin(), read.end(), [](std::uint32_t c) { return c == 0x7F7F7F || c == grey; });
  }));
}
