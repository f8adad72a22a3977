// Rectangles shared by the input box and the button box layouts.
#pragma once

#include "shell/edge_rect.h"

struct box_size {
  int width, height;
  bool operator==(const box_size&) const = default;
};

// Position and size in client or screen coordinates.
struct box_rect {
  int x, y, width, height;
  bool operator==(const box_rect&) const = default;
};

// How far the outer window reaches beyond its client area on each side
// (caption, sizing border); the platform layer measures it once per style.
struct frame_insets {
  int left, top, right, bottom;
};

// Outer window rectangle whose top-left corner is (x, y) and whose client area
// is `client` big.
inline box_rect outer_window_rect(int x, int y, box_size client, frame_insets frame)
{
  return {x, y, client.width + frame.left + frame.right, client.height + frame.top + frame.bottom};
}

// Largest client extent a window reports when it is resized; sizes asked for
// by a program are held to it, which also keeps the layout sums within int.
constexpr int max_client_extent = 65535;
