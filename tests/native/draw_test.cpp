// Lines, boxes, circles and the flood fill on headless images: pixel sets
// against a plain reference of the line rule, XOR figures that must restore
// the image, far-off coordinates, and the fill against a breadth-first fill.
#include <doctest/doctest.h>

#include <climits>
#include <deque>
#include <random>
#include <vector>

#include "fresh_slots.h"
#include "imgproc/draw.h"
#include "imgproc/pixels.h"

namespace {

PointSet not_black() { return where(0, true); }

// The line rule step by step along the longer axis, unclipped, kept to the
// pixels inside w x h.
PointSet reference_line(int x1, int y1, int x2, int y2, int w, int h)
{
  if (x1 > x2 || (x1 == x2 && y1 > y2))
    std::swap(x1, x2), std::swap(y1, y2);
  const int dx = x2 - x1, dy = std::abs(y2 - y1), step = y2 >= y1 ? 1 : -1;
  const bool flat = dx >= dy;
  const int major = flat ? dx : dy, minor = flat ? dy : dx;
  PointSet s;
  for (int n = 0, e = (major + 1) / 2, x = x1, y = y1;; ++n) {
    if (x >= 0 && y >= 0 && x < w && y < h)
      s.insert({x, y});
    if (n == major)
      return s;
    const bool side = (e -= minor) <= 0;
    e += side ? major : 0;
    x += flat || side;
    y += !flat || side ? step : 0;
  }
}

} // namespace

TEST_CASE("lines: every pixel of the stepping rule once, clipped, both depths, from far beyond the image")
{
  canvas(12, 8);
  QEL_Line(0xFFFFFF, 0, 0, 4, 2);
  CHECK(not_black() == PointSet{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}});
  QEL_Line(7, 5, 5, 5, 5);
  CHECK(where(7) == PointSet{{5, 5}});
  XorLine(3, 3, -20, 30);
  CHECK((pen_x == -20 && pen_y == 30));

  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-40, 60);
  for (int n = 0; n < 600; ++n) {
    const int bits = n % 2 ? 8 : 32;
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    canvas(23, 17, bits);
    const PointSet expected = reference_line(x1, y1, x2, y2, 23, 17);
    XorLine(x1, y1, x2, y2);   // a pixel visited twice would stay black
    CHECK_MESSAGE(where(bits == 8 ? 0xFF : 0xFFFFFF) == expected, x1, ",", y1, " ", x2, ",", y2);
    XorLine(x1, y1, x2, y2);
    CHECK(not_black().empty());
    QEL_Line(0x123456, x2, y2, x1, y1);
    CHECK(where(bits == 8 ? 0x56 : 0x123456) == expected);
  }

  // Far beyond the image they cost and draw only their visible part.
  canvas(8, 3);
  QEL_Line(1, INT_MIN, 0, INT_MAX, 1);   // steps to row 1 exactly at x = 0
  CHECK(where(1) == reference_line(0, 1, 7, 1, 8, 3));
  QEL_Line(2, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  CHECK(where(2) == PointSet{{0, 0}, {1, 1}, {2, 2}});
  QEL_Line(3, 5, INT_MAX, 5, INT_MIN);
  CHECK((where(3).size() == 3 && pen_y == INT_MIN));
  QEL_FillBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 4, 4);
  CHECK(where(4).size() == 24);
}

TEST_CASE("boxes: outline, inside from a span of 2, XOR borders; circles: each pixel once, XOR restores; flood fill")
{
  canvas(10, 8);
  QEL_FillBox(0, 0, 1, 5, 0xE, 0xF);
  CHECK((where(0xF).empty() && where(0xE).size() == 12));
  QEL_FillBox(8, 7, 3, 2, 0xE, 0xF);
  CHECK((where(0xF).size() == 16 && pen_x == 7 && pen_y == 6));

  canvas(10, 8);
  qel_draw_colour = 0xABCDEF;
  QEL_Box(7, 6, 2, 1);
  qel_draw_colour = 0xFFFFFF;
  const PointSet border = where(0xABCDEF);
  CHECK((border.size() == 20 && pen_x == 7 && pen_y == 6));

  canvas(10, 8);
  XorBox(2, 1, 7, 6);
  CHECK(where(0xFFFFFF) == border);    // each border pixel once
  XorBox(7, 6, 2, 1);
  XorBox(4, 1, 4, 6);                  // 1 wide: the sides cancel
  CHECK(not_black() == PointSet{{4, 1}, {4, 6}});
  XorBox(4, 1, 4, 6);
  XorBox(-3, 2, 5, 20);                // clipped
  XorBox(5, 20, -3, 2);
  CHECK(not_black().empty());
  XorFillBox(6, 5, 1, 2);
  CHECK(not_black().size() == 24);

  // Circles: small radii, each pixel once, XOR restores.
  canvas(9, 9);
  QEL_Circle(1, 4, 4, 0);
  CHECK(not_black() == PointSet{{4, 4}});
  QEL_Circle(2, 4, 4, 1);
  CHECK(where(2) == PointSet{{3, 4}, {5, 4}, {4, 3}, {4, 5}});
  XorCircle(1, 1, 0);   // the centre four times
  CHECK(QEL_GetPixel(1, 1) == 0);

  // An inverted figure shows each pixel written twice as a hole.
  for (int r = 1; r <= 40; ++r) {
    const int cx = 30 - r % 7, cy = 28 + r % 5;   // large ones are clipped
    canvas(61, 57, 8);
    QEL_Circle(9, cx, cy, r);
    const PointSet outline = where(9);
    qel_draw_colour = 7;
    QEL_FillCircle(cx, cy, r);
    qel_draw_colour = 0xFFFFFF;
    const PointSet disc = where(7);
    CHECK(disc.size() > outline.size());

    canvas(61, 57, 8);
    XorCircle(cx, cy, r);
    CHECK_MESSAGE(where(0xFF) == outline, "r ", r);
    XorCircle(cx, cy, r);
    XorFillCircle(cx, cy, r);
    CHECK_MESSAGE(where(0xFF) == disc, "r ", r);
    XorFillCircle(cx, cy, r);
    CHECK(not_black().empty());
  }
  canvas(5, 5);
  QEL_Circle(1, INT_MAX, 2, 1000);   // points past the int range stay outside
  XorFillCircle(INT_MIN, INT_MIN, 3);
  CHECK(not_black().empty());

  // Flood fill: nothing to do, or exactly the 4-connected region, with at
  // most 4000 seeds.
  for (int bits : {32, 8}) {   // index 255 is what 0xFFFFFF stores
    canvas(6, 6, bits);
    QEL_FillBox(0, 0, 5, 5, 0xFFFFFF, 0xFFFFFF);
    QEL_Paint(2, 2);           // already the drawing colour
  }
  QEL_Paint(-1, 2);
  CHECK(where(255).size() == 36);

  std::mt19937 rng(3);
  const int w = 37, h = 23;
  for (int n = 0; n < 40; ++n) {
    canvas(w, h, n % 2 ? 8 : 32);
    std::vector<int> wall(w * h);
    for (int i = 0; i < w * h; ++i)
      if ((wall[i] = rng() % 100 < 40))
        PutPixelQuiet(i % w, i / w, 0x55);
    const int sx = rng() % w, sy = rng() % h;
    PointSet expected{{sx, sy}};   // breadth-first over the seed's 4-neighbours
    for (std::deque<std::pair<int, int>> queue{{sx, sy}}; !queue.empty(); queue.pop_front()) {
      auto [x, y] = queue.front();
      for (std::pair<int, int> n : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}})
        if (n.first >= 0 && n.second >= 0 && n.first < w && n.second < h &&
            wall[n.second * w + n.first] == wall[sy * w + sx] && expected.insert(n).second)
          queue.push_back(n);
    }
    qel_draw_colour = 0x1234AA;
    QEL_Paint(sx, sy);
    qel_draw_colour = 0xFFFFFF;
    CHECK(where(n % 2 ? 0xAA : 0x1234AA) == expected);
  }

  // A ragged region keeps the fill to its 4000 seeds. Odd rows open; even
  // rows are teeth two pixels wide, one seed each. The teeth of several rows
  // pile up on the stack before they are popped.
  canvas(3001, 7);
  for (int y = 0; y < 7; y += 2)
    for (int x = 2; x < 3001; x += 3)
      PutPixelQuiet(x, y, 0x77);
  QEL_Paint(0, 1);
  CHECK((last_paint_stats().peak_seeds == paint_seed_capacity && last_paint_stats().dropped_seeds == 2001));
  for (int y = 1; y < 7; y += 2)
    CHECK(where(0xFFFFFF).count({3000, y}) == 1);
  CHECK(where(0x77).size() == 4000);   // no wall painted
  CHECK(where(0).size() == 2002);      // teeth whose seeds were dropped
}
