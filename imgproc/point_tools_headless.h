// Test hooks of the headless point-tool platform: the pump runs one step of a
// script where Windows would dispatch messages, and the main window and the
// image windows are records of what they were asked to do.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "imgproc/rubber_band.h"

struct InvalidatedRect {
  int slot;
  PixelRect rect;   // image pixels
};

struct HeadlessToolPlatform {
  std::function<void()> pump;                 // without one a pump raises stop_requested: nothing else could end the wait
  int pumps = 0;                              // pump calls so far
  std::string status;                         // the main window's status line
  bool drops_accepted = true;                 // the main window takes dropped files
  int display_bits = 32;
  std::vector<InvalidatedRect> invalidated;   // in call order
};

HeadlessToolPlatform& headless_tool_platform();   // reset by assigning HeadlessToolPlatform{}
