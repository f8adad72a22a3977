// The zoom fit rule and the zoom steps, on the metrics of a 1920 x 1080 screen
// with a 23-pixel caption and a 128 x 8 minimum client area.
#include <doctest/doctest.h>

#include <climits>
#include <initializer_list>
#include <vector>

#include "image/slots_headless.h"
#include "image/zoom_fit.h"

namespace {

// The headless backend's screen is exactly this one.
WindowMetrics screen_1080() { return headless_default_metrics(); }

const SizeLimits screen = size_limits(screen_1080(), 1);
const SizeLimits loose = size_limits(screen_1080(), 0);

ZoomFit fitted(int w, int h, int zoom, const SizeLimits& limits = screen)
{
  ZoomFit fit;
  REQUIRE(fit_zoom(w, h, zoom, limits, &fit));
  return fit;
}

std::vector<int> limits_of(const SizeLimits& l) { return {l.min_width, l.min_height, l.max_width, l.max_height}; }

// zoom, view width, view height
std::vector<int> fit_of(int w, int h, int zoom) { const ZoomFit f = fitted(w, h, zoom); return {f.zoom, f.view_width, f.view_height}; }

} // namespace

TEST_CASE("size limits from the system metrics")
{
  // min 136 - 2 x 4 by 39 - 2 x 4 - 23; max height 1080 - 23
  CHECK(limits_of(screen) == std::vector{128, 8, 1920, 1057});
  CHECK(limits_of(loose) == std::vector{1, 1, 3840, 2160});

  // Metrics that leave no minimum still give a 1 x 1 client, so zoom is never 0.
  WindowMetrics odd = screen_1080();
  odd.min_window_width = 0;
  odd.min_window_height = 0;
  const SizeLimits limits = size_limits(odd, 1);
  CHECK(limits_of(limits) == std::vector{1, 1, 1920, 1057});
  CHECK(fitted(10000, 10000, 0, limits).zoom == 1);
}

TEST_CASE("fit rule keeps the truncating double arithmetic")
{
  // 640 * 51 / 100 * 100 / 640 lands just below 51.
  CHECK(fit_of(640, 480, 51) == std::vector{50, 320, 240});
  CHECK(fitted(640, 480, 100).zoom == 100);
  CHECK(fitted(640, 480, 102).zoom == 101);
}

TEST_CASE("fit rule lowers to the screen and raises to the minimum window")
{
  CHECK(fit_of(640, 480, 300) == std::vector{220, 1408, 1056});   // height limit 1057 decides
  CHECK(fit_of(4, 4, 100) == std::vector{3200, 128, 128});        // raised until 128 wide
  // zoom 0 or below: the smallest that meets the minimum
  CHECK(fit_of(640, 480, 0) == std::vector{20, 128, 96});
  CHECK(fitted(640, 480, -50).zoom == 20);

  // Loose limits allow twice the screen.
  CHECK(fitted(640, 480, 1000, loose).zoom == 450);

  ZoomFit none;
  CHECK_FALSE(fit_zoom(200000, 10, 100, screen, &none));  // even 1% is wider than the screen
  CHECK_FALSE(fit_zoom(10, 200000, 100, screen, &none));
  // 3000 x 10 must be raised to 80% for 8 rows, 2400 wide: too wide for the
  // screen, while loose limits take it at 100%.
  CHECK_FALSE(fit_zoom(3000, 10, 100, screen, &none));
  CHECK(fit_zoom(3000, 10, 100, loose, &none));
  CHECK(none.zoom == 100);
}

TEST_CASE("fit rule on sizes and zooms whose products wrap")
{
  // 65536 * 65536 wraps to 0 in 32 bits: treated as a client below 1 pixel,
  // computed without signed overflow (UBSan would stop here).
  ZoomFit f = fitted(65536, 65536, 65536, loose);
  CHECK(f.zoom == 1);
  CHECK(f.view_width == 655);
  ZoomFit none;
  CHECK_FALSE(fit_zoom(INT_MAX, 1, INT_MAX, loose, &none));
  // A width of 0 (never passed by the slots) is taken as 1, not divided by.
  CHECK(fitted(0, 0, 100).zoom == 12800);
}

TEST_CASE("zoom steps")
{
  // From 100 upward and downward, each step from the value reached.
  int z = 100;
  for (int expected : {111, 123, 137, 152}) {
    z = zoom_in_step(z);
    CHECK(z == expected);
  }
  z = 100;
  for (int expected : {90, 81, 73, 66}) {
    z = zoom_out_step(z);
    CHECK(z == expected);
  }
  // Small zooms round back to themselves.
  CHECK(zoom_in_step(4) == 4);
  CHECK(zoom_out_step(5) == 5);
  CHECK(zoom_in_step(INT_MAX) == INT_MAX);   // no overflow for typed-in zooms
  CHECK(zoom_out_step(INT_MIN) < 0);
}

TEST_CASE("zoom steps pass through the fit rule")
{
  // Each press starts from the zoom actually shown.
  int z = 100;
  for (int expected : {110, 122, 135, 150}) {
    z = fitted(640, 480, zoom_in_step(z)).zoom;
    CHECK(z == expected);
  }
  CHECK(fitted(640, 480, zoom_out_step(100)).zoom == 90);
}
