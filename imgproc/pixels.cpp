// Pixel access on the current image. Nothing here validates the slot: a free
// slot reads as 0 x 0 (see SlotPixels), so every access to it falls outside.
#include "imgproc/pixels.h"

#include <cstdint>
#include <cstring>

int pen_x = 0;
int pen_y = 0;

// The chart generator's inner loop: pen, bounds test, depth test, one store.
void QEL_PutPixel(int x, int y, std::uint32_t value)
{
  pen_x = x;
  pen_y = y;
  PutPixelQuiet(x, y, value);
}

std::uint32_t QEL_GetPixel(int x, int y)
{
  const std::int64_t v = GetPixelOrNone(x, y);
  return v < 0 ? 0 : static_cast<std::uint32_t>(v);
}

void QEL_XorPixel(int x, int y)
{
  pen_x = x;
  pen_y = y;
  XorPixelQuiet(x, y);
}

namespace {

// Copies pixel (x, y) of p, or 0 outside, into element `at` of a destination
// of words (32-bit images) or bytes (8-bit images).
void copy_pixel(const SlotPixels& p, void* destination, std::size_t at, unsigned x, unsigned y)
{
  const bool inside = x < static_cast<unsigned>(p.width) && y < static_cast<unsigned>(p.height);
  const std::size_t from = static_cast<std::size_t>(y) * static_cast<unsigned>(p.stride) + x;
  if (p.bits == 8)
    static_cast<std::uint8_t*>(destination)[at] = inside ? p.pixels8[from] : 0;
  else
    static_cast<std::uint32_t*>(destination)[at] = inside ? p.pixels32[from] : 0;
}

} // namespace

void QEL_GetRow(void* destination, int y, int count)
{
  if (!destination || !slot_in_use(qel_current_image))
    return;
  const SlotPixels& p = current_pixels();
  for (int i = 0; i < count; ++i)
    copy_pixel(p, destination, static_cast<std::size_t>(i), static_cast<unsigned>(i),
               static_cast<unsigned>(y));
}

void QEL_GetBlock(void* destination, int x0, int y0, int w, int h)
{
  if (!destination || !slot_in_use(qel_current_image))
    return;
  const SlotPixels& p = current_pixels();
  // Positions are summed in unsigned arithmetic: x0 + i wraps exactly like
  // the signed sum would (no overflow), and negative or too large stays outside.
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      copy_pixel(p, destination, static_cast<std::size_t>(j) * static_cast<unsigned>(w) + i,
                 static_cast<unsigned>(x0) + static_cast<unsigned>(i),
                 static_cast<unsigned>(y0) + static_cast<unsigned>(j));
}

void QEL_ClearImage(int slot)
{
  if (static_cast<unsigned>(slot) >= slot_count)
    return;
  const SlotPixels& p = slot_pixels[slot];
  const std::size_t element = p.bits == 8 ? 1 : 4;
  if (p.pixels8)
    std::memset(p.pixels8, 0,
                static_cast<std::size_t>(p.stride) * static_cast<std::size_t>(p.height) * element);
}
