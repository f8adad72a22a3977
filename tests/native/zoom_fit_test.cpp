// The zoom fit rule and the zoom steps, on the metrics of a 1920 x 1080 screen
// with a 23-pixel caption and a 128 x 8 minimum client area.
#include <doctest/doctest.h>

#include <climits>
#include <vector>

#include "image/slots_headless.h"
#include "image/zoom_fit.h"

namespace {

const SizeLimits screen = size_limits(headless_default_metrics(), 1);
const SizeLimits loose = size_limits(headless_default_metrics(), 0);

std::vector<int> limits_of(const SizeLimits& l) { return {l.min_width, l.min_height, l.max_width, l.max_height}; }

} // namespace

TEST_CASE("size limits from the metrics; the fit rule: truncation, screen and minimum window, wrapping products; steps")
{
  // min 136 - 2 x 4 by 39 - 2 x 4 - 23; max height 1080 - 23
  CHECK(limits_of(screen) == std::vector{128, 8, 1920, 1057});
  CHECK(limits_of(loose) == std::vector{1, 1, 3840, 2160});

  // Metrics that leave no minimum still give a 1 x 1 client, so zoom is never 0.
  WindowMetrics odd = headless_default_metrics();
  odd.min_window_width = odd.min_window_height = 0;
  const SizeLimits no_minimum = size_limits(odd, 1);
  CHECK(limits_of(no_minimum) == std::vector{1, 1, 1920, 1057});

  const struct {
    int w, h, zoom;
    const SizeLimits& limits;
    std::vector<int> fit;   // zoom, view width, view height; empty when nothing fits
  } cases[] = {
      // 640 * 51 / 100 * 100 / 640 lands just below 51.
      {640, 480, 51, screen, {50, 320, 240}},
      {640, 480, 100, screen, {100, 640, 480}},
      {640, 480, 111, screen, {110, 704, 528}},        // the first zoom-in step from 100
      {640, 480, 300, screen, {220, 1408, 1056}},      // height limit 1057 decides
      {4, 4, 100, screen, {3200, 128, 128}},           // raised until 128 wide
      // zoom 0 or below: the smallest that meets the minimum
      {640, 480, 0, screen, {20, 128, 96}},
      {640, 480, -50, screen, {20, 128, 96}},
      {640, 480, 1000, loose, {450, 2880, 2160}},      // loose limits allow twice the screen
      {200000, 10, 100, screen, {}},                   // even 1% is wider than the screen
      {10, 200000, 100, screen, {}},
      // 3000 x 10 must be raised to 80% for 8 rows, 2400 wide: too wide for
      // the screen, while loose limits take it at 100%.
      {3000, 10, 100, screen, {}},
      {3000, 10, 100, loose, {100, 3000, 10}},
      // 65536 * 65536 wraps to 0 in 32 bits: treated as a client below 1
      // pixel, computed without signed overflow (UBSan would stop here).
      {65536, 65536, 65536, loose, {1, 655, 655}},
      {INT_MAX, 1, INT_MAX, loose, {}},
      // A width of 0 (never passed by the slots) is taken as 1, not divided by.
      {0, 0, 100, screen, {12800, 128, 128}},
      {10000, 10000, 0, no_minimum, {1, 100, 100}},    // the smallest zoom is 1, not 0
  };
  for (const auto& c : cases) {
    INFO(c.w, " x ", c.h, " at ", c.zoom);
    ZoomFit f;
    const bool fits = fit_zoom(c.w, c.h, c.zoom, c.limits, &f);
    CHECK(fits == !c.fit.empty());
    if (fits)
      CHECK(std::vector{f.zoom, f.view_width, f.view_height} == c.fit);
  }

  // Zoom steps from the value reached; small zooms stay; no overflow.
  int in = 100, out = 100;
  for (int expected : {111, 123, 137, 152})
    CHECK((in = zoom_in_step(in)) == expected);
  for (int expected : {90, 81, 73, 66})
    CHECK((out = zoom_out_step(out)) == expected);
  CHECK((zoom_in_step(4) == 4 && zoom_out_step(5) == 5));
  CHECK((zoom_in_step(INT_MAX) == INT_MAX && zoom_out_step(INT_MIN) < 0));   // typed-in zooms
}
