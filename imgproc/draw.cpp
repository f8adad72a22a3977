// Lines, rectangles, circles and the flood fill, all written pixel by pixel
// through the pixel writers, so they clip silently at the border and store the
// low byte of a colour on 8-bit images.
//
// Coordinates may be any int. Differences and error terms are computed in 64
// bits, and a line only walks the steps whose main coordinate lies inside the
// image: the pixels it writes are exactly those of the whole walk, but a line
// thrown far off the image costs no more than one across it.
#include "imgproc/draw.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "imgproc/pixels.h"
#include "qellib.h"

namespace {

using std::int64_t;
using std::uint64_t;

// A point computed in 64 bits but lying outside the int range is outside every
// image; saturating keeps it outside (and the pen as close as an int can be).
int saturate(int64_t v)
{
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// One slanted line as seen along its longer axis: the main coordinate moves by
// main_step at every step k = 0..length, the cross coordinate moves by
// cross_step whenever the error term runs out.
struct SlantedWalk {
  int64_t main0, cross0;
  int main_step, cross_step;
  uint64_t length;   // steps along the main axis (> 0)
  uint64_t spread;   // steps across (<= length)
  int extent;        // image size along the main axis
  bool x_main;
};

template <class Plot>
void walk_slanted(const SlantedWalk& w, Plot plot)
{
  // Steps whose main coordinate lies in [0, extent).
  const int64_t last_inside = int64_t{w.extent} - 1;
  const int64_t lo = w.main_step > 0 ? -w.main0 : w.main0 - last_inside;
  const int64_t hi = w.main_step > 0 ? last_inside - w.main0 : w.main0;
  const int64_t k_first = std::max<int64_t>(lo, 0);
  const int64_t k_last = std::min<int64_t>(hi, static_cast<int64_t>(w.length));
  if (k_first > k_last)
    return;

  // State after k_first steps. The error starts at e0 = (length + 1) / 2 and
  // stays in (0, length]; after k steps the cross axis has moved
  // (k * spread + length - e0) / length times. Unsigned 64 bits hold the
  // product of two 32-bit spans.
  const uint64_t e0 = (w.length + 1) / 2;
  const uint64_t n = static_cast<uint64_t>(k_first) * w.spread + w.length - e0;
  const uint64_t moved = n / w.length;
  int64_t e = static_cast<int64_t>(w.length - n % w.length);
  int64_t along = w.main0 + k_first * w.main_step;
  int64_t cross = w.cross0 + static_cast<int64_t>(moved) * w.cross_step;

  const int64_t spread = static_cast<int64_t>(w.spread);
  const int64_t length = static_cast<int64_t>(w.length);
  for (int64_t k = k_first;; ++k) {
    // Every walked point lies between the end points, so it fits an int.
    if (w.x_main)
      plot(static_cast<int>(along), static_cast<int>(cross));
    else
      plot(static_cast<int>(cross), static_cast<int>(along));
    if (k == k_last)
      break;
    e -= spread;
    along += w.main_step;
    if (e <= 0) {
      e += length;
      cross += w.cross_step;
    }
  }
}

// The line rule: straight runs for vertical and horizontal lines; otherwise
// left to right along the longer axis (ties: along x), the error starting at
// half the length. `plot` is called once per pixel.
template <class Plot>
void walk_line(int x1, int y1, int x2, int y2, Plot plot)
{
  const SlotPixels& image = current_pixels();
  if (x1 == x2) {
    if (y1 > y2)
      std::swap(y1, y2);
    const int from = std::max(y1, 0), to = std::min(y2, image.height - 1);
    for (int y = from; y <= to; ++y)
      plot(x1, y);
    return;
  }
  if (y1 == y2) {
    if (x1 > x2)
      std::swap(x1, x2);
    const int from = std::max(x1, 0), to = std::min(x2, image.width - 1);
    for (int x = from; x <= to; ++x)
      plot(x, y1);
    return;
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const uint64_t dx = static_cast<uint64_t>(int64_t{x2} - x1);
  const int64_t signed_dy = int64_t{y2} - y1;
  const uint64_t dy = static_cast<uint64_t>(signed_dy < 0 ? -signed_dy : signed_dy);
  const int y_step = y2 > y1 ? 1 : -1;
  if (dx >= dy)
    walk_slanted({x1, y1, 1, y_step, dx, dy, image.width, true}, plot);
  else
    walk_slanted({y1, x1, y_step, 1, dy, dx, image.height, false}, plot);
}

// Rows from..to of a rectangle that can hold pixels, clamped to the image.
std::pair<int, int> visible_rows(int64_t from, int64_t to)
{
  const int64_t last = int64_t{current_pixels().height} - 1;
  return {static_cast<int>(std::max<int64_t>(from, 0)),
          static_cast<int>(std::min<int64_t>(to, last))};
}

// The octant walk shared by the circle operations: x starts at r and y at 0;
// `visit` sees every step, `shrink` sees (x, y) just before x decreases. Returns
// whether the last step decreased x, and the (x, y) of the last visit.
struct WalkEnd {
  bool shrank;
  int64_t x, y;
};

template <class Visit, class Shrink>
WalkEnd octant_walk(int r, Visit visit, Shrink shrink)
{
  const int64_t limit = 5 * int64_t{r} / 7;
  int64_t x = r, y = 0, d = r;
  for (;;) {
    visit(x, y);
    const int64_t visited_y = y;
    bool shrank = false;
    d -= 2 * y + 1;
    if (d <= 0) {
      shrink(x, y);
      d += 2 * (x - 1);
      --x;
      shrank = true;
    }
    ++y;
    if (y > limit || y > x)
      return {shrank, x, visited_y};
  }
}

// One outline step: the eight symmetric points in the fixed order, the four
// that coincide on the axes and diagonals left out so each is written once.
template <class Plot>
void outline_step(int cx, int cy, int64_t x, int64_t y, Plot plot)
{
  auto at = [&](int64_t px, int64_t py) { plot(saturate(cx + px), saturate(cy + py)); };
  at(-y, x);
  at(y, -x);
  if (y != 0 && y != x) {
    at(y, x);
    at(-y, -x);
    at(x, -y);
    at(-x, y);
  }
  at(x, y);
  at(-x, -y);
}

template <class Plot>
void draw_circle(int cx, int cy, int r, Plot plot)
{
  octant_walk(
      r, [&](int64_t x, int64_t y) { outline_step(cx, cy, x, y, plot); },
      [](int64_t, int64_t) {});
}

// A disc as horizontal spans that cover every pixel once (for r >= 1), so an
// inverted disc shows no seams.
template <class Span>
void fill_circle(int cx, int cy, int r, Span span)
{
  auto row = [&](int64_t dy, int64_t half) {
    span(saturate(cx - half), saturate(cy + dy), saturate(cx + half));
  };
  const WalkEnd end = octant_walk(
      r,
      [&](int64_t x, int64_t y) {
        if (x == y)
          return;
        row(y, x);
        if (y != 0)
          row(-y, x);
      },
      [&](int64_t x, int64_t y) {
        row(x, y);
        row(-x, y);
      });
  if (!end.shrank) {
    row(end.x, end.y);
    row(-end.x, end.y);
  }
}

struct Seed {
  int x, y;
};

// Fixed storage: the fill allocates nothing and runs on the worker thread only.
Seed paint_seeds[paint_seed_capacity];
PaintStats paint_stats;

} // namespace

void QEL_Line(std::uint32_t colour, int x1, int y1, int x2, int y2)
{
  pen_x = x2;
  pen_y = y2;
  walk_line(x1, y1, x2, y2, [colour](int x, int y) { PutPixelQuiet(x, y, colour); });
}

void XorLine(int x1, int y1, int x2, int y2)
{
  pen_x = x2;
  pen_y = y2;
  walk_line(x1, y1, x2, y2, [](int x, int y) { XorPixelQuiet(x, y); });
}

// Four sides in drawing order; the corners are written twice, which only
// matters for inverted drawing, and XorBox handles that itself.
void QEL_Box(int x1, int y1, int x2, int y2)
{
  QEL_Line(qel_draw_colour, x1, y1, x2, y1);
  QEL_Line(qel_draw_colour, x2, y1, x2, y2);
  QEL_Line(qel_draw_colour, x2, y2, x1, y2);
  QEL_Line(qel_draw_colour, x1, y2, x1, y1);
}

// The outline in the edge colour, then the inside row by row in the fill
// colour when there is an inside (both spans at least 2). The same colour
// twice gives a solid rectangle.
void QEL_FillBox(int x1, int y1, int x2, int y2, std::uint32_t edge, std::uint32_t fill)
{
  if (x1 > x2)
    std::swap(x1, x2);
  if (y1 > y2)
    std::swap(y1, y2);
  QEL_Line(edge, x1, y1, x2, y1);
  QEL_Line(edge, x2, y1, x2, y2);
  QEL_Line(edge, x2, y2, x1, y2);
  QEL_Line(edge, x1, y2, x1, y1);
  if (int64_t{x2} - x1 < 2 || int64_t{y2} - y1 < 2)
    return;
  const auto [from, to] = visible_rows(int64_t{y1} + 1, int64_t{y2} - 1);
  for (int y = from; y <= to; ++y)
    QEL_Line(fill, x1 + 1, y, x2 - 1, y);
  // The pen ends where the last inside row ends, drawn or clipped.
  pen_x = x2 - 1;
  pen_y = y2 - 1;
}

// Each border pixel once when the rectangle is at least 2 wide; a 1-wide
// rectangle's two sides are the same column and cancel out.
void XorBox(int x1, int y1, int x2, int y2)
{
  if (x1 > x2)
    std::swap(x1, x2);
  if (y1 > y2)
    std::swap(y1, y2);
  XorLine(x1, y1, x2, y1);
  if (y2 != y1)
    XorLine(x1, y2, x2, y2);
  if (int64_t{y2} - y1 > 1) {
    XorLine(x1, y1 + 1, x1, y2 - 1);
    XorLine(x2, y1 + 1, x2, y2 - 1);
  }
}

void XorFillBox(int x1, int y1, int x2, int y2)
{
  if (x1 > x2)
    std::swap(x1, x2);
  if (y1 > y2)
    std::swap(y1, y2);
  const auto [from, to] = visible_rows(y1, y2);
  for (int y = from; y <= to; ++y)
    XorLine(x1, y, x2, y);
  pen_x = x2;
  pen_y = y2;
}

void QEL_Circle(std::uint32_t colour, int cx, int cy, int r)
{
  draw_circle(cx, cy, r, [colour](int x, int y) { QEL_PutPixel(x, y, colour); });
}

void XorCircle(int cx, int cy, int r)
{
  draw_circle(cx, cy, r, [](int x, int y) { QEL_XorPixel(x, y); });
}

void QEL_FillCircle(int cx, int cy, int r)
{
  const std::uint32_t colour = qel_draw_colour;
  fill_circle(cx, cy, r, [colour](int x1, int y, int x2) { QEL_Line(colour, x1, y, x2, y); });
  QEL_Circle(colour, cx, cy, r);
}

void XorFillCircle(int cx, int cy, int r)
{
  fill_circle(cx, cy, r, [](int x1, int y, int x2) { XorLine(x1, y, x2, y); });
}

// 4-connected scanline fill of the region of the clicked pixel's value. Seeds
// are the first pixel of every run of matching pixels above and below a filled
// run; they wait on a fixed stack, and those that find it full are dropped,
// which may leave a corner of a very ragged region unfilled.
void QEL_Paint(int x, int y)
{
  const std::int64_t target = GetPixelOrNone(x, y);
  if (target < 0)
    return;
  const std::uint32_t colour = qel_draw_colour;
  const std::int64_t stored = current_pixels().bits == 8 ? (colour & 0xFF) : colour;
  if (target == stored)
    return;

  // Outside reads as -1, which never equals a pixel.
  auto matches = [target](int px, int py) { return GetPixelOrNone(px, py) == target; };
  int count = 0;
  paint_stats = {};
  auto push = [&](int px, int py) {
    if (count == paint_seed_capacity) {
      ++paint_stats.dropped_seeds;
      return;
    }
    paint_seeds[count++] = {px, py};
    paint_stats.peak_seeds = std::max(paint_stats.peak_seeds, count);
  };

  for (;;) {
    // (x, y) matches here, so it is inside: x - 1, y - 1 and y + 1 cannot
    // overflow, and the walks stop at the border.
    while (matches(x - 1, y))
      --x;
    const int run_start = x;
    bool above_before = false, below_before = false;
    while (matches(x, y)) {
      const bool above = matches(x, y - 1);
      if (above && !above_before)
        push(x, y - 1);
      above_before = above;
      const bool below = matches(x, y + 1);
      if (below && !below_before)
        push(x, y + 1);
      below_before = below;
      ++x;
    }
    QEL_Line(colour, run_start, y, x - 1, y);

    // Next seed that still has the old value; filled runs turned the rest.
    do {
      if (count == 0)
        return;
      --count;
      x = paint_seeds[count].x;
      y = paint_seeds[count].y;
    } while (!matches(x, y));
  }
}

PaintStats last_paint_stats()
{
  return paint_stats;
}
