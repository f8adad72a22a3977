// Profiles and chroma plots on headless images: which channel each flag
// selects and where its points land, points versus lines, and the chroma
// plane's axes, labels, colours and separate paths.
#include <doctest/doctest.h>

#include <tuple>
#include <vector>

#include "fresh_slots.h"
#include "imgproc/plots.h"

TEST_CASE("profiles: full scale on row 0, zero on row 127, nothing without a mode, a channel a flag; the chroma plane")
{
  canvas(40, 128);
  const std::vector<std::uint32_t> white(20, 0xFFFFFF), black(20, 0);
  PlotProfile(white.data(), 12, 20, 0x81, 0xFF0000);
  PlotProfile(black.data(), 12, 20, 0x82, 0x00FF00);
  PlotProfile(white.data(), 0, 20, 0x1, 0x0000FF);    // no mode
  PlotProfile(white.data(), 0, 20, 0xC0, 0x0000FF);   // no channel
  PointSet top, bottom;
  for (int x = 12; x < 32; ++x)
    top.insert({x, 0}), bottom.insert({x, 127});
  CHECK(where(0xFF0000) == top);
  CHECK(where(0x00FF00) == bottom);
  CHECK(where(0x0000FF).empty());

  // Cyan: R 0, G 255, B 255, H 180, S 255, V 255, Y 179, Cr -127, Cb 43.
  // Magenta's hue 300 tells a full scale of 359 from one of 360.
  // colour, flags, row of the point
  const std::tuple<std::uint32_t, int, int> cases[] = {
      {0x00FFFF, 0x1, 127},  {0x00FFFF, 0x2, 0},     {0x00FFFF, 0x4, 0},   {0x00FFFF, 0x8, 64},
      {0x00FFFF, 0x10, 0},   {0x00FFFF, 0x20, 0},    {0x00FFFF, 0x100, 38}, {0x00FFFF, 0x200, 127},
      {0x00FFFF, 0x400, 42}, {0x00FFFF, 0x3, 127},   {0x00FFFF, 0x102, 0}, {0x00FFFF, 0x1008, 64},
      {0xFF00FF, 0x8, 21}};
  for (const auto& [colour, flags, row] : cases) {
    canvas(4, 128);
    PlotProfile(&colour, 1, 1, flags | 0x40, 0xFFFFFF);
    CHECK_MESSAGE((where(0xFFFFFF) == PointSet{{1, row}}), "flags ", flags);
  }
  canvas(4, 128);
  const std::uint8_t bytes[] = {0, 255, 128};
  PlotProfile(bytes, 0, 3, 0x1040, 0xFFFFFF);
  CHECK(where(0xFFFFFF) == PointSet{{1, 0}, {2, 64}, {0, 127}});

  // The chroma plane: axes, labels, alternating path colours, separate rows.
  canvas(256, 256);
  // Grey sits at (128, 128), red at (86, 0), blue at (256, 148) just off the right.
  const std::uint32_t path[] = {0x808080, 0xFF0000, 0x0000FF};
  PlotCrCbLine(path, 3);
  CHECK((QEL_GetPixel(0, 128) == 0x808080 && QEL_GetPixel(128, 255) == 0x808080));
  CHECK(where(0xFF00FF).size() == 128);   // (128,128)-(86,0) without its end
  CHECK(where(0xFFFFFF).size() == 170);   // (86,0)-(256,148) without x 256
  int red_label = 0;
  for (auto [x, y] : where(0xFF8888))
    red_label += x >= 110 && x < 126 && y >= 2 && y < 16;
  CHECK(red_label > 10);
  CHECK(where(0x8888FF).size() > 10);
  // "Cb" at 238 fills the last cell that fits, so the cursor wraps.
  CHECK((text_x == 238 && text_margin == 238 && text_y == 160 && qel_tc == 0x8888FF));

  // Yellow sits at (1, 107); joining the rows would add (128,128)-(1,107).
  canvas(256, 256);
  const std::uint32_t block[] = {0xFF0000, 0x808080, 0xFFFF00, 0xFF0000};
  PlotCrCbArea(2, block, 2);
  CHECK(where(0xFFFFFF).size() == 129 + 108 - 1);
}
