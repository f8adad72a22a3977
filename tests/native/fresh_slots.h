// Fixtures for tests on the headless image slots: every test starts from the
// start-up state with the default screen and frees what it made. The drawing,
// text and plot tests share a fresh image to draw on and a reader of which
// pixels hold a value; the chart, transform and point tool tests compare
// whole buffers and palettes.
#pragma once

#include <doctest/doctest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "image/slots.h"
#include "image/slots_headless.h"
#include "qellib.h"

inline void fresh_slots()
{
  headless_set_metrics(headless_default_metrics());
  headless_fail_buffers(false);
  reset_image_slots();
}

struct FreshSlots {
  FreshSlots() { fresh_slots(); }
  ~FreshSlots() { fresh_slots(); }
};

// A fresh black current image 0, w x h with the loose size limits.
inline void canvas(int w, int h, int bits = 32)
{
  fresh_slots();
  REQUIRE((bits == 8 ? QEL_CreateImage8FL : QEL_CreateImageFL)(0, "t", 0, 0, w, h, 100) == 0);
}

using PointSet = std::set<std::pair<int, int>>;

// Pixels of the current image equal to `value`, or with `differ` all others.
inline PointSet where(std::uint32_t value, bool differ = false)
{
  const SlotPixels& p = current_pixels();
  PointSet found;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if ((QEL_GetPixel(x, y) == value) != differ)
        found.insert({x, y});
  return found;
}

// The whole buffer of a slot as bytes, the padding of 8-bit rows included.
inline std::vector<std::uint8_t> bytes_of(int slot)
{
  const SlotPixels& p = slot_pixels[slot];
  return {p.pixels8, p.pixels8 + static_cast<std::size_t>(p.stride) * p.height * (p.bits == 8 ? 1 : 4)};
}

// Pixel (x, y) of a view at either depth, and all of them row by row without
// the 8-bit padding.
inline std::uint32_t get(const SlotPixels& v, int x, int y)
{
  return v.bits == 8 ? v.pixels8[y * v.stride + x] : v.pixels32[y * v.stride + x];
}

inline std::vector<std::uint32_t> pixels_of(const SlotPixels& v)
{
  std::vector<std::uint32_t> out;
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x)
      out.push_back(get(v, x, y));
  return out;
}

// The current image's palette, and the grey ramp new 8-bit images start with.
inline std::vector<std::uint32_t> palette()
{
  std::vector<std::uint32_t> entries(256);
  REQUIRE(QEL_GetPalette(entries.data()) == 0);
  return entries;
}

inline std::vector<std::uint32_t> grey_ramp()
{
  std::vector<std::uint32_t> entries(256);
  for (std::uint32_t i = 0; i < 256; ++i)
    entries[i] = i * 0x010101u;
  return entries;
}
