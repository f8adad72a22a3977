// Whole-image arithmetic over pixel views in the slot layout (32-bit rows of
// 0x00RRGGBB words, 8-bit rows of palette indices): invert, flips, quarter
// turns, the size rule, nearest and smooth resampling, and the test patterns.
// Nothing here knows slots or windows; imgproc/image_transforms.h applies it
// to a slot.
#pragma once

#include <cstdint>
#include <memory>

#include "image/slots.h"

enum class TestPattern { rgb, hsv, ycrcb, yuv, yiq, grey };

// A heap buffer of width x height pixels in the slot layout, and its view.
struct PixelBuffer {
  std::unique_ptr<std::uint32_t[]> storage;   // words, so 32-bit pixels are aligned
  SlotPixels view;
};

bool allocate_pixels(int width, int height, int bits, PixelBuffer* out); // zeroed; false: bad size or depth, over 2 GiB, no memory
// Calls with a source and a destination want them in separate memory, of one
// depth and of fitting sizes; otherwise they return false and write nothing.
bool copy_pixels(const SlotPixels& source, const SlotPixels& destination); // same size
bool read_block(const SlotPixels& source, int x0, int y0, const SlotPixels& destination); // the destination's size from (x0, y0); outside the source reads 0

void invert_pixels(const SlotPixels& image);        // 32-bit: each colour byte c -> 255 - c, top byte kept; 8-bit: index i -> 255 - i
void flip_horizontal(const SlotPixels& image);      // in place: new (x, y) = old (W - 1 - x, y)
void flip_vertical(const SlotPixels& image);        // in place: new (x, y) = old (x, H - 1 - y)
bool rotate_clockwise(const SlotPixels& source, const SlotPixels& destination);         // destination H x W: new (x, y) = old (y, H - 1 - x)
bool rotate_counter_clockwise(const SlotPixels& source, const SlotPixels& destination); // destination H x W: new (x, y) = old (W - 1 - y, x)

int  scaled_size(int size, int per_mille);          // (size * f + 500) / 1000, at least 1
bool resample_nearest(const SlotPixels& source, const SlotPixels& destination); // any sizes, same depth
bool resample_smooth(const SlotPixels& source, const SlotPixels& destination);  // area average / bilinear, within a level down to 1/2; 8-bit: nearest

void draw_test_pattern(const SlotPixels& image, TestPattern pattern); // every pixel; 8-bit keeps the low byte; HSV needs height >= 2
void grey_ramp_palette(std::uint32_t entries[256]); // entry i = i * 0x010101, what "Grey" puts on 8-bit images
