// Inspection commands on headless images, their clicks played by the tool
// pump: what the real windows cannot show, a box past the image's edge and
// the commands that end without a result.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <utility>

#include "fresh_slots.h"
#include "image/information.h"
#include "imgproc/point_tools.h"
#include "imgproc/point_tools_headless.h"

namespace {

// The clicks that the next tool on `slot` gets; with none left it is cancelled.
void clicks(int slot, std::deque<std::pair<int, int>> points)
{
  headless_tool_platform().pump = [slot, points]() mutable {
    if (points.empty())
      return void(tool_cancel_press(slot));
    tool_left_press(slot, points.front().first, points.front().second, image_slots[slot].zoom, false);
    points.pop_front();
  };
}

struct Fresh : FreshSlots {
  Fresh() { reset_run_control(); }
  ~Fresh() { headless_tool_platform() = HeadlessToolPlatform{}; }
};

} // namespace

TEST_CASE_FIXTURE(Fresh, "a box past the edge reads black there; cancelled, all slots taken, other depth: no result")
{
  REQUIRE(QEL_CreateImageFL(0, "src", 300, 200, 30, 4, 100) == 0);
  std::fill_n(slot_pixels[0].pixels32, 30 * 3, 0xFF0000u);   // rows 0-2 red, row 3 black
  clicks(0, {{20, 3}, {40, 40}});
  REQUIRE(run_inspection(0, Inspection::area_crcb) == 0);
  CHECK(image_slots[1].title == "CrCb(20,3)-(40,40)");
  // Every pixel black: one point, at the origin.
  const std::uint32_t* plane = slot_pixels[1].pixels32;
  CHECK(std::count(plane, plane + 256 * 256, 0xFFFFFFu) == 1);
  CHECK(plane[128 * 256 + 128] == 0xFFFFFFu);

  for (int slot = 1; slot < slot_count; ++slot)
    QEL_CreateImageFL(slot, "s", 0, 0, 4, 4, 100);
  clicks(0, {});
  CHECK(run_inspection(0, Inspection::line_hsv) == 2);
  clicks(0, {{1, 1}});
  CHECK(run_inspection(0, Inspection::line_hsv) == 4);   // the row buffer is freed (ASan)
  clicks(0, {{0, 0}, {3, 3}});
  CHECK(run_inspection(0, Inspection::clipping) == 4);
  CHECK(run_inspection(0, Inspection::line_luminance) == 1);
  CHECK(run_inspection(256, Inspection::pixel) == 1);
}
