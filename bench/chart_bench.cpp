// Redraw speed of the chart: the direct drawing against the literal one and
// against a single copy of the chart's pixels. Not a test: tools/bench.sh
// builds it optimised and without sanitizers and runs it.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "chart_reference.h"
#include "image/slots.h"
#include "lenticular/chart.h"
#include "lenticular/params.h"
#include "qellib.h"

namespace {

using clock_type = std::chrono::steady_clock;

template <typename F> double best_ms(int repeats, F&& f)
{
  double best = 1e300;
  for (int n = 0; n < repeats; ++n) {
    const auto start = clock_type::now();
    f();
    const std::chrono::duration<double, std::milli> took = clock_type::now() - start;
    if (took.count() < best)
      best = took.count();
  }
  return best;
}

// A noisy two-picture source, the work image resampled from it, the chart image.
void prepare(ChartState& s)
{
  reset_image_slots();
  const int source_w = 2 * 960;
  const int source_h = 540;
  QEL_CreateImageFL(source_slot, "source", 0, 0, source_w, source_h, 10);
  std::mt19937 rng(1);
  const SlotPixels& src = slot_pixels[source_slot];
  for (int i = 0; i < src.width * src.height; ++i)
    src.pixels32[i] = static_cast<std::uint32_t>(rng()) & 0xFFFFFFu;
  start_run(s, source_w, source_h);
  QEL_CreateImageFL(work_slot, "work", 0, 300, work_image_width(s), s.band_height, 10);
  double sx = 0;
  double sy = 0;
  resample_scales(s, &sx, &sy);
  ResampleSource(s, sx, sy);
  QEL_CreateImageFL(chart_slot, "Hello,there!", 0, 232, s.chart_width, s.chart_height, 100);
}

void measure(const char* name, ChartState s)
{
  prepare(s);
  const SlotPixels& chart = slot_pixels[chart_slot];
  const std::size_t bytes = static_cast<std::size_t>(chart.width) * chart.height * 4;
  std::vector<std::uint8_t> copy(bytes);
  const double fast = best_ms(30, [&] { DrawChart(s); });
  const std::vector<std::uint8_t> fast_bytes(reinterpret_cast<std::uint8_t*>(chart.pixels32),
                                             reinterpret_cast<std::uint8_t*>(chart.pixels32) + bytes);
  const double literal = best_ms(3, [&] { reference::DrawChart(s); });
  const bool same = std::memcmp(fast_bytes.data(), chart.pixels32, bytes) == 0;
  const double copy_ms = best_ms(200, [&] {
    std::memcpy(copy.data(), chart.pixels32, bytes);
    asm volatile("" : : "r"(copy.data()) : "memory");
  });
  double sx = 0;
  double sy = 0;
  resample_scales(s, &sx, &sy);
  const double resample = best_ms(10, [&] { ResampleSource(s, sx, sy); });
  const double subpixels = 3.0 * s.chart_width * s.chart_height;
  std::printf("%s: %d x %d, %d bands, %d views, pitch %.3f\n", name, s.chart_width, s.chart_height,
              s.step, s.view_num, s.pitch);
  std::printf("  direct redraw   %8.3f ms  %6.2f ns/subpixel\n", fast, fast * 1e6 / subpixels);
  std::printf("  literal redraw  %8.3f ms  %6.2f ns/subpixel  (direct is %.0fx faster)\n", literal,
              literal * 1e6 / subpixels, literal / fast);
  std::printf("  memcpy of chart %8.3f ms  (redraw = %.2f copies)\n", copy_ms, fast / copy_ms);
  std::printf("  resample work   %8.3f ms  (%d x %d)\n", resample, work_image_width(s), s.band_height);
  std::printf("  identical bytes %s\n", same ? "yes" : "NO");
}

} // namespace

int main()
{
  ChartState small;
  measure("set-up chart", small);

  ChartState large;
  large.chart_width = 1920;
  large.chart_height = 1240;
  large.band_height = large.chart_height / large.step;
  measure("largest chart", large);

  ChartState fine = large;
  fine.pitch = 2.3;
  fine.p_step = 0.01;
  fine.view_num = 5;
  fine.pic_num = 2;
  recentre(fine);
  measure("fractional pitches, every column blended", fine);
  return 0;
}
