// Pixel access on the current image, for the framework's own drawing code. The
// quiet writers leave the pen alone; they are inline because charts and fills
// are written one pixel at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/slots.h"

// Last point a pen-moving write touched (also outside the image): the start
// of connected plots. Worker thread's, like the images.
extern int pen_x;
extern int pen_y;

namespace pixel_detail {

inline bool inside(const SlotPixels& p, int x, int y)
{
  // Negative coordinates become huge unsigned values and fall outside too.
  return static_cast<unsigned>(x) < static_cast<unsigned>(p.width)
      && static_cast<unsigned>(y) < static_cast<unsigned>(p.height);
}

inline std::size_t offset(const SlotPixels& p, int x, int y)
{
  return static_cast<std::size_t>(y) * static_cast<unsigned>(p.stride) + static_cast<unsigned>(x);
}

} // namespace pixel_detail

// Store a pixel (8-bit images keep the low byte); outside is ignored.
inline void PutPixelQuiet(int x, int y, std::uint32_t value)
{
  const SlotPixels& p = current_pixels();
  if (!pixel_detail::inside(p, x, y))
    return;
  if (p.bits == 8)
    p.pixels8[pixel_detail::offset(p, x, y)] = static_cast<std::uint8_t>(value);
  else
    p.pixels32[pixel_detail::offset(p, x, y)] = value;
}

// The stored word or index, or -1 outside: -1 never equals a 32-bit pixel,
// not even 0xFFFFFFFF, so a flood fill can tell the edge from any colour.
inline std::int64_t GetPixelOrNone(int x, int y)
{
  const SlotPixels& p = current_pixels();
  if (!pixel_detail::inside(p, x, y))
    return -1;
  if (p.bits == 8)
    return p.pixels8[pixel_detail::offset(p, x, y)];
  return p.pixels32[pixel_detail::offset(p, x, y)];
}

// Invert the colour bits (32-bit: the top byte stays; 8-bit: index i -> 255 - i).
// Twice restores the pixel, which is what rubber-band drawing relies on.
inline void XorPixelQuiet(int x, int y)
{
  const SlotPixels& p = current_pixels();
  if (!pixel_detail::inside(p, x, y))
    return;
  if (p.bits == 8)
    p.pixels8[pixel_detail::offset(p, x, y)] ^= 0xFFu;
  else
    p.pixels32[pixel_detail::offset(p, x, y)] ^= 0xFFFFFFu;
}
