// The graphs of the image inspection commands, drawn into the current image:
// channel profiles along a row (rows 0-127) and chroma scatters on a 256 x 256
// Cb/Cr plane.
#pragma once

#include <cstdint>

// PlotProfile flags: one channel (the first present, in this order) and how
// the points are drawn.
enum ProfileFlag : int {
  profile_red = 0x1,
  profile_green = 0x2,
  profile_blue = 0x4,
  profile_hue = 0x8,
  profile_saturation = 0x10,
  profile_value = 0x20,
  profile_luminance = 0x100,
  profile_cr = 0x200,
  profile_cb = 0x400,
  profile_byte = 0x1000,     // elements are bytes (8-bit row); the byte itself
  profile_points = 0x40,     // each point as a pixel
  profile_lines = 0x80,      // points joined by lines
};

void PlotProfile(const void* values, int x0, int count, int flags, std::uint32_t colour); // packed colours, or bytes with profile_byte
void PlotCrCbLine(const std::uint32_t* values, int count);             // axes, labels, chroma path of a row
void PlotCrCbArea(int rows, const std::uint32_t* values, int columns); // axes, labels, one path per row
