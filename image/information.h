// The image window's inspection commands on a slot: one pixel read out in the
// current text window, graphs of a row's channels, chroma scatters of a row or
// a rectangle, and a rectangle copied into a window of its own. Each takes its
// points from the point tools on the slot's window; each result is a new image
// window at the screen's top-left, in the lowest slot that takes it, and is
// left the current image.
#pragma once

enum class Inspection {
  pixel, line_rgb, line_hsv, line_ycrcb, line_crcb, area_crcb, line_luminance, clipping,
};

int run_inspection(int slot, Inspection what); // 0 done; 1 bad or free slot, or not for its depth; 2 cancelled or closed; 3 no memory; 4 no slot took the result
