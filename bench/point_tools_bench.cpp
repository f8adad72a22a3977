// Cost of one pointer move for each rubber band on a 1920 x 1080 image: the
// tool erases the old figure, draws the new one and hands the rectangles they
// cover to the window. Headless, the repaint is played by copying those
// rectangles out of the image, as a window repaint at 100 % would; it is set
// against copying the whole image, which is what invalidating the whole window
// costs. Not a test: tools/bench.sh builds it optimised and runs it.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "image/slots.h"
#include "imgproc/point_tools.h"
#include "imgproc/point_tools_headless.h"
#include "qellib.h"

namespace {

using clock_type = std::chrono::steady_clock;

constexpr int width = 1920;
constexpr int height = 1080;
constexpr int moves = 2000;
constexpr int slot = 0;

std::vector<std::uint32_t> screen(std::size_t(width) * height);

double seconds_since(clock_type::time_point start)
{
  return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The window's repaint at 100 %: each dirty rectangle copied row by row.
void repaint(const std::vector<InvalidatedRect>& rects)
{
  const std::uint32_t* pixels = slot_pixels[slot].pixels32;
  for (const InvalidatedRect& r : rects)
    for (int y = r.rect.top; y < r.rect.bottom; ++y) {
      const std::size_t at = std::size_t(y) * width + r.rect.left;
      std::memcpy(&screen[at], &pixels[at], std::size_t(r.rect.right - r.rect.left) * 4);
    }
}

// The pointer sweeps a loop around the middle of the image, one step per
// pump; the repaint of the previous move's rectangles runs first, timed on its own.
struct Measure {
  double tool_seconds = 0;
  double repaint_seconds = 0;
  double dirty_pixels = 0;
  double rect_count = 0;
};

Measure sweep(const char* name, bool two_points, const std::function<void()>& run)
{
  HeadlessToolPlatform& platform = headless_tool_platform();
  platform = HeadlessToolPlatform{};
  Measure m;
  int step = 0;
  double repaint_seconds = 0;
  platform.pump = [&] {
    const auto start = clock_type::now();
    for (const InvalidatedRect& r : platform.invalidated)
      m.dirty_pixels += double(r.rect.right - r.rect.left) * (r.rect.bottom - r.rect.top);
    m.rect_count += double(platform.invalidated.size());
    repaint(platform.invalidated);
    platform.invalidated.clear();
    repaint_seconds += seconds_since(start);
    const int move = two_points ? step - 1 : step;
    if (move < 0)
      tool_left_press(slot, 700, 400, 100, false);
    else if (move < moves) {
      const double angle = 6.283185307179586 * move / moves * 3;
      const double radius = 150 + 350 * std::fabs(std::sin(angle / 3));
      const int x = int(960 + radius * std::cos(angle)), y = int(540 + radius * std::sin(angle));
      tool_mouse_move(slot, x, y, 100);
    } else {
      tool_left_press(slot, 960, 540, 100, false);
    }
    ++step;
  };
  const auto start = clock_type::now();
  run();
  const double total = seconds_since(start);
  m.tool_seconds = (total - repaint_seconds) / moves;
  m.repaint_seconds = repaint_seconds / moves;
  m.dirty_pixels /= moves;
  m.rect_count /= moves;
  const double share = 100.0 * m.dirty_pixels / (double(width) * height);
  std::printf("%-8s %8.1f us  %9.0f px (%5.2f %%) in %4.1f rects  %8.1f us\n", name,
              m.tool_seconds * 1e6, m.dirty_pixels, share, m.rect_count, m.repaint_seconds * 1e6);
  return m;
}

double whole_image_copy()
{
  std::vector<InvalidatedRect> all{{slot, {0, 0, width, height}}};
  double best = 1e30;
  for (int i = 0; i < 20; ++i) {
    const auto start = clock_type::now();
    repaint(all);
    best = std::min(best, seconds_since(start));
  }
  return best;
}

} // namespace

int main()
{
  if (QEL_CreateImageFL(slot, "bench", 0, 0, width, height, 100) != 0) {
    std::puts("could not create the image");
    return 1;
  }
  for (int i = 0; i < width * height; ++i)
    slot_pixels[slot].pixels32[i] = std::uint32_t(i) * 2654435761u & 0xFFFFFF;
  int a, b, c, d;
  std::printf("%d x %d, %d moves each; per move: erase + draw + cover, dirty area, repaint copy\n",
              width, height, moves);
  sweep("line", true, [&] { QEL_ClickLine(slot, &a, &b, &c, &d); });
  sweep("box", true, [&] { QEL_ClickBox(slot, &a, &b, &c, &d); });
  sweep("circle", true, [&] { QEL_ClickCircle(slot, &a, &b, &c); });
  sweep("row", false, [&] { QEL_ClickRow(slot, &a, &b); });
  sweep("column", false, [&] { QEL_ClickColumn(slot, &a, &b); });
  sweep("place", false, [&] { QEL_ClickPlace(slot, 640, 480, &a, &b); });
  std::printf("whole image copy (whole-window invalidation): %.1f us per move\n",
              whole_image_copy() * 1e6);
  reset_image_slots();
  return 0;
}
