// Colour conversions: HSV with its tie-breaking row order, the fixed-point
// luminance/chroma spaces, and their inverses.
#include <doctest/doctest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "imgproc/colour.h"
#include "qellib.h"

namespace {

std::vector<int> hsv(std::uint32_t c)
{
  int h = 0, s = 0, v = 0;
  QEL_RGBToHSV(c, &h, &s, &v);
  return {h, s, v};
}

bool close(std::uint32_t a, std::uint32_t b, int tolerance)
{
  auto off = [&](int shift) { return std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > tolerance; };
  return !off(16) && !off(8) && !off(0);
}

} // namespace

TEST_CASE("colour conversions: RGB to HSV and back; luminance and chroma rounded toward zero, every coefficient")
{
  const std::pair<std::uint32_t, std::vector<int>> cases[] = {
    {0x000000, {0, 0, 0}},       {0x808080, {0, 0, 128}},     {0xFF0000, {0, 255, 255}},
    {0x00FF00, {120, 255, 255}}, {0x0000FF, {240, 255, 255}}, {0xAB00FF00, {120, 255, 255}}, // top byte is no colour
    // Ties resolve by the row order.
    {0xFFFF00, {60, 255, 255}},  {0x00FFFF, {180, 255, 255}}, {0xFF00FF, {300, 255, 255}},
    // One colour inside each sextant.
    {0xFF8000, {30, 255, 255}},  {0x80FF00, {89, 255, 255}},  {0x00FF80, {150, 255, 255}},
    {0x0080FF, {209, 255, 255}}, {0x8000FF, {270, 255, 255}}, {0xFF0080, {329, 255, 255}},
    // S is the spread, not divided by the maximum.
    {0x102030, {210, 32, 48}},   {0xC0C0C0, {0, 0, 192}},
  };
  for (const auto& [colour, expected] : cases) {
    CAPTURE(colour);
    const std::vector<int> r = hsv(colour);
    CHECK(r == expected);
    // Converting back reaches the colour within the truncation of the hue.
    CHECK(close(QEL_HSVToRGB(r[2], r[1], r[0]), colour, 5));
  }
  // The single-value readers ask for one output each and leave the others null.
  CHECK(std::vector{QEL_GetH(0x102030), QEL_GetS(0x102030), QEL_GetV(0x102030)} == std::vector{210, 32, 48});

  CHECK(QEL_HSVToRGB(200, 100, 30) == 0xC89664);  // min 100, green 100 + 100 * 30 / 60
  CHECK(QEL_HSVToRGB(100, 200, 0) == 0x640000);   // S above V: min is 0
  // Out-of-range inputs still give a colour, without overflow.
  CHECK((QEL_HSVToRGB(255, 255, 480) == 0x00FF00 && QEL_HSVToRGB(INT_MAX, INT_MIN, -1) == 0xFFFFFF));

  // Luminance and chroma: -32769 / 65536 is 0, where a shift gives -1; INT_MAX does not overflow adding the half.
  for (auto [sum, rounded] : {std::pair{-65537, 0}, {-98305, -1}, {32767, 0}, {32768, 1}, {INT_MAX, 32768}})
    CHECK(fixed_round(sum) == rounded);
  CHECK(colour_cr(0x000200) == 0);               // -54920: 0, not -1

  auto ycrcb = [](std::uint32_t c) { return std::vector{colour_y(c), colour_cr(c), colour_cb(c)}; };
  CHECK(ycrcb(0xFFFFFF) == std::vector{255, 0, 0});
  CHECK((colour_cr(0xFF0000) == 128 && colour_cb(0x0000FF) == 128 && colour_y(0xFF000000u) == 0));
  // One mixed colour through every formula: catches a swapped coefficient.
  const std::uint32_t c = 0x3C8AD2;
  CHECK(ycrcb(c) == std::vector{123, -44, 49});
  CHECK(std::vector{colour_u(c), colour_v(c), colour_i(c), colour_q(c)} == std::vector{43, -54, -69, 5});

  CHECK(ycrcb_to_rgb(0, 127, 0) == 0xB20000);   // green would be negative: clamped
  CHECK(ycrcb_to_rgb(128, -20, 30) == 0x6484B5);
  CHECK(yuv_to_rgb(100, -30, 40) == 0x925927);
  CHECK(yiq_to_rgb(100, 30, -20) == 0x736A1E);
  CHECK(yiq_to_rgb(INT_MAX, INT_MIN, INT_MAX) <= 0xFFFFFF);

  // Forward then back lands within a few steps of the colour in all three
  // spaces (the truncated chroma is amplified up to twice on the way back);
  // a wrong or swapped coefficient misses by tens.
  for (std::uint32_t r = 0; r < 256; r += 17)
    for (std::uint32_t g = 0; g < 256; g += 17)
      for (std::uint32_t b = 0; b < 256; b += 17) {
        const std::uint32_t rgb = r << 16 | g << 8 | b;
        CAPTURE(rgb);
        const int y = colour_y(rgb);
        CHECK(close(ycrcb_to_rgb(y, colour_cr(rgb), colour_cb(rgb)), rgb, 3));
        CHECK(close(yuv_to_rgb(y, colour_u(rgb), colour_v(rgb)), rgb, 4));
        CHECK(close(yiq_to_rgb(y, colour_i(rgb), colour_q(rgb)), rgb, 3));
      }
}
