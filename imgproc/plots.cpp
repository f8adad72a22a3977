// Profiles and chroma plots for the inspection commands. They draw into the
// current image (a fresh result window) through the pixel and line calls, and
// leave the pen, the text cursor and qel_tc where their last call put them.
#include "imgproc/plots.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "imgproc/colour.h"
#include "imgproc/pixels.h"
#include "qellib.h"

namespace {

int red(std::uint32_t c) { return (c >> 16) & 255; }
int green(std::uint32_t c) { return (c >> 8) & 255; }
int blue(std::uint32_t c) { return c & 255; }
int cr_offset(std::uint32_t c) { return colour_cr(c) + 128; }
int cb_offset(std::uint32_t c) { return colour_cb(c) + 128; }

struct Channel {
  int flag;
  int full_scale;
  int (*value)(std::uint32_t colour);  // nullptr: the element is a byte
};

// In the order in which the flags are looked for.
constexpr Channel channels[] = {
    {profile_red, 255, red},
    {profile_green, 255, green},
    {profile_blue, 255, blue},
    {profile_hue, 359, QEL_GetH},
    {profile_saturation, 255, QEL_GetS},
    {profile_value, 255, QEL_GetV},
    {profile_luminance, 255, colour_y},
    {profile_cr, 255, cr_offset},
    {profile_cb, 255, cb_offset},
    {profile_byte, 255, nullptr},
};

// The plane's grid: Cb grows to the right, Cr upwards, both 0 at (128, 128).
int plane_x(std::uint32_t c) { return colour_cb(c) + 128; }
int plane_y(std::uint32_t c) { return 128 - colour_cr(c); }

void draw_plane()
{
  QEL_Line(0x808080, 0, 128, 256, 128);
  QEL_Line(0x808080, 128, 0, 128, 256);
  text_x = text_margin = 110;
  text_y = 16;
  qel_tc = 0xFF8888;
  QEL_PutString("Cr");
  text_x = text_margin = 238;
  text_y = 144;
  qel_tc = 0x8888FF;
  QEL_PutString("Cb");
}

} // namespace

// One graph of count elements from x0 on: value 0 on row 127, full scale on
// row 0. Without a channel flag, or without 0x40 or 0x80, nothing is drawn.
void PlotProfile(const void* values, int x0, int count, int flags, std::uint32_t colour)
{
  const bool lines = flags & profile_lines;
  if (!values || !(lines || (flags & profile_points)))
    return;
  const Channel* channel = std::find_if(std::begin(channels), std::end(channels),
                                        [flags](const Channel& c) { return flags & c.flag; });
  if (channel == std::end(channels))
    return;
  const auto* words = static_cast<const std::uint32_t*>(values);
  const auto* bytes = static_cast<const std::uint8_t*>(values);
  for (int i = 0; i < count; ++i) {
    const int v = channel->value ? channel->value(words[i]) : bytes[i];
    const int x = static_cast<int>(std::min<std::int64_t>(std::int64_t{x0} + i, INT_MAX));
    const int y = 127 - v * 127 / channel->full_scale;
    if (lines && i > 0)
      QEL_Line(colour, pen_x, pen_y, x, y);
    else
      QEL_PutPixel(x, y, colour);
  }
}

// The chroma path of a row: the first point white, then lines alternating
// from the second point on between white (even points) and magenta (odd).
void PlotCrCbLine(const std::uint32_t* values, int count)
{
  draw_plane();
  if (!values)
    return;
  for (int i = 0; i < count; ++i) {
    const int x = plane_x(values[i]), y = plane_y(values[i]);
    if (i == 0)
      QEL_PutPixel(x, y, 0xFFFFFF);
    else
      QEL_Line(i % 2 == 0 ? 0xFFFFFF : 0xFF00FF, pen_x, pen_y, x, y);
  }
}

// The chroma of a block, each of its rows a white path of its own.
void PlotCrCbArea(int rows, const std::uint32_t* values, int columns)
{
  draw_plane();
  if (!values || columns <= 0)
    return;
  for (int row = 0; row < rows; ++row) {
    const std::uint32_t* line = values + static_cast<std::int64_t>(row) * columns;
    for (int i = 0; i < columns; ++i) {
      const int x = plane_x(line[i]), y = plane_y(line[i]);
      if (i == 0)
        QEL_PutPixel(x, y, 0xFFFFFF);
      else
        QEL_Line(0xFFFFFF, pen_x, pen_y, x, y);
    }
  }
}
