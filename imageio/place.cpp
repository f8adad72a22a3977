// Putting a decoded picture into an image.
#include "imageio/place.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "imageio/colour_reduce.h"

namespace {

// source over target, per channel, rounded
std::uint32_t blend(std::uint32_t argb, std::uint32_t target)
{
  const std::uint32_t alpha = argb >> 24;
  if (alpha == 255)
    return argb & 0xFFFFFFu;
  if (alpha == 0)
    return target & 0xFFFFFFu;
  std::uint32_t result = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const std::uint32_t s = (argb >> shift) & 0xFFu;
    const std::uint32_t t = (target >> shift) & 0xFFu;
    result |= ((s * alpha + t * (255 - alpha) + 127) / 255) << shift;
  }
  return result;
}

} // namespace

Placement clip_placement(int picture_width, int picture_height, int x, int y, int image_width,
                         int image_height)
{
  // 64-bit sums: a position near INT_MAX plus the picture's size must not wrap.
  const long long left = std::max<long long>(x, 0);
  const long long top = std::max<long long>(y, 0);
  const long long right = std::min<long long>(static_cast<long long>(x) + picture_width, image_width);
  const long long bottom =
      std::min<long long>(static_cast<long long>(y) + picture_height, image_height);
  Placement p;
  if (picture_width <= 0 || picture_height <= 0 || right <= left || bottom <= top)
    return p;
  p.target_x = static_cast<int>(left);
  p.target_y = static_cast<int>(top);
  p.source_x = static_cast<int>(left - x);
  p.source_y = static_cast<int>(top - y);
  p.width = static_cast<int>(right - left);
  p.height = static_cast<int>(bottom - top);
  return p;
}

void composite_picture(const SlotPixels& image, const Placement& placement,
                       const std::uint32_t* argb, const std::uint32_t* palette)
{
  const std::size_t w = static_cast<std::size_t>(placement.width);
  const std::size_t h = static_cast<std::size_t>(placement.height);
  if (w == 0 || h == 0)
    return;
  const std::size_t stride = static_cast<std::size_t>(image.stride);
  const std::size_t x0 = static_cast<std::size_t>(placement.target_x);
  const std::size_t y0 = static_cast<std::size_t>(placement.target_y);
  if (image.bits == 32) {
    for (std::size_t j = 0; j < h; ++j) {
      std::uint32_t* row = image.pixels32 + (y0 + j) * stride + x0;
      for (std::size_t i = 0; i < w; ++i)
        row[i] = blend(argb[j * w + i], row[i]);
    }
    return;
  }
  // 8 bits: blend with the colour each index stands for, then find the nearest
  // entry for all blended colours at once.
  std::vector<std::uint32_t> colours(w * h);
  for (std::size_t j = 0; j < h; ++j) {
    const std::uint8_t* row = image.pixels8 + (y0 + j) * stride + x0;
    for (std::size_t i = 0; i < w; ++i)
      colours[j * w + i] = blend(argb[j * w + i], palette[row[i]]);
  }
  const std::vector<std::uint8_t> indices = map_to_palette(colours.data(), colours.size(), palette, 256);
  for (std::size_t j = 0; j < h; ++j) {
    std::uint8_t* row = image.pixels8 + (y0 + j) * stride + x0;
    // Fully transparent pixels keep their index, even where another entry has the same colour.
    for (std::size_t i = 0; i < w; ++i)
      if (argb[j * w + i] >> 24)
        row[i] = indices[j * w + i];
  }
}

void place_picture(const SlotPixels& image, int width, int height, const std::uint32_t* argb, int x,
                   int y, const std::uint32_t* palette)
{
  const Placement part = clip_placement(width, height, x, y, image.width, image.height);
  if (part.width == width && part.height == height) {
    composite_picture(image, part, argb, palette);
    return;
  }
  // Only the rows and columns that land inside, packed as composite_picture takes them.
  const std::size_t w = static_cast<std::size_t>(part.width);
  std::vector<std::uint32_t> inside(w * static_cast<std::size_t>(part.height));
  for (std::size_t j = 0; j < static_cast<std::size_t>(part.height); ++j) {
    const std::uint32_t* row = argb + (static_cast<std::size_t>(part.source_y) + j) * static_cast<std::size_t>(width);
    std::copy_n(row + part.source_x, w, inside.data() + j * w);
  }
  composite_picture(image, part, inside.data(), palette);
}
