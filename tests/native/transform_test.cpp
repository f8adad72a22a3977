// Whole-image transforms: quarter turns and flips against the position rules
// on odd sizes that cross the rotation tiles, invert, the size rule and the
// size commands on slots, both resamplers, and the test patterns.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "fresh_slots.h"
#include "image/slot_backend.h"
#include "imgproc/colour.h"
#include "imgproc/image_transforms.h"
#include "imgproc/transform.h"

namespace {

std::uint32_t& at(const SlotPixels& v, int x, int y) { return v.pixels32[y * v.stride + x]; }

// A w x h buffer holding value(x, y), whose low byte on 8-bit.
template <typename Value>
PixelBuffer filled(int w, int h, int bits, Value value)
{
  PixelBuffer b;
  REQUIRE(allocate_pixels(w, h, bits, &b));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = value(x, y);
      if (bits == 8)
        b.view.pixels8[y * b.view.stride + x] = static_cast<std::uint8_t>(v);
      else
        at(b.view, x, y) = v;
    }
  return b;
}

// Distinct values everywhere (the top byte too on 32-bit), so any misplaced
// pixel shows.
PixelBuffer numbered(int w, int h, int bits)
{
  return filled(w, h, bits, [bits](int x, int y) {
    const std::uint32_t v = static_cast<std::uint32_t>(y * 7919 + x * 104729) * 2654435761u;
    return bits == 8 ? v >> 24 : v;
  });
}

// The source resampled to w x h, smooth or nearest.
std::vector<std::uint32_t> resampled(const SlotPixels& source, int w, int h, bool smooth = true)
{
  PixelBuffer out;
  REQUIRE(allocate_pixels(w, h, source.bits, &out));
  REQUIRE((smooth ? resample_smooth : resample_nearest)(source, out.view));
  return pixels_of(out.view);
}

} // namespace

TEST_CASE("quarter turns and flips follow the position rules at both depths; rotate and invert commands on a slot")
{
  // 70 x 37 crosses the 32-pixel tiles with remainders; 8-bit width 37 pads.
  for (const auto& [w, h, bits] : {std::tuple{70, 37, 32}, std::tuple{37, 70, 8}, std::tuple{3, 2, 8}}) {
    INFO(w, " x ", h, ", ", bits, " bits");
    const PixelBuffer source = numbered(w, h, bits);
    PixelBuffer right, left;
    REQUIRE((allocate_pixels(h, w, bits, &right) && allocate_pixels(h, w, bits, &left)));
    REQUIRE((rotate_clockwise(source.view, right.view) && rotate_counter_clockwise(source.view, left.view)));
    PixelBuffer mirrored_x = numbered(w, h, bits), mirrored_y = numbered(w, h, bits);
    flip_horizontal(mirrored_x.view);
    flip_vertical(mirrored_y.view);
    bool all = true;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        all &= get(right.view, h - 1 - y, x) == get(source.view, x, y);
        all &= get(left.view, y, w - 1 - x) == get(source.view, x, y);
        all &= get(mirrored_x.view, w - 1 - x, y) == get(source.view, x, y);
        all &= get(mirrored_y.view, x, h - 1 - y) == get(source.view, x, y);
      }
    CHECK(all);
    CHECK_FALSE(rotate_clockwise(source.view, source.view));   // wrong size
  }
  // A turn into its own source would read pixels it already replaced.
  const PixelBuffer square = numbered(4, 4, 32);
  CHECK((!rotate_clockwise(square.view, square.view) && !resample_smooth(square.view, square.view)));

  // The commands on a slot: the 3 x 2 example turned right, then left back.
  FreshSlots fresh;
  REQUIRE(QEL_CreateImageFL(3, "t", 0, 0, 3, 2, 100) == 0);
  const SlotPixels& p = slot_pixels[3];
  REQUIRE(copy_pixels(filled(3, 2, 32, [](int x, int y) { return 10u * x + y; }).view, p));   // old (x, y) -> xy
  const std::vector<std::uint32_t> before = pixels_of(p);

  REQUIRE(run_image_transform(3, ImageTransform::rotate_right) == 0);
  CHECK((p.width == 2 && pixels_of(p) == std::vector<std::uint32_t>{1, 0, 11, 10, 21, 20}));
  REQUIRE(run_image_transform(3, ImageTransform::rotate_left) == 0);
  CHECK((pixels_of(p) == before && headless_window(3).invalidations > 0));

  // The re-created slot could not get a buffer: the slot is left free and
  // nothing is written anywhere (the sanitizers watch the old buffer).
  headless_fail_buffers(true);
  CHECK((run_image_transform(3, ImageTransform::rotate_right) == 3 && !slot_in_use(3)));
  CHECK(run_image_transform(3, ImageTransform::invert) == 1);
  headless_fail_buffers(false);

  // Invert twice restores; on 8-bit it changes indices, not the palette.
  REQUIRE(QEL_CreateImage8FL(0, "t", 0, 0, 7, 5, 100) == 0);
  const SlotPixels& p8 = slot_pixels[0];
  p8.pixels8[0] = 3;
  p8.pixels8[p8.stride + 6] = 200;
  const std::vector<std::uint32_t> before_palette = palette();
  REQUIRE(run_image_transform(0, ImageTransform::invert) == 0);
  CHECK((p8.pixels8[0] == 252 && p8.pixels8[p8.stride + 6] == 55 && palette() == before_palette));
  CHECK(p8.pixels8[p8.stride + 7] == 0);   // padding untouched

  const PixelBuffer image = numbered(9, 4, 32);
  const std::vector<std::uint32_t> words = pixels_of(image.view);
  invert_pixels(image.view);
  CHECK(get(image.view, 1, 1) == (words[10] ^ 0xFFFFFFu));   // top byte kept
  invert_pixels(image.view);
  CHECK(pixels_of(image.view) == words);
}

TEST_CASE("sizes round to nearest; smooth resampling averages or interpolates; the slot's stretch mode picks it")
{
  CHECK(std::vector{scaled_size(3, 500), scaled_size(1, 500), scaled_size(1 << 30, 2000)} ==
        std::vector{2, 1, INT32_MAX});   // the last without a wrap
  // Sizes whose bytes wrap in 32 bits (65536 x 65536 x 4 is 0) are refused
  // before anything is allocated.
  PixelBuffer huge;
  CHECK((!allocate_pixels(65536, 65536, 32, &huge) && !allocate_pixels(46341, 46341, 8, &huge)));
  CHECK_FALSE(allocate_pixels(0, 5, 32, &huge));

  // 3 -> 2 weighs by area: (2 x 0 + 90) / 3 and (90 + 2 x 180) / 3; 2 -> 4
  // interpolates between pixel centres and repeats the edges.
  const PixelBuffer three = filled(3, 1, 32, [](int x, int) { return 90u * x; });
  const PixelBuffer two = filled(2, 1, 32, [](int x, int) { return 255u * x; });
  CHECK(resampled(three.view, 2, 1) == std::vector<std::uint32_t>{30, 150});
  CHECK(resampled(two.view, 4, 1) == std::vector<std::uint32_t>{0, 64, 191, 255});

  // A flat colour stays exact at every factor: the weights sum to one.
  const PixelBuffer flat = filled(13, 7, 32, [](int, int) { return 0xFF8001u; });
  for (const int per_mille : {500, 707, 1414, 2000}) {
    const int w = scaled_size(13, per_mille), h = scaled_size(7, per_mille);
    CHECK(resampled(flat.view, w, h) == std::vector<std::uint32_t>(w * h, 0xFF8001u));
  }

  // 8-bit indices are picked, never averaged: smooth equals nearest.
  const PixelBuffer indices = numbered(7, 5, 8);
  CHECK(resampled(indices.view, 5, 4) == resampled(indices.view, 5, 4, false));

  FreshSlots fresh;
  REQUIRE(QEL_CreateImageFL(0, "t", 0, 0, 100, 50, 100) == 0);
  REQUIRE(run_image_transform(0, ImageTransform::size_70_7) == 0);
  CHECK((slot_pixels[0].width == 71 && slot_pixels[0].height == 35));

  // A 1-pixel checkerboard at 50 %: mid-grey when smooth, black or white when plain.
  const PixelBuffer board = filled(8, 6, 32, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0; });
  for (const int mode : {stretch_smooth, stretch_plain}) {
    REQUIRE(QEL_ResizeImage(0, 8, 6) == 0);
    REQUIRE(copy_pixels(board.view, slot_pixels[0]));
    QEL_SetStretchMode(0, mode);
    REQUIRE(run_image_transform(0, ImageTransform::size_50) == 0);
    for (const std::uint32_t c : pixels_of(slot_pixels[0]))
      CHECK((mode == stretch_smooth ? c == 0x7F7F7Fu || c == 0x808080u : c == 0 || c == 0xFFFFFFu));
  }
}

TEST_CASE("test patterns: fixed points, 8-bit low bytes, the 1-pixel-high HSV")
{
  PixelBuffer square;
  REQUIRE(allocate_pixels(256, 256, 32, &square));
  draw_test_pattern(square.view, TestPattern::rgb);
  CHECK((at(square.view, 0, 0) == 0x0000FFu && at(square.view, 255, 255) == 0xFEFE01u));
  // Black at the centre; at the top centre a = 0, b = -127, Y = 283, and the
  // first chroma value (Cr, v, I) is +127.
  const std::tuple<TestPattern, std::uint32_t> top_centre[] = {
      {TestPattern::ycrcb, ycrcb_to_rgb(283, 127, 0)},
      {TestPattern::yuv, yuv_to_rgb(283, 0, 127)},
      {TestPattern::yiq, yiq_to_rgb(283, 127, 0)}};
  for (const auto& [chroma, expected] : top_centre) {
    draw_test_pattern(square.view, chroma);
    CHECK((at(square.view, 128, 128) == 0 && at(square.view, 128, 0) == expected));
  }
  draw_test_pattern(square.view, TestPattern::grey);
  CHECK((at(square.view, 128, 127) == 0x7F7F7Fu && at(square.view, 128, 128) == 0x808080u));

  // 8-bit images hold the low byte of the colour, at the padded stride;
  // every pixel is written.
  for (const TestPattern pattern : {TestPattern::rgb, TestPattern::hsv, TestPattern::yiq, TestPattern::grey}) {
    const PixelBuffer colour = numbered(7, 5, 32), index = numbered(7, 5, 8);
    draw_test_pattern(colour.view, pattern);
    draw_test_pattern(index.view, pattern);
    std::vector<std::uint32_t> low = pixels_of(colour.view);
    for (std::uint32_t& c : low)
      c &= 255;
    CHECK(pixels_of(index.view) == low);
  }

  const PixelBuffer line = numbered(9, 1, 32);
  const std::vector<std::uint32_t> before = pixels_of(line.view);
  draw_test_pattern(line.view, TestPattern::hsv);
  CHECK(pixels_of(line.view) == before);

  FreshSlots fresh;
  REQUIRE(QEL_CreateImage8FL(0, "t", 0, 0, 5, 4, 100) == 0);
  const std::uint32_t red[1] = {0xFF0000};
  QEL_SetPalette(red, 1);
  CHECK((run_test_pattern(0, TestPattern::grey) == 0 && palette() == grey_ramp()));
  CHECK(run_test_pattern(1, TestPattern::rgb) == 1);
}
