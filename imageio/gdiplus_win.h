// Small owners for GDI+ flat-API objects used by the image file code, so that
// every early return releases what was made, and the decoding steps that the
// file loader and the clipboard share.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gdip = Gdiplus::DllExports;

struct GdipImage {
  Gdiplus::GpImage* image = nullptr;
  GdipImage() = default;
  GdipImage(const GdipImage&) = delete;
  GdipImage& operator=(const GdipImage&) = delete;
  ~GdipImage()
  {
    if (image)
      gdip::GdipDisposeImage(image);
  }
};

struct GdipGraphics {
  Gdiplus::GpGraphics* graphics = nullptr;
  GdipGraphics() = default;
  GdipGraphics(const GdipGraphics&) = delete;
  GdipGraphics& operator=(const GdipGraphics&) = delete;
  ~GdipGraphics()
  {
    if (graphics)
      gdip::GdipDeleteGraphics(graphics);
  }
};

// A picture decoded whole: 0xAARRGGBB with straight alpha, rows top-down,
// and its own palette (at most 256 entries, empty for pictures without one).
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::vector<std::uint32_t> palette;
};
// Pixels and palette of a decoded bitmap of out's width and height, read as
// the file loader reads them (no scaling by the file's resolution).
bool read_whole_bitmap(Gdiplus::GpImage* picture, DecodedPicture* out);
// A PNG file held in memory (untrusted bytes), decoded once its header shows
// a size within the decode budget; false for anything else.
bool decode_png_bytes(std::vector<std::uint8_t> bytes, DecodedPicture* picture);
