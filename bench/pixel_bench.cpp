// Times pixel access on a 1920 x 1080 image against raw stores into the same
// buffer. Not a test: tools/bench.sh builds it optimised and runs it; use an
// idle machine.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "image/slots.h"
#include "imgproc/pixels.h"
#include "qellib.h"

namespace {

constexpr int width = 1920;
constexpr int height = 1080;
constexpr int rounds = 30;

volatile std::uint32_t sink;

// Best of several rounds, in nanoseconds per pixel.
template <typename Pass>
double time_per_pixel(Pass pass)
{
  double best = 1e30;
  for (int r = 0; r < rounds; ++r) {
    const auto start = std::chrono::steady_clock::now();
    pass(static_cast<std::uint32_t>(r));
    const auto stop = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::nano>(stop - start).count());
  }
  return best / (double{width} * height);
}

double raw_store(std::uint32_t* pixels)
{
  return time_per_pixel([pixels](std::uint32_t seed) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        pixels[y * width + x] = seed + static_cast<std::uint32_t>(x ^ y);
    sink = pixels[seed];
  });
}

double raw_load(const std::uint32_t* pixels)
{
  return time_per_pixel([pixels](std::uint32_t) {
    std::uint32_t sum = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        sum += pixels[y * width + x];
    sink = sum;
  });
}

double put_pixel()
{
  return time_per_pixel([](std::uint32_t seed) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        QEL_PutPixel(x, y, seed + static_cast<std::uint32_t>(x ^ y));
  });
}

double put_pixel_quiet()
{
  return time_per_pixel([](std::uint32_t seed) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        PutPixelQuiet(x, y, seed + static_cast<std::uint32_t>(x ^ y));
  });
}

double get_pixel()
{
  return time_per_pixel([](std::uint32_t) {
    std::uint32_t sum = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        sum += QEL_GetPixel(x, y);
    sink = sum;
  });
}

void report(const char* what, double ns, double raw)
{
  std::printf("%-34s %7.3f ns/pixel  %6.2f x raw\n", what, ns, ns / raw);
}

} // namespace

int main()
{
  if (QEL_CreateImageFL(0, "bench", 0, 0, width, height, 100) != 0
      || QEL_CreateImage8FL(1, "bench8", 0, 0, width, height, 100) != 0) {
    std::puts("could not create the images");
    return 1;
  }
  QEL_SelectImage(0);
  std::uint32_t* pixels = slot_pixels[0].pixels32;
  const double store = raw_store(pixels);
  const double load = raw_load(pixels);
  std::printf("32-bit %d x %d, best of %d rounds\n", width, height, rounds);
  report("raw store", store, store);
  report("QEL_PutPixel", put_pixel(), store);
  report("PutPixelQuiet (inline)", put_pixel_quiet(), store);
  report("raw load", load, load);
  report("QEL_GetPixel", get_pixel(), load);

  QEL_SelectImage(1);
  std::printf("8-bit %d x %d (ratios against the 32-bit raw loops)\n", width, height);
  report("QEL_PutPixel", put_pixel(), store);
  report("QEL_GetPixel", get_pixel(), load);
  reset_image_slots();
  return 0;
}
