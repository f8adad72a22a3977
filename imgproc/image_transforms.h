// The image window's "Process..." and "Test Pattern..." commands, applied to a
// slot: the window procedure maps its menu items here and repaints nothing
// itself (each command invalidates the window when it changed the image).
#pragma once

#include "imgproc/transform.h"

enum class ImageTransform {
  invert, rotate_right, rotate_left, flip_horizontal, flip_vertical,
  size_50, size_70_7, size_141_4, size_200,
};

int run_image_transform(int slot, ImageTransform command); // 0 ok; 1 bad or free slot; 2, 3 re-creation failed (slot left free); 4 no memory for the copy (image untouched)
int run_test_pattern(int slot, TestPattern pattern);   // 0 ok; 1 bad or free slot
