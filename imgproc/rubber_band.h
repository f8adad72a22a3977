// The rubber-band figures that the point tools draw while they wait: inverted
// (XOR) into the current image, so drawing one again erases it, and the few
// rectangles of image pixels each covers, so a window repaints only those.
#pragma once

#include <cstdint>

// Pixels left <= x < right, top <= y < bottom (the platform's rectangle form).
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class FigureKind { none, line, box, circle };

struct Figure {
  FigureKind kind = FigureKind::none;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends, box corners, or the circle's centre (x1, y1)
  int radius = 0;                      // circle only
  bool diagonals = false;              // box only: both diagonals inside the border
  bool operator==(const Figure&) const = default;
};

Figure line_figure(int x1, int y1, int x2, int y2);
Figure box_figure(int x1, int y1, int x2, int y2);
Figure circle_figure(int cx, int cy, int radius);
Figure place_figure(int centre_x, int centre_y, int w, int h);  // w x h box around the centre, diagonals from 9 x 9

void draw_figure(const Figure& f);    // XOR into the current image; moves the pen

constexpr int max_cover_rects = 36;   // a place box: 4 sides and 2 diagonals of 16 pieces

struct FigureCover {
  PixelRect rects[max_cover_rects];
  int count = 0;
};

// Rectangles inside width x height that hold every pixel draw_figure changes.
FigureCover figure_cover(const Figure& f, int width, int height);
std::int64_t cover_area(const FigureCover& cover);   // pixels, overlaps counted twice

// The client pixels of a window at `zoom` percent that show an image rectangle.
PixelRect client_rect_of(const PixelRect& image_rect, int zoom);
