// Inspection commands on headless images, their clicks played by the tool
// pump: what the real windows cannot show, a box past the image's edge and
// the commands that end without a result.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>

#include "image/information.h"
#include "tool_script.h"

TEST_CASE_FIXTURE(Script, "a box past the edge reads black there; cancelled, all slots taken, other depth: no result")
{
  REQUIRE(QEL_CreateImageFL(0, "src", 300, 200, 30, 4, 100) == 0);
  std::fill_n(slot_pixels[0].pixels32, 30 * 3, 0xFF0000u);   // rows 0-2 red, row 3 black
  *this << click(0, 20, 3) << click(0, 40, 40);
  REQUIRE(run_inspection(0, Inspection::area_crcb) == 0);
  CHECK(image_slots[1].title == "CrCb(20,3)-(40,40)");
  // Every pixel black: one point, at the origin.
  const std::uint32_t* plane = slot_pixels[1].pixels32;
  CHECK(std::count(plane, plane + 256 * 256, 0xFFFFFFu) == 1);
  CHECK(plane[128 * 256 + 128] == 0xFFFFFFu);

  for (int slot = 1; slot < slot_count; ++slot)
    QEL_CreateImageFL(slot, "s", 0, 0, 4, 4, 100);
  *this << cancel(0);
  CHECK(run_inspection(0, Inspection::line_hsv) == 2);
  *this << click(0, 1, 1);
  CHECK(run_inspection(0, Inspection::line_hsv) == 4);   // the row buffer is freed (ASan)
  *this << click(0, 0, 0) << click(0, 3, 3);
  CHECK(run_inspection(0, Inspection::clipping) == 4);
  CHECK(run_inspection(0, Inspection::line_luminance) == 1);
  CHECK(run_inspection(256, Inspection::pixel) == 1);
}
