// The zoom fit rule of image windows and the keyboard/wheel zoom steps. Pure
// arithmetic: the system metrics come in as arguments, so it is tested natively.
#pragma once

// The system metrics the size limits are made from (the platform reads them).
struct WindowMetrics {
  int min_window_width = 0;    // smallest window width the system allows
  int min_window_height = 0;   // smallest window height
  int frame_width = 0;         // width of a sizing border
  int caption_height = 0;      // height of a caption bar
  int screen_width = 0;
  int screen_height = 0;
};

// Bounds on an image window's client area.
struct SizeLimits {
  int min_width = 1;
  int min_height = 1;
  int max_width = 1;
  int max_height = 1;
};

// Screen limits (screen_limited != 0) or loose limits (the FL creation calls).
SizeLimits size_limits(const WindowMetrics& metrics, int screen_limited);

// A fitted zoom and the client size it gives.
struct ZoomFit {
  int zoom = 0;
  int view_width = 0;
  int view_height = 0;
};

// Fits a requested zoom to an image of width x height (each at least 1).
// Returns false when no integer zoom meets the limits.
bool fit_zoom(int width, int height, int requested_zoom, const SizeLimits& limits, ZoomFit* out);

// One zoom step in (about 10/9) and out (about 9/10), before the fit rule.
int zoom_in_step(int zoom);
int zoom_out_step(int zoom);
