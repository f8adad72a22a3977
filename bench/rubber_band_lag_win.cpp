// How long a pointer move takes to show on screen for each rubber band, on a
// 1920 x 1080 image in a real window at zoom 100, 50 and 200: from the posted
// mouse move to the end of the paint it causes (the tool's erase and draw,
// the dirty rectangles invalidated, their repaint), the same from the move's
// dispatch on the worker, and the paint alone; set against a repaint of the
// whole window. Not a test: the numbers are the machine's. tools/bench.sh
// runs it under Wine. Win32 for the window subclass that times the paints.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string_view>
#include <thread>
#include <vector>

#include "image/image_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

using clock_type = std::chrono::steady_clock;
constexpr int width = 1920, height = 1080, slot = 0, moves = 120;

// Written on the worker by the subclass of the image window, read by main.
std::atomic<int> paints{0};
std::atomic<std::int64_t> paint_ns{0};       // inside WM_PAINT
std::atomic<std::int64_t> dispatched_ns{0};  // from the last WM_MOUSEMOVE to the end of its paint
clock_type::time_point move_seen;            // worker's
WNDPROC image_proc = nullptr;

std::int64_t ns_since(clock_type::time_point start)
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(clock_type::now() - start).count();
}

LRESULT CALLBACK timing_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  if (message == WM_MOUSEMOVE)
    move_seen = clock_type::now();
  if (message != WM_PAINT)
    return CallWindowProcW(image_proc, window, message, wparam, lparam);
  const auto start = clock_type::now();
  const LRESULT result = CallWindowProcW(image_proc, window, message, wparam, lparam);
  GdiFlush();
  paint_ns += ns_since(start);
  dispatched_ns += ns_since(move_seen);
  ++paints;
  return result;
}

// Spins rather than sleeps: a sleep would round each wait up to the
// scheduler's tick.
bool painted_since(int count)
{
  const auto start = clock_type::now();
  while (paints.load() <= count) {
    if (ns_since(start) > 2'000'000'000)
      return false;
    std::this_thread::yield();
  }
  return true;
}

// Until no paint has come for 50 ms.
void settle()
{
  for (int seen = -1; seen != paints.load();) {
    seen = paints.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

struct Band {
  const char* name;
  bool two_points;
  std::function<int()> tool;
};

double percentile_us(std::vector<std::int64_t> ns, int percent = 50)
{
  std::sort(ns.begin(), ns.end());
  return ns.empty() ? 0 : ns[(ns.size() - 1) * percent / 100] / 1e3;
}

// The pointer runs outward from the first point along the diagonal of the
// window's visible part, so every move changes the figure. Medians: the
// machine is shared, and a busy neighbour shows in the slowest moves only.
void measure(const Band& band, HWND window, int visible_w, int visible_h)
{
  const int cx = visible_w * 45 / 100, cy = visible_h * 45 / 100;
  WaitingCall tool(band.tool);
  if (!tool.waiting())
    return;
  if (band.two_points)
    left_click(window, cx, cy);
  settle();
  std::vector<std::int64_t> posted, handled, painting;
  for (int i = 0; i < moves; ++i) {
    const int x = cx + visible_w / 20 + i * visible_w * 45 / 100 / moves;
    const int y = cy + visible_h / 20 + i * visible_h * 45 / 100 / moves;
    const int count = paints.load();
    const std::int64_t paint_before = paint_ns.load(), handled_before = dispatched_ns.load();
    const auto start = clock_type::now();
    mouse_move(window, x, y);
    if (!painted_since(count))
      break;
    posted.push_back(ns_since(start));
    handled.push_back(dispatched_ns.load() - handled_before);
    painting.push_back(paint_ns.load() - paint_before);
  }
  post(main_window, WM_COMMAND, cmd_stop);
  tool.finish();
  std::printf("  %-7s %8.0f %8.0f %8.0f %8.0f%s\n", band.name, percentile_us(posted),
              percentile_us(posted, 90), percentile_us(handled), percentile_us(painting),
              static_cast<int>(posted.size()) < moves ? "  (a move showed no paint)" : "");
}

// A repaint of the whole window, as invalidating all of it on each move would cost.
double whole_window_us(HWND window)
{
  return worker_value([window] {
    constexpr int repeats = 20;
    const auto start = clock_type::now();
    for (int i = 0; i < repeats; ++i) {
      InvalidateRect(window, nullptr, FALSE);
      UpdateWindow(window);
    }
    return ns_since(start) / 1e3 / repeats;
  });
}

} // namespace

int main(int argc, char** argv)
{
  // --smooth: the windows stretch with smoothing (the Tab key's mode).
  const bool smooth = argc > 1 && std::string_view(argv[1]) == "--smooth";
  JobsFramework framework;
  if (!framework.started)
    return 1;
  int a, b, c, d;
  const Band bands[] = {
      {"line", true, [&] { return QEL_ClickLine(slot, &a, &b, &c, &d); }},
      {"box", true, [&] { return QEL_ClickBox(slot, &a, &b, &c, &d); }},
      {"circle", true, [&] { return QEL_ClickCircle(slot, &a, &b, &c); }},
      {"row", false, [&] { return QEL_ClickRow(slot, &a, &b); }},
      {"column", false, [&] { return QEL_ClickColumn(slot, &a, &b); }},
      {"place", false, [&] { return QEL_ClickPlace(slot, 640, 480, &a, &b); }},
  };
  std::printf("%d x %d image, %d moves per figure, %s stretching; microseconds per move\n", width,
              height, moves, smooth ? "smooth" : "plain");
  for (const int zoom : {100, 50, 200}) {
    const HWND window = worker_value([zoom, smooth] {
      if (QEL_CreateImageFL(slot, "lag", 0, 0, width, height, zoom) != 0)
        return HWND{};
      for (int i = 0; i < width * height; ++i)
        slot_pixels[slot].pixels32[i] = static_cast<std::uint32_t>(i) * 2654435761u & 0xFFFFFF;
      const HWND w = slot_window(slot);
      image_proc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timing_proc)));
      QEL_SetStretchMode(slot, smooth ? stretch_smooth : stretch_plain);
      InvalidateRect(w, nullptr, FALSE);
      return w;
    });
    if (!window)
      return 1;
    const RECT client = client_rect(window);
    // Only what lies on the screen is ever painted.
    const int visible_w = std::min<int>(client.right, GetSystemMetrics(SM_CXSCREEN) - 40);
    const int visible_h = std::min<int>(client.bottom, GetSystemMetrics(SM_CYSCREEN) - 80);
    std::printf("zoom %d (client %ld x %ld, pointer within %d x %d)\n", image_slots[slot].zoom,
                client.right, client.bottom, visible_w, visible_h);
    std::printf("  figure    posted   90 %%ile  handled    paint\n");
    for (const Band& band : bands)
      measure(band, window, visible_w, visible_h);
    std::printf("  whole window repaint: %.0f\n", whole_window_us(window));
    on_worker([] { QEL_DestroyImage(slot); });
  }
  return 0;
}
