// Test hooks of the headless image backend: what a window would show, and
// switches that make the platform behave differently.
#pragma once

#include "image/zoom_fit.h"

struct HeadlessWindow {
  bool open = false;
  char caption[256] = {};
  int left = 0, top = 0;                     // screen position of the window
  int client_width = 0, client_height = 0;
  int stretch_mode = 0;
  int invalidations = 0;                     // repaint requests since creation
  int copies = 0;                            // block copies (zoom 100) since creation
  int stretches = 0;                         // stretch copies since creation
};

const HeadlessWindow& headless_window(int slot);
WindowMetrics headless_default_metrics();          // 1920 x 1080 screen, caption 23, min window 136 x 39, frame 4
void headless_set_metrics(const WindowMetrics& m); // until the next call
void headless_fail_buffers(bool fail);             // make backend_create_buffer fail
