// Putting a decoded picture into an image: which part of the picture lands
// inside the image, and how its pixels combine with what is there.
#pragma once

#include <cstdint>

#include "image/slots.h"

// The part of a picture drawn at (x, y) that falls inside an image.
struct Placement {
  int source_x = 0, source_y = 0;   // top-left of that part in the picture
  int target_x = 0, target_y = 0;   // where it lands in the image
  int width = 0, height = 0;        // 0 x 0 when nothing lands inside
};

Placement clip_placement(int picture_width, int picture_height, int x, int y,
                         int image_width, int image_height);

// Draws `argb` (the placement's part of the picture: width x height pixels,
// 0xAARRGGBB with straight alpha, rows top-down) into `image` over what is
// there, as the codec draws a picture: opaque pixels replace, transparent ones
// leave the image, others blend. 32-bit pixels get a zero top byte; 8-bit ones
// take the entry of `palette` (the image's 256 entries) nearest the result.
void composite_picture(const SlotPixels& image, const Placement& placement,
                       const std::uint32_t* argb, const std::uint32_t* palette);

// Draws a whole picture (width x height pixels as for composite_picture) with
// its top-left corner at (x, y); what falls outside the image is cut off.
void place_picture(const SlotPixels& image, int width, int height, const std::uint32_t* argb, int x,
                   int y, const std::uint32_t* palette);
