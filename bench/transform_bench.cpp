// Times the whole-image transforms on a 4000 x 3000 32-bit image against one
// memcpy of the same image in the same run. Not a test: tools/bench.sh builds
// it optimised and runs it. Times are processor time, best of several rounds,
// so other work on a shared machine disturbs them less than wall time would.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "imgproc/transform.h"

namespace {

constexpr int width = 4000;
constexpr int height = 3000;
constexpr int rounds = 15;

// Best of several rounds, in milliseconds.
template <typename Pass>
double best_ms(Pass pass)
{
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const std::clock_t start = std::clock();
    pass();
    const std::clock_t stop = std::clock();
    best = std::min(best, 1000.0 * static_cast<double>(stop - start) / CLOCKS_PER_SEC);
  }
  return best;
}

void report(const char* what, double ms, double memcpy_ms)
{
  std::printf("%-28s %8.2f ms  %5.2f x memcpy\n", what, ms, ms / memcpy_ms);
}

} // namespace

int main()
{
  PixelBuffer image, copy, turned, half, enlarged;
  if (!allocate_pixels(width, height, 32, &image) || !allocate_pixels(width, height, 32, &copy)
      || !allocate_pixels(height, width, 32, &turned) || !allocate_pixels(width / 2, height / 2, 32, &half)
      || !allocate_pixels(width * 2, height * 2, 32, &enlarged)) {
    std::puts("could not allocate the images");
    return 1;
  }
  draw_test_pattern(image.view, TestPattern::rgb);
  // Touch every destination once, so page faults stay out of the timings.
  copy_pixels(image.view, copy.view);
  rotate_clockwise(image.view, turned.view);
  resample_smooth(image.view, half.view);

  const std::size_t bytes = std::size_t{width} * height * 4;
  const double memcpy_ms = best_ms([&] { std::memcpy(copy.view.pixels32, image.view.pixels32, bytes); });
  std::printf("32-bit %d x %d (%.0f MB), best of %d rounds\n", width, height, bytes / 1e6, rounds);
  report("memcpy", memcpy_ms, memcpy_ms);
  report("rotate clockwise", best_ms([&] { rotate_clockwise(image.view, turned.view); }), memcpy_ms);
  report("rotate counter-clockwise", best_ms([&] { rotate_counter_clockwise(image.view, turned.view); }), memcpy_ms);
  report("flip horizontal (in place)", best_ms([&] { flip_horizontal(image.view); }), memcpy_ms);
  report("flip vertical (in place)", best_ms([&] { flip_vertical(image.view); }), memcpy_ms);
  report("invert (in place)", best_ms([&] { invert_pixels(image.view); }), memcpy_ms);
  report("50 % smooth (area average)", best_ms([&] { resample_smooth(image.view, half.view); }), memcpy_ms);
  report("50 % nearest", best_ms([&] { resample_nearest(image.view, half.view); }), memcpy_ms);
  std::printf("(against the memcpy of the 4x larger result:)\n");
  const double big_memcpy_ms = best_ms([&] {
    std::memcpy(enlarged.view.pixels32, image.view.pixels32, bytes);
    std::memcpy(enlarged.view.pixels32 + width * height, image.view.pixels32, bytes);
    std::memcpy(enlarged.view.pixels32 + 2 * width * height, image.view.pixels32, bytes);
    std::memcpy(enlarged.view.pixels32 + 3 * width * height, image.view.pixels32, bytes);
  });
  report("200 % smooth (bilinear)", best_ms([&] { resample_smooth(image.view, enlarged.view); }), big_memcpy_ms);
  return 0;
}
