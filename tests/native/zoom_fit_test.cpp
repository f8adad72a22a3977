// The zoom fit rule and the zoom steps, on the metrics of a 1920 x 1080 screen
// with a 23-pixel caption and a 128 x 8 minimum client area.
#include <doctest/doctest.h>

#include <climits>
#include <initializer_list>

#include "image/zoom_fit.h"

namespace {

WindowMetrics screen_1080()
{
  WindowMetrics m;
  m.min_window_width = 136;
  m.min_window_height = 39;
  m.frame_width = 4;
  m.caption_height = 23;
  m.screen_width = 1920;
  m.screen_height = 1080;
  return m;
}

const SizeLimits screen = size_limits(screen_1080(), 1);
const SizeLimits loose = size_limits(screen_1080(), 0);

ZoomFit fitted(int w, int h, int zoom, const SizeLimits& limits = screen)
{
  ZoomFit fit;
  REQUIRE(fit_zoom(w, h, zoom, limits, &fit));
  return fit;
}

} // namespace

TEST_CASE("size limits from the system metrics")
{
  CHECK(screen.min_width == 128);     // 136 - 2 * 4
  CHECK(screen.min_height == 8);      // 39 - 2 * 4 - 23
  CHECK(screen.max_width == 1920);
  CHECK(screen.max_height == 1057);   // 1080 - 23
  CHECK(loose.min_width == 1);
  CHECK(loose.min_height == 1);
  CHECK(loose.max_width == 3840);
  CHECK(loose.max_height == 2160);

  // Metrics that leave no minimum still give a 1 x 1 client, so zoom is never 0.
  WindowMetrics odd = screen_1080();
  odd.min_window_width = 0;
  odd.min_window_height = 0;
  const SizeLimits limits = size_limits(odd, 1);
  CHECK(limits.min_width == 1);
  CHECK(limits.min_height == 1);
  CHECK(fitted(10000, 10000, 0, limits).zoom == 1);
}

TEST_CASE("fit rule keeps the truncating double arithmetic")
{
  // 640 * 51 / 100 * 100 / 640 lands just below 51.
  CHECK(fitted(640, 480, 50).zoom == 50);
  CHECK(fitted(640, 480, 51).zoom == 50);
  CHECK(fitted(640, 480, 100).zoom == 100);
  CHECK(fitted(640, 480, 102).zoom == 101);
  const ZoomFit f = fitted(640, 480, 51);
  CHECK(f.view_width == 320);
  CHECK(f.view_height == 240);
}

TEST_CASE("fit rule lowers to the screen and raises to the minimum window")
{
  ZoomFit f = fitted(640, 480, 300);     // height limit 1057 decides
  CHECK(f.zoom == 220);
  CHECK(f.view_width == 1408);
  CHECK(f.view_height == 1056);
  CHECK(fitted(640, 480, 1000).zoom == 220);

  f = fitted(4, 4, 100);                 // raised until 128 wide
  CHECK(f.zoom == 3200);
  CHECK(f.view_width == 128);
  CHECK(f.view_height == 128);

  f = fitted(640, 480, 0);               // zoom 0: the smallest that meets the minimum
  CHECK(f.zoom == 20);
  CHECK(f.view_width == 128);
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
  CHECK(zoom_in_step(100) == 111);
  CHECK(zoom_out_step(100) == 90);
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
  for (int small = 1; small <= 4; ++small)
    CHECK(zoom_in_step(small) == small);
  for (int small = 1; small <= 5; ++small)
    CHECK(zoom_out_step(small) == small);
  CHECK(zoom_in_step(INT_MAX) == INT_MAX);   // no overflow for typed-in zooms
  CHECK(zoom_out_step(INT_MIN) < 0);
}

TEST_CASE("zoom steps pass through the fit rule")
{
  // Each press starts from the zoom actually shown.
  CHECK(fitted(300, 200, zoom_in_step(100)).zoom == 111);
  int z = 100;
  for (int expected : {110, 122, 135, 150}) {
    z = fitted(640, 480, zoom_in_step(z)).zoom;
    CHECK(z == expected);
  }
  CHECK(fitted(640, 480, zoom_out_step(100)).zoom == 90);
}
