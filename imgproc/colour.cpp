// Colour-space conversions: HSV with whole-degree hues and the spread as
// saturation, and the luminance/chroma spaces in 16-bit fixed point.
#include "imgproc/colour.h"

#include <algorithm>
#include <cstdint>

#include "qellib.h"

namespace {

struct Rgb {
  int r, g, b;
};

Rgb components(std::uint32_t c)
{
  return {static_cast<int>((c >> 16) & 255), static_cast<int>((c >> 8) & 255),
          static_cast<int>(c & 255)};
}

std::uint32_t pack(int r, int g, int b)
{
  return (static_cast<std::uint32_t>(r) << 16) + (static_cast<std::uint32_t>(g) << 8)
       + static_cast<std::uint32_t>(b);
}

// One channel of an inverse conversion. 64-bit, since callers may pass any int.
int inverse_channel(int y, std::int64_t products)
{
  const std::int64_t v = (65536LL * y + products + 32768) / 65536;
  return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255));
}

} // namespace

int fixed_round(int sum)
{
  // Integer division truncates toward zero; a shift would round down instead.
  return static_cast<int>((std::int64_t{sum} + 32768) / 65536);
}

int colour_y(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(19595 * p.r + 38470 * p.g + 7471 * p.b);
}

int colour_cr(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(32768 * p.r - 27460 * p.g - 5308 * p.b);
}

int colour_cb(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(-11076 * p.r - 21692 * p.g + 32768 * p.b);
}

int colour_u(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(-9634 * p.r - 18940 * p.g + 28574 * p.b);
}

int colour_v(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(40305 * p.r - 33751 * p.g - 6554 * p.b);
}

int colour_i(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(39053 * p.r - 18022 * p.g - 21037 * p.b);
}

int colour_q(std::uint32_t c)
{
  const Rgb p = components(c);
  return fixed_round(13533 * p.r - 32565 * p.g + 19032 * p.b);
}

std::uint32_t ycrcb_to_rgb(int y, int cr, int cb)
{
  const std::int64_t r = cr, b = cb;
  return pack(inverse_channel(y, 91881 * r), inverse_channel(y, -46793 * r - 22544 * b),
              inverse_channel(y, 116130 * b));
}

std::uint32_t yuv_to_rgb(int y, int u, int v)
{
  const std::int64_t uu = u, vv = v;
  return pack(inverse_channel(y, 74711 * vv), inverse_channel(y, -38076 * vv - 25952 * uu),
              inverse_channel(y, 132973 * uu));
}

std::uint32_t yiq_to_rgb(int y, int i, int q)
{
  const std::int64_t ii = i, qq = q;
  return pack(inverse_channel(y, 62187 * ii + 42998 * qq),
              inverse_channel(y, -17334 * ii - 44872 * qq),
              inverse_channel(y, -73859 * ii + 118292 * qq));
}

void QEL_RGBToHSV(std::uint32_t colour, int* h, int* s, int* v)
{
  const auto [r, g, b] = components(colour);
  const int max = std::max({r, g, b});
  const int min = std::min({r, g, b});
  const int d = max - min;
  // The rows are tried in this order, so ties go to the earlier row: yellow
  // is 60, cyan 180, magenta 300.
  int hue = 0;
  if (d == 0)
    hue = 0;
  else if (max == r && min == b)
    hue = (g - b) * 60 / d;
  else if (max == g && min == b)
    hue = (g - r) * 60 / d + 60;
  else if (max == g && min == r)
    hue = (b - r) * 60 / d + 120;
  else if (max == b && min == r)
    hue = (b - g) * 60 / d + 180;
  else if (max == b && min == g)
    hue = (r - g) * 60 / d + 240;
  else
    hue = (r - b) * 60 / d + 300;   // max == r, min == g
  if (h)
    *h = hue;
  if (s)
    *s = d;
  if (v)
    *v = max;
}

int QEL_GetH(std::uint32_t colour)
{
  int h = 0;
  QEL_RGBToHSV(colour, &h, nullptr, nullptr);
  return h;
}

int QEL_GetS(std::uint32_t colour)
{
  int s = 0;
  QEL_RGBToHSV(colour, nullptr, &s, nullptr);
  return s;
}

int QEL_GetV(std::uint32_t colour)
{
  int v = 0;
  QEL_RGBToHSV(colour, nullptr, nullptr, &v);
  return v;
}

std::uint32_t QEL_HSVToRGB(int v, int s, int h)
{
  // Out-of-range inputs are never produced by the framework; bring them into
  // range so that every input gives some colour of the wheel.
  v = std::clamp(v, 0, 255);
  s = std::clamp(s, 0, 255);
  h %= 360;
  if (h < 0)
    h += 360;
  const int min = std::max(v - s, 0);
  const int d = v - min;
  switch (h / 60) {
  case 0: return pack(v, min + d * h / 60, min);
  case 1: return pack(min + d * (120 - h) / 60, v, min);
  case 2: return pack(min, v, min + d * (h - 120) / 60);
  case 3: return pack(min, min + d * (240 - h) / 60, v);
  case 4: return pack(min + d * (h - 240) / 60, min, v);
  default: return pack(v, min, min + d * (360 - h) / 60);
  }
}
