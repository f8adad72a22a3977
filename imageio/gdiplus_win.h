// Small owners for GDI+ flat-API objects used by the image file code, so that
// every early return releases what was made.
#pragma once

#include <windows.h>
#include <gdiplus.h>

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
