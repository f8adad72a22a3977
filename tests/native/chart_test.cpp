// Chart drawing: the helpers the literal drawing shares with the direct one
// (to_int, PutSlantedTriple), the band schedule and blending on a worked
// example, the check pattern, the default chart, the guards against a
// missing image, and the direct-buffer drawing against the literal one on
// random scenes, which checks everything else the two do.
#include <doctest/doctest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "chart_reference.h"
#include "fresh_slots.h"
#include "lenticular/chart.h"
#include "lenticular/params.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Loose size limits, so that wide work images with few rows can be made.
int try_make_image(int slot, int w, int h, int bits = 32)
{
  return (bits == 8 ? QEL_CreateImage8FL : QEL_CreateImageFL)(slot, "t", 0, 0, w, h, 10);
}

// A 32-bit image filled with v, row ends included.
void make_image(int slot, int w, int h, std::uint32_t v = 0)
{
  REQUIRE(try_make_image(slot, w, h) == 0);
  std::fill_n(slot_pixels[slot].pixels32, slot_pixels[slot].stride * h, v);
}

// Pixel of a 32-bit slot, and all of them row by row.
std::uint32_t& at(int slot, int x, int y) { return slot_pixels[slot].pixels32[y * slot_pixels[slot].stride + x]; }

std::vector<std::uint32_t> words_of(int slot) { return pixels_of(slot_pixels[slot]); }

// Channel of subpixel q in row y of the chart.
int subpixel(int q, int y) { return static_cast<int>((at(chart_slot, q / 3, y) >> (16 - 8 * (q % 3))) & 255); }

} // namespace

TEST_CASE("worked examples: to_int, slanted triples, one band, the default chart and the check pattern")
{
  CHECK((to_int(-2.9) == -2 && to_int(2147483647.9) == INT_MAX));
  for (double out : {2147483648.0, -2147483649.0, 1e300, HUGE_VAL, -HUGE_VAL, not_a_number})
    CHECK(to_int(out) == INT_MIN);

  // PutSlantedTriple: one channel per row, one subpixel further right each row, nothing outside.
  reset_image_slots();
  make_image(4, 6, 6, 0xAB123456);
  PutSlantedTriple(3, 0xFFFFFF, 1);     // pixel 1: red, green, blue on rows 3, 4, 5
  PutSlantedTriple(5, 0x000000, 0);     // blue of pixel 1, then red and green of pixel 2
  PutSlantedTriple(-1, 0xFFFFFF, 0);
  PutSlantedTriple(0, 0xFFFFFF, INT_MAX / 2);
  PutSlantedTriple(INT_MAX, 0xFFFFFF, 0);
  // The other channels stay, the top byte goes.
  CHECK(std::vector{at(4, 1, 3), at(4, 1, 4), at(4, 1, 5), at(4, 1, 0), at(4, 2, 1), at(4, 2, 2)} ==
        std::vector<std::uint32_t>{0xFF3456, 0x12FF56, 0x1234FF, 0x123400, 0x003456, 0x120056});
  CHECK(std::ranges::count(words_of(4), 0xAB123456u) == 36 - 6);

  // DrawBand at pitch 8.5 with three views, on a chart wider than W: one row
  // group of band 0 with W = 640 on a chart 700 wide, as when slot 2 held a
  // larger image before the run. The band still ends where the period that
  // reaches W ends. The pictures are grey levels 0x40, 0x80 and 0xC0.
  reset_image_slots();
  ChartState s;
  s.pic_num = s.view_num = s.band_height = 3;
  make_image(work_slot, 3 * 1920, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3 * 1920; ++x)
      at(work_slot, x, y) = (x / 1920 + 1) * 0x404040u;
  make_image(chart_slot, 700, 3, 0x123456);
  // Each view's first column is blended with its left neighbour: f = 5/6,
  // 4/6, 3/6, 2/6, 1/6; 0x80 x 1/6 + 0x40 x 5/6 = 74.67, ...
  DrawBand(s, 0, 8.5);
  const int blended[] = {0x40, 74, 149, 128, 106, 181};
  for (int k = 0; k < 6; ++k)
    CHECK(subpixel(168 + k, 0) == blended[k]);

  // Without blending: views change at every column until the boundary falls
  // behind at column 261.
  s.blend_enabled = 0;
  DrawBand(s, 0, 8.5);
  auto view = [](int q) { return subpixel(q, 0) / 0x40 - 1; };
  int first_repeat = 0;
  for (int q = 169; q < 1920 && first_repeat == 0; ++q) {
    if (view(q) == view(q - 1))
      first_repeat = q;
    else
      CHECK(view(q) == (view(q - 1) + 1) % 3);
  }
  CHECK((view(168) == 0 && first_repeat == 261));
  // The label's pixels and row 0 after column 1919 are untouched.
  CHECK(std::count(&at(chart_slot, 0, 0), &at(chart_slot, 56, 0), 0x123456u) == 56);
  CHECK(std::count(&at(chart_slot, 640, 0), &at(chart_slot, 699, 0) + 1, 0x123456u) == 60);

  // The default chart: ten labelled bands of 48 rows.
  reset_image_slots();
  // A white source: every sample is 255, and at these pitches every blend
  // fraction is 0 or 0.5, so blended samples stay 255 too.
  make_image(source_slot, 200, 100, 0xFFFFFF);
  ChartState defaults;
  start_run(defaults, 200, 100);
  OpenWorkImage(defaults);
  make_image(chart_slot, 640, 480);
  DrawChart(defaults);

  // Expected, in image 5: the labels 4.000 to 13.000 as the bitmap font
  // draws them (band 4 yellow), and row 3j + t of band i lit from subpixel
  // 168 + 3j + i + t to the right edge.
  make_image(5, 640, 480);
  for (int i = 0; i < 10; ++i) {
    text_x = text_margin = 0;
    text_y = i * 48 + 20;
    qel_tc = i == 4 ? 0xFFFF00 : 0xFFFFFF;
    QEL_ImagePrintf("%.3f", 4.0 + i);
    for (int row = 0; row < 48; ++row)
      for (int q = 168 + row + i; q < 1920; ++q)
        at(5, q / 3, i * 48 + row) |= 0xFF0000u >> (8 * (q % 3));
  }
  CHECK(words_of(chart_slot) == words_of(5));

  // The check pattern over it: a frame and five lines from 10 % to 90 % that
  // start on row 48 at these subpixels and run 384 rows; the last ends at
  // subpixel 1727.
  DrawLensCheck(defaults);
  std::vector<std::uint32_t> expected(640 * 480, 0);
  for (int i = 0; i < 640 * 480; ++i)
    expected[i] = i < 640 || i >= 479 * 640 || i % 640 == 0 || i % 640 == 639 ? 0xFFFFFF : 0;
  for (int start : {192, 480, 768, 1056, 1344})
    for (int r = 0; r < 384; ++r)
      expected[(48 + r) * 640 + (start + r) / 3] |= 0xFF0000u >> (8 * ((start + r) % 3));
  CHECK(words_of(chart_slot) == expected);
}

TEST_CASE("a missing image never redirects the writes; the work image is made where the screen limits allow no zoom")
{
  reset_image_slots();
  make_image(source_slot, 64, 48, 0x336699);
  const auto source = bytes_of(source_slot);
  ChartState s;
  start_run(s, 64, 48);
  // No work image (its creation failed): the source stays, bands read black.
  ResampleSource(s, 0.01, 0.8);
  CHECK(bytes_of(source_slot) == source);
  make_image(chart_slot, 640, 480, 0x777777);
  DrawChart(s);
  CHECK(std::count(&at(chart_slot, 56, 100), &at(chart_slot, 640, 100), 0u) == 640 - 56);

  // No chart image, no turned image, the work image current.
  REQUIRE(QEL_DestroyImage(chart_slot) == 0);
  make_image(work_slot, work_image_width(s), s.band_height, 0x777777);
  const auto work = bytes_of(work_slot);
  DrawChart(s);
  DrawLensCheck(s);
  TurnChart(640, 480);
  CHECK((bytes_of(work_slot) == work && bytes_of(source_slot) == source));

  // A work image 3840 x 12 is never 8 rows high while at most 1920 wide.
  REQUIRE(QEL_DestroyImage(work_slot) == 0);
  s.band_height = 12;
  CHECK(QEL_CreateImage(7, "t", 0, 0, 3840, 12, 10) == 2);
  OpenWorkImage(s);
  CHECK((slot_in_use(work_slot) && at(work_slot, 3839, 11) == 0x336699u));
  s.band_height = 4;
  RefillWorkImage(s);
  CHECK((slot_in_use(work_slot) && image_slots[work_slot].height == 4 && at(work_slot, 3839, 3) == 0x336699u));
  CHECK(qel_current_image == work_slot);
}

namespace {

// A random run: images sometimes 8-bit or left over at another size,
// parameters across their whole range, noise in every buffer (top bytes and
// row padding included) so that anything read, written or kept that should
// not be shows.
struct Scene {
  ChartState state;
  std::array<std::array<int, 3>, 4> size{};   // width, height, bits of source, work, chart, turned
  unsigned seed = 0;
  int band_i = 0, band_origin = 0;             // one more band, alone over noise
  double band_p = 0;
};

Scene random_scene(std::mt19937& rng)
{
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  Scene sc;
  ChartState& s = sc.state;
  const bool big = pick(0, 19) == 0;
  s.chart_width = big ? pick(600, 1920) : pick(120, 400);
  s.chart_height = big ? pick(400, 1240) : pick(120, 300);
  const int steps[] = {pick(1, 3), pick(s.chart_height / 3, s.chart_height + 5), pick(1, 20)};
  s.step = steps[std::min(pick(0, 5), 2)];       // bands of up to H rows, and of 0 to 3 rows
  s.band_height = s.chart_height / s.step;
  s.pic_num = pick(1, 4);
  s.view_num = pick(0, 3) == 0 ? pick(5, 12) : pick(1, 4);
  // Below one subpixel, first boundary past column 168, whole, NaN, negative.
  const double pitches[] = {real(0, 1), real(170, 900), std::floor(real(1, 30)), not_a_number, -real(0, 20), real(1, 30)};
  s.pitch = pitches[std::min(pick(0, 7), 5)];
  const double steps_of_pitch[] = {0, -real(0, 3), std::pow(10.0, pick(-6, 1)), real(0, 3)};
  s.p_step = steps_of_pitch[std::min(pick(0, 5), 3)];
  s.highlight = pick(0, 4) == 0 ? pick(0, s.step) : (s.step - 1) / 2;
  recentre(s);
  s.blend_enabled = pick(0, 7) == 0 ? 0 : 1;

  // Braced lists draw their numbers in order, so the scenes stay reproducible.
  sc.size[0] = {pick(1, 900), pick(1, 400), pick(0, 3) == 0 ? 8 : 32};
  start_run(s, sc.size[0][0], sc.size[0][1]);
  const bool left_over_work = pick(0, 5) == 0;
  const bool left_over_chart = pick(0, 5) == 0;
  const int wide = work_image_width(s);
  sc.size[1] = {left_over_work ? pick(1, wide + 50) : wide,
                left_over_work ? pick(1, 80) : std::max(s.band_height, 1),
                left_over_work && pick(0, 1) ? 8 : 32};
  sc.size[2] = {left_over_chart ? pick(1, s.chart_width + 40) : s.chart_width,
                left_over_chart ? pick(1, s.chart_height + 40) : s.chart_height,
                left_over_chart && pick(0, 1) ? 8 : 32};
  sc.size[3] = {sc.size[2][1], sc.size[2][0], sc.size[2][2]};
  sc.seed = static_cast<unsigned>(rng());
  sc.band_i = pick(0, 30);
  sc.band_origin = pick(0, sc.size[2][1] / 3);
  sc.band_p = real(0.5, 40);
  return sc;
}

void noise(int slot, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uint8_t* bytes = slot_pixels[slot].pixels8;   // whole words: 8-bit strides are multiples of 4
  for (std::size_t i = 0, size = bytes_of(slot).size(); i < size; i += 4) {
    const std::uint32_t word = rng();
    std::memcpy(bytes + i, &word, 4);
  }
}

// Resample, draw, turn, then one band over noise: the bytes of the work,
// chart and turned images, the image left current, and the chart after the
// band. Empty when an image has no zoom that fits the limits (a very wide
// work image with one row).
template <typename Resample, typename Draw, typename Turn, typename Band>
std::vector<std::vector<std::uint8_t>> run(const Scene& sc, Resample resample, Draw draw, Turn turn, Band band)
{
  reset_image_slots();
  for (int slot : {source_slot, work_slot, chart_slot, turned_slot}) {
    if (try_make_image(slot, sc.size[slot][0], sc.size[slot][1], sc.size[slot][2]) != 0)
      return {};
    noise(slot, sc.seed + slot);
  }
  QEL_SelectImage(source_slot);
  ChartState s = sc.state;
  double sx = 0, sy = 0;
  resample_scales(s, &sx, &sy);
  resample(s, sx, sy);
  draw(s);
  const auto current = static_cast<std::uint8_t>(qel_current_image);
  turn(s.chart_width, s.chart_height);
  std::vector out{bytes_of(work_slot), bytes_of(chart_slot), bytes_of(turned_slot), std::vector{current}};
  noise(chart_slot, sc.seed + 9);
  s.band_origin = sc.band_origin;
  QEL_SelectImage(chart_slot);
  band(s, sc.band_i, sc.band_p);
  out.push_back(bytes_of(chart_slot));
  return out;
}

} // namespace

TEST_CASE("direct drawing gives the same bytes as the literal drawing")
{
  std::mt19937 rng(20240611);
  int compared = 0;
  for (int n = 0; n < 160; ++n) {
    const Scene sc = random_scene(rng);
    CAPTURE(n);   // the scenes are reproducible from the seed
    const auto fast = run(sc, ResampleSource, DrawChart, TurnChart, DrawBand);
    if (fast.empty())
      continue;
    const auto slow = run(sc, reference::ResampleSource, reference::DrawChart, reference::TurnChart,
                          reference::DrawBand);
    ++compared;
    const char* names[] = {"work", "chart", "turned", "current image", "band"};
    for (int k = 0; k < 5; ++k)
      CHECK_MESSAGE(fast[k] == slow[k], names[k]);
  }
  CHECK(compared > 140);
}
