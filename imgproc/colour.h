// Integer colour-space conversions with 16-bit fractions. Readouts and plots
// print and draw these exact numbers, so constants and rounding are fixed.
#pragma once

#include <cstdint>

// (sum + 32768) / 65536, truncated toward zero: -32769 gives 0, not -1.
int fixed_round(int sum);

int colour_y(std::uint32_t colour);    // luminance 0..255
int colour_cr(std::uint32_t colour);   // signed chroma, about -128..127
int colour_cb(std::uint32_t colour);
int colour_u(std::uint32_t colour);
int colour_v(std::uint32_t colour);
int colour_i(std::uint32_t colour);
int colour_q(std::uint32_t colour);

// Back to a packed colour, each channel clamped to 0..255.
std::uint32_t ycrcb_to_rgb(int y, int cr, int cb);
std::uint32_t yuv_to_rgb(int y, int u, int v);
std::uint32_t yiq_to_rgb(int y, int i, int q);

// The platform's colour word 0x00BBGGRR, made from and read back into the
// framework's 0x00RRGGBB (the top byte, which carries no colour, is dropped).
constexpr std::uint32_t bgr_of(std::uint32_t rgb)
{
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}
constexpr std::uint32_t rgb_of(std::uint32_t bgr) { return bgr_of(bgr); }
