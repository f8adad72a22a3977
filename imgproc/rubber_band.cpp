// Rubber-band figures and the rectangles they cover.
//
// A window repaints what a figure covers twice per pointer move (the old
// figure erased, the new one drawn). A figure's bounding box would do, but a
// long slanted line or a large circle spans most of the image while touching a
// thin trail of it; so slanted lines and circle arcs are cut into pieces, each
// covered by its own small rectangle.
#include "imgproc/rubber_band.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "imgproc/draw.h"

namespace {

using std::int64_t;
using std::uint64_t;

// Two values low first, by value (std::minmax would refer to temporaries).
std::pair<int64_t, int64_t> ordered(int64_t a, int64_t b)
{
  return a <= b ? std::pair{a, b} : std::pair{b, a};
}

int saturate(int64_t v)
{
  return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// Appends the inclusive rectangle [left, right] x [top, bottom], cut to the
// image; nothing when nothing of it is inside.
void add_rect(FigureCover& cover, int64_t left, int64_t top, int64_t right, int64_t bottom,
              int width, int height)
{
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, int64_t{width} - 1);
  bottom = std::min<int64_t>(bottom, int64_t{height} - 1);
  if (left > right || top > bottom || cover.count == max_cover_rects)
    return;
  cover.rects[cover.count++] = {static_cast<int>(left), static_cast<int>(top),
                                static_cast<int>(right + 1), static_cast<int>(bottom + 1)};
}

// The ideal line's cross coordinate at `k` steps along the main axis lies
// between these two; the drawn pixel rounds it to one of them. spread <= length,
// so spread * k < 2^64 for any two int end points.
struct CrossRange {
  int64_t low, high;
};

CrossRange cross_at(int64_t cross0, int sign, uint64_t spread, uint64_t length, uint64_t k)
{
  const uint64_t product = spread * k;
  const int64_t whole = static_cast<int64_t>(product / length);
  const int64_t part = product % length != 0 ? 1 : 0;
  if (sign > 0)
    return {cross0 + whole, cross0 + whole + part};
  return {cross0 - whole - part, cross0 - whole};
}

constexpr int max_line_pieces = 16;
constexpr int pixels_across_per_piece = 16;

void cover_line(FigureCover& cover, int x1, int y1, int x2, int y2, int width, int height)
{
  const bool x_main = std::llabs(int64_t{x2} - x1) >= std::llabs(int64_t{y2} - y1);
  int64_t main1 = x_main ? x1 : y1, cross1 = x_main ? y1 : x1;
  int64_t main2 = x_main ? x2 : y2, cross2 = x_main ? y2 : x2;
  if (main1 > main2) {
    std::swap(main1, main2);
    std::swap(cross1, cross2);
  }
  auto add = [&](int64_t m_from, int64_t m_to, int64_t c_from, int64_t c_to) {
    if (x_main)
      add_rect(cover, m_from, c_from, m_to, c_to, width, height);
    else
      add_rect(cover, c_from, m_from, c_to, m_to, width, height);
  };
  const uint64_t length = static_cast<uint64_t>(main2 - main1);
  const uint64_t spread = static_cast<uint64_t>(std::llabs(cross2 - cross1));
  if (spread == 0) {
    add(main1, main2, cross1, cross1);
    return;
  }

  // Only the main positions inside the image are cut into pieces.
  const int64_t extent = x_main ? width : height;
  const int64_t from = std::max<int64_t>(main1, 0);
  const int64_t to = std::min<int64_t>(main2, extent - 1);
  if (from > to)
    return;
  const int64_t span = to - from + 1;
  const int64_t pieces = std::clamp<int64_t>(
      static_cast<int64_t>(spread / pixels_across_per_piece), 1,
      std::min<int64_t>(max_line_pieces, span));
  const int sign = cross2 > cross1 ? 1 : -1;
  for (int64_t i = 0; i < pieces; ++i) {
    const int64_t m_from = from + span * i / pieces;
    const int64_t m_to = from + span * (i + 1) / pieces - 1;
    auto at = [&](int64_t m) {
      return cross_at(cross1, sign, spread, length, static_cast<uint64_t>(m - main1));
    };
    const CrossRange a = at(m_from), b = at(m_to);
    add(m_from, m_to, std::min(a.low, b.low), std::max(a.high, b.high));
  }
}

constexpr int max_arc_pieces = 4;
constexpr int small_circle = 32;   // below this radius one square is as good
constexpr int pixels_per_arc_piece = 64;

// The outline is eight mirror images of one octant: x from r down to about
// r / sqrt 2 while y runs from 0 up to at most 5r / 7. Each piece of y gets
// the x range of the ideal circle there, widened by a pixel each side for the
// outline's rounding.
void cover_circle(FigureCover& cover, int cx, int cy, int radius, int width, int height)
{
  const int64_t r = std::llabs(int64_t{radius});
  if (r < small_circle) {
    add_rect(cover, cx - r, cy - r, cx + r, cy + r, width, height);
    return;
  }
  const int64_t y_end = 5 * r / 7;
  const int64_t pieces = std::clamp<int64_t>(r / pixels_per_arc_piece, 1, max_arc_pieces);
  auto ideal_x = [r](int64_t y) { return std::sqrt(static_cast<double>(r * r - y * y)); };
  for (int64_t i = 0; i < pieces; ++i) {
    const int64_t y_from = y_end * i / pieces;
    const int64_t y_to = y_end * (i + 1) / pieces;
    const int64_t x_to = std::min<int64_t>(r, static_cast<int64_t>(std::ceil(ideal_x(y_from))) + 1);
    const int64_t x_from = std::max<int64_t>(0, static_cast<int64_t>(ideal_x(y_to)) - 1);
    for (const int sx : {1, -1})
      for (const int sy : {1, -1}) {
        const auto [ax, bx] = ordered(cx + sx * x_from, cx + sx * x_to);
        const auto [ay, by] = ordered(cy + sy * y_from, cy + sy * y_to);
        add_rect(cover, ax, ay, bx, by, width, height);
        // The octant mirrored on the diagonal: x and y offsets trade places.
        const auto [px, qx] = ordered(cx + sx * y_from, cx + sx * y_to);
        const auto [py, qy] = ordered(cy + sy * x_from, cy + sy * x_to);
        add_rect(cover, px, py, qx, qy, width, height);
      }
  }
}

} // namespace

Figure line_figure(int x1, int y1, int x2, int y2)
{
  return {FigureKind::line, x1, y1, x2, y2, 0, false};
}

Figure box_figure(int x1, int y1, int x2, int y2)
{
  return {FigureKind::box, x1, y1, x2, y2, 0, false};
}

Figure circle_figure(int cx, int cy, int radius)
{
  return {FigureKind::circle, cx, cy, cx, cy, radius, false};
}

// Half the size to the left and above (integer division), the rest to the
// right and below. The diagonals would fill a smaller box with noise.
Figure place_figure(int centre_x, int centre_y, int w, int h)
{
  w = std::max(w, 1);
  h = std::max(h, 1);
  const int64_t left = int64_t{centre_x} - w / 2;
  const int64_t top = int64_t{centre_y} - h / 2;
  return {FigureKind::box, saturate(left), saturate(top), saturate(left + w - 1),
          saturate(top + h - 1), 0, w >= 9 && h >= 9};
}

void draw_figure(const Figure& f)
{
  switch (f.kind) {
  case FigureKind::none:
    return;
  case FigureKind::line:
    XorLine(f.x1, f.y1, f.x2, f.y2);
    return;
  case FigureKind::circle:
    XorCircle(f.x1, f.y1, f.radius);
    return;
  case FigureKind::box:
    XorBox(f.x1, f.y1, f.x2, f.y2);
    if (f.diagonals) {
      const int left = std::min(f.x1, f.x2), right = std::max(f.x1, f.x2);
      const int top = std::min(f.y1, f.y2), bottom = std::max(f.y1, f.y2);
      XorLine(left + 1, top + 1, right - 1, bottom - 1);
      XorLine(right - 1, top + 1, left + 1, bottom - 1);
    }
    return;
  }
}

FigureCover figure_cover(const Figure& f, int width, int height)
{
  FigureCover cover;
  switch (f.kind) {
  case FigureKind::none:
    break;
  case FigureKind::line:
    cover_line(cover, f.x1, f.y1, f.x2, f.y2, width, height);
    break;
  case FigureKind::circle:
    cover_circle(cover, f.x1, f.y1, f.radius, width, height);
    break;
  case FigureKind::box: {
    const int left = std::min(f.x1, f.x2), right = std::max(f.x1, f.x2);
    const int top = std::min(f.y1, f.y2), bottom = std::max(f.y1, f.y2);
    add_rect(cover, left, top, right, top, width, height);
    add_rect(cover, left, bottom, right, bottom, width, height);
    add_rect(cover, left, top, left, bottom, width, height);
    add_rect(cover, right, top, right, bottom, width, height);
    if (f.diagonals) {
      cover_line(cover, left + 1, top + 1, right - 1, bottom - 1, width, height);
      cover_line(cover, right - 1, top + 1, left + 1, bottom - 1, width, height);
    }
    break;
  }
  }
  return cover;
}

std::int64_t cover_area(const FigureCover& cover)
{
  int64_t area = 0;
  for (int i = 0; i < cover.count; ++i) {
    const PixelRect& r = cover.rects[i];
    area += int64_t{r.right - r.left} * (r.bottom - r.top);
  }
  return area;
}

// At 100% the window shows pixels one to one. Stretched, the edges of a pixel
// fall between client pixels and smoothing blends neighbours in: round outward
// and add one client pixel on each side.
PixelRect client_rect_of(const PixelRect& image_rect, int zoom)
{
  if (zoom == 100 || zoom <= 0)
    return image_rect;
  auto down = [zoom](int64_t v) {
    const int64_t scaled = v * zoom;
    return (scaled >= 0 ? scaled : scaled - 99) / 100;
  };
  auto up = [zoom](int64_t v) {
    const int64_t scaled = v * zoom;
    return (scaled >= 0 ? scaled + 99 : scaled) / 100;
  };
  return {saturate(down(image_rect.left) - 1), saturate(down(image_rect.top) - 1),
          saturate(up(image_rect.right) + 1), saturate(up(image_rect.bottom) + 1)};
}
