// The interactive point tools: each waits, pumping the worker's messages, for
// one or two clicks on the window of its slot, and shows rubber-band feedback
// in the image meanwhile. The image window procedure reports the mouse through
// the shared flags; Stop and Exit end the wait; a right or middle click
// cancels. Whatever ends the wait, the feedback is erased first, so the image
// is left exactly as it was.
#include "imgproc/point_tools.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "image/slots.h"
#include "imgproc/pixels.h"
#include "imgproc/point_tool_platform.h"
#include "imgproc/rubber_band.h"
#include "qellib.h"

int tool_slot = -1;
int tool_clicked = 0;
int tool_moved = 0;
int tool_cancelled = 0;
int tool_shift = 0;
int click_x = 0, click_y = 0;
int pointer_x = 0, pointer_y = 0;

namespace {

struct Point {
  int x = 0, y = 0;
};

bool listening(int slot)
{
  return slot >= 0 && slot == tool_slot && tool_active.load(std::memory_order_relaxed) != 0;
}

bool exit_asked()
{
  return exit_state.load(std::memory_order_acquire) != 0;
}

void put(int* out, int value)
{
  if (out)
    *out = value;
}

// The figure a tool has inverted into its image. The slot is remembered with
// its generation: if the image is closed or re-created while the tool waits,
// nothing more is drawn into that slot's buffer.
class ShownFigure {
public:
  explicit ShownFigure(int slot) : slot_(slot), generation_(image_slots[slot].generation) {}

  bool slot_alive() const { return same_image(slot_, generation_); }

  // Erases the figure shown and draws `next`; what both cover is repainted
  // in one go.
  void show(const Figure& next)
  {
    if (next == shown_ || !slot_alive())
      return;
    // Into the tool's image whatever is current; the pen of the user's
    // connected plots stays where it was.
    const int current = qel_current_image;
    const int saved_pen_x = pen_x, saved_pen_y = pen_y;
    qel_current_image = slot_;
    const SlotPixels& p = slot_pixels[slot_];
    PixelRect dirty[2 * max_cover_rects];
    int count = 0;
    for (const Figure& f : {shown_, next}) {
      draw_figure(f);
      const FigureCover cover = figure_cover(f, p.width, p.height);
      count = static_cast<int>(std::copy_n(cover.rects, cover.count, dirty + count) - dirty);
    }
    shown_ = next;
    qel_current_image = current;
    pen_x = saved_pen_x;
    pen_y = saved_pen_y;
    if (count > 0)
      tool_invalidate(slot_, dirty, count);
  }

  void erase() { show(Figure{}); }

private:
  int slot_;
  std::uint32_t generation_;
  Figure shown_;
};

// Whether Stop or Exit ended the latest wait: such a wait returns tool_taken
// too, with the points as far as they went. Worker thread.
bool ended_by_run_control = false;

int end_tool(int result)
{
  EndPointTool();
  return result;
}

// The wait shared by all tools. One-point tools put the click in `first` and
// show feedback(first, pointer) from the start; two-point tools take `first`,
// then track the pointer in `second` with feedback(first, second) until the
// second click. Stop and Exit return tool_taken with the points as they are.
template <class MakeFigure>
int wait_for_points(int slot, bool two_points, Point& first, Point& second, MakeFigure feedback)
{
  QEL_SelectImage(slot);
  // Exit ends any wait at once: there is nothing to wait for.
  ended_by_run_control = exit_asked();
  if (ended_by_run_control)
    return tool_taken;
  const char* first_prompt = two_points ? "Click the first point" : "Click a point";
  tool_show_status(first_prompt);
  tool_accept_drops(false);
  tool_slot = slot;
  // Flags left from an earlier tool (a cancel that came with its last click)
  // must not end this one. Starting a tool clears an earlier Stop.
  tool_clicked = tool_moved = tool_cancelled = 0;
  stop_requested.store(0, std::memory_order_release);
  tool_active.store(1, std::memory_order_release);

  ShownFigure shown(slot);
  if (!two_points)
    shown.show(feedback(first, Point{pointer_x, pointer_y}));
  bool have_first = false;
  for (;;) {
    tool_pump_messages();
    // A closed image takes its feedback with it; a re-created one never had it.
    if (!shown.slot_alive())
      return end_tool(tool_no_slot);
    if (exit_asked() || stop_requested.load(std::memory_order_acquire)) {
      shown.erase();
      ended_by_run_control = true;
      return end_tool(tool_taken);
    }
    if (tool_moved) {
      tool_moved = 0;
      const Point pointer{pointer_x, pointer_y};
      if (!two_points) {
        shown.show(feedback(first, pointer));
      } else if (have_first) {
        second = pointer;
        shown.show(feedback(first, second));
      }
    }
    if (tool_clicked) {
      tool_clicked = 0;
      const Point click{click_x, click_y};
      if (!two_points || have_first) {
        (two_points ? second : first) = click;
        shown.erase();
        return end_tool(tool_taken);
      }
      first = second = click;
      have_first = true;
      shown.show(feedback(first, second));
      tool_show_status("Click the second point");
    }
    if (tool_cancelled) {
      tool_cancelled = 0;
      shown.erase();
      if (!have_first)
        return end_tool(tool_cancel);
      // The cancel drops the first point only.
      first = second = Point{};
      have_first = false;
      tool_show_status(first_prompt);
    }
  }
}

// The tools' outputs are written unless the result is tool_no_slot: a bad
// slot, or one closed while the tool waited, leaves them as they were.
template <class MakeFigure>
int click_one_point(int slot, int* x, int* y, MakeFigure feedback)
{
  if (!slot_in_use(slot))
    return tool_no_slot;
  Point point, unused;
  const int result = wait_for_points(slot, false, point, unused, feedback);
  if (result != tool_no_slot) {
    put(x, point.x);
    put(y, point.y);
  }
  return result;
}

template <class MakeFigure>
int click_two_points(int slot, Point& first, Point& second, MakeFigure feedback)
{
  if (!slot_in_use(slot))
    return tool_no_slot;
  return wait_for_points(slot, true, first, second, feedback);
}

void put_points(int* x1, int* y1, int* x2, int* y2, Point a, Point b)
{
  put(x1, a.x);
  put(y1, a.y);
  put(x2, b.x);
  put(y2, b.y);
}

// floor(sqrt(n)) for n below 2^63; the double's guess is off by a few at most.
std::uint64_t isqrt(std::uint64_t n)
{
  auto s = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  while (s > 0 && s * s > n)
    --s;
  while ((s + 1) * (s + 1) <= n)
    ++s;
  return s;
}

// The distance rounded to the nearest integer, halves up: floor(2d) = s gives
// d in [s/2, (s+1)/2), so (s + 1) / 2 is the rounded value. Offsets beyond
// 2^30 cannot come from a window (client x 100 / zoom stays far below); the
// clamp keeps 4 (dx^2 + dy^2) within 64 bits.
int rounded_distance(Point a, Point b)
{
  auto offset = [](int from, int to) {
    constexpr std::int64_t limit = std::int64_t{1} << 30;
    const std::int64_t apart = std::llabs(std::int64_t{to} - from);
    return static_cast<std::uint64_t>(std::min(apart, limit));
  };
  const std::uint64_t dx = offset(a.x, b.x), dy = offset(a.y, b.y);
  return static_cast<int>((isqrt(4 * (dx * dx + dy * dy)) + 1) / 2);
}

} // namespace

int image_coordinate(int client, int zoom)
{
  if (zoom <= 0)
    return client;
  const std::int64_t v = std::int64_t{client} * 100 / zoom;
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

void tool_mouse_move(int slot, int client_x, int client_y, int zoom)
{
  if (!listening(slot))
    return;
  pointer_x = image_coordinate(client_x, zoom);
  pointer_y = image_coordinate(client_y, zoom);
  tool_moved = 1;
}

void tool_left_press(int slot, int client_x, int client_y, int zoom, bool shift)
{
  if (!listening(slot))
    return;
  click_x = image_coordinate(client_x, zoom);
  click_y = image_coordinate(client_y, zoom);
  tool_shift = shift ? 1 : 0;
  tool_clicked = 1;
}

bool tool_cancel_press(int slot)
{
  if (!tool_active.load(std::memory_order_relaxed))
    return false;
  if (listening(slot))
    tool_cancelled = 1;
  return true;
}

bool tool_points_clicked(int result)
{
  return result == tool_taken && !ended_by_run_control;
}

void EndPointTool()
{
  tool_active.store(0, std::memory_order_release);
  tool_slot = -1;
  // After Exit the main window is on its way out: leave it alone.
  if (exit_asked())
    return;
  char status[32];
  std::snprintf(status, sizeof status, "%d-bit color", tool_display_bits());
  tool_show_status(status);
  // A run of the user program refuses drops from its start to its end; a
  // tool that ends inside the run must not let them back in.
  if (user_running.load(std::memory_order_acquire) == 0)
    tool_accept_drops(true);
}

int QEL_ClickPoint(int slot, int* x, int* y)
{
  return click_one_point(slot, x, y, [](Point, Point) { return Figure{}; });
}

int QEL_ClickRow(int slot, int* x, int* y)
{
  const int width = slot_in_use(slot) ? image_slots[slot].width : 0;
  return click_one_point(slot, x, y, [width](Point, Point p) {
    return line_figure(0, p.y, width - 1, p.y);
  });
}

int QEL_ClickColumn(int slot, int* x, int* y)
{
  const int height = slot_in_use(slot) ? image_slots[slot].height : 0;
  return click_one_point(slot, x, y, [height](Point, Point p) {
    return line_figure(p.x, 0, p.x, height - 1);
  });
}

int QEL_ClickPlace(int slot, int w, int h, int* x, int* y)
{
  return click_one_point(slot, x, y, [w, h](Point, Point p) {
    return place_figure(p.x, p.y, w, h);
  });
}

int QEL_ClickLine(int slot, int* x1, int* y1, int* x2, int* y2)
{
  Point a, b;
  const int result = click_two_points(slot, a, b, [](Point p, Point q) {
    return line_figure(p.x, p.y, q.x, q.y);
  });
  if (result != tool_no_slot)
    put_points(x1, y1, x2, y2, a, b);
  return result;
}

int QEL_ClickBox(int slot, int* left, int* top, int* right, int* bottom)
{
  Point a, b;
  const int result = click_two_points(slot, a, b, [](Point p, Point q) {
    return box_figure(p.x, p.y, q.x, q.y);
  });
  if (result != tool_no_slot)
    put_points(left, top, right, bottom, {std::min(a.x, b.x), std::min(a.y, b.y)},
               {std::max(a.x, b.x), std::max(a.y, b.y)});
  return result;
}

int QEL_ClickCircle(int slot, int* cx, int* cy, int* r)
{
  Point centre, through;
  const int result = click_two_points(slot, centre, through, [](Point c, Point p) {
    return circle_figure(c.x, c.y, rounded_distance(c, p));
  });
  if (result != tool_no_slot) {
    put(cx, centre.x);
    put(cy, centre.y);
    put(r, rounded_distance(centre, through));
  }
  return result;
}
