// Zoom fit rule. The double arithmetic below is deliberate and its order is
// part of the behaviour: a quotient that is mathematically whole can land just
// below it and truncate one lower (640 x 480 at 51% shows 50%), and users see
// these zooms in the captions.
#include "image/zoom_fit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

int clamp_to_int(std::int64_t v)
{
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// The product of two ints as a 32-bit machine computes it: the two's-complement
// result wraps, but without the undefined behaviour of a signed overflow.
int wrapping_product(int a, int b)
{
  return static_cast<int>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Wanted client extent held within 1..maximum; the maximum can only lower it.
double held_extent(double wanted, int maximum)
{
  const double held = std::min(wanted, static_cast<double>(maximum));
  return held < 1.0 ? 1.0 : held;
}

int view_extent(int size, int zoom)
{
  return clamp_to_int(static_cast<std::int64_t>(size) * zoom / 100);
}

} // namespace

SizeLimits size_limits(const WindowMetrics& m, int screen_limited)
{
  SizeLimits limits;
  if (screen_limited) {
    // The frame metric is the horizontal one for both directions.
    limits.min_width = clamp_to_int(std::int64_t{m.min_window_width} - 2LL * m.frame_width);
    limits.min_height = clamp_to_int(std::int64_t{m.min_window_height} - 2LL * m.frame_width
                                     - m.caption_height);
    limits.max_width = m.screen_width;
    limits.max_height = clamp_to_int(std::int64_t{m.screen_height} - m.caption_height);
  } else {
    limits.min_width = 1;
    limits.min_height = 1;
    limits.max_width = clamp_to_int(2LL * m.screen_width);
    limits.max_height = clamp_to_int(2LL * m.screen_height);
  }
  // A client area of at least 1 x 1 keeps every fitted zoom at 1% or more:
  // mouse positions are turned into image positions by dividing by the zoom.
  limits.min_width = std::max(limits.min_width, 1);
  limits.min_height = std::max(limits.min_height, 1);
  return limits;
}

bool fit_zoom(int width, int height, int requested_zoom, const SizeLimits& limits, ZoomFit* out)
{
  width = std::max(width, 1);
  height = std::max(height, 1);
  const double w = width;
  const double h = height;
  // Wanted client size from 32-bit products, divided in double precision.
  const double cw = held_extent(wrapping_product(width, requested_zoom) / 100.0, limits.max_width);
  const double ch = held_extent(wrapping_product(height, requested_zoom) / 100.0, limits.max_height);
  const double fitted = std::min(cw * 100.0 / w, ch * 100.0 / h);
  ZoomFit fit;
  fit.zoom = fitted >= INT_MAX ? INT_MAX : static_cast<int>(fitted);
  fit.view_width = view_extent(width, fit.zoom);
  fit.view_height = view_extent(height, fit.zoom);

  if (fit.view_width < limits.min_width || fit.view_height < limits.min_height) {
    // Too small for a window: raise the zoom to the smallest that is big enough.
    const double raised = std::ceil(std::max(limits.min_width * 100.0 / w,
                                             limits.min_height * 100.0 / h));
    if (raised >= INT_MAX)
      return false;
    fit.zoom = static_cast<int>(raised);
    fit.view_width = view_extent(width, fit.zoom);
    fit.view_height = view_extent(height, fit.zoom);
    if (fit.view_width > limits.max_width || fit.view_height > limits.max_height)
      return false;
  }
  *out = fit;
  return true;
}

// Both steps round so that small zooms stay put: in from 4% or less and out
// from 5% or less give the same value back.
int zoom_in_step(int zoom)
{
  return clamp_to_int((10LL * zoom + 4) / 9);
}

int zoom_out_step(int zoom)
{
  return clamp_to_int((9LL * zoom + 5) / 10);
}
