#include "shell/edge_list.h"

#include <algorithm>
#include <climits>
#include <mutex>

namespace {

// Screen sizes come from the system metrics and are far below this; the bound
// keeps the far edges of the screen strips (size + 1000) within int.
constexpr int max_screen_extent = 1 << 24;
constexpr int strip_depth = 1000;

void append(edge_list& list, const edge_rect& r)
{
  if (list.count < edge_list_capacity)
    list.entries[list.count++] = r;
}

// Moves one axis of the rectangle by `by` with both edges alike, so the size
// stays. An edge within a few pixels of the int range stops at its end rather
// than wrapping: only absurd rectangles get there.
void shift(int& low, int& high, long long by)
{
  low = static_cast<int>(std::clamp<long long>(low + by, INT_MIN, INT_MAX));
  high = static_cast<int>(std::clamp<long long>(high + by, INT_MIN, INT_MAX));
}

// Snaps one axis by the first of two offsets that is short enough; false when
// neither is.
bool pull(int& low, int& high, long long first, long long second)
{
  for (long long by : {first, second})
    if (by > -snap_distance && by < snap_distance) {
      shift(low, high, by);
      return true;
    }
  return false;
}

} // namespace

edge_list build_edge_list(int screen_width, int screen_height, const edge_rect* windows, int window_count)
{
  const int a = std::clamp(screen_width, 0, max_screen_extent);
  const int b = std::clamp(screen_height, 0, max_screen_extent);
  edge_list list;
  append(list, {-strip_depth, 0, 0, b});   // left of the screen
  append(list, {0, -strip_depth, a, 0});   // above it
  append(list, {a, 0, a + strip_depth, b}); // right of it
  append(list, {0, b, a, b + strip_depth}); // below it
  for (int i = 0; i < window_count; ++i)
    append(list, windows[i]);
  return list;
}

// Each axis snaps at most once, to the first entry in list order that
// qualifies, so the screen strips (first in the list) win over windows. All
// distances are measured from the rectangle as it arrived; a move on one axis
// does not change what the other axis is compared with.
void snap_to_edge_list(const edge_list& list, edge_rect& proposed, const edge_rect& current, bool ctrl_down)
{
  if (!ctrl_down)
    return;
  const long long l = proposed.left, t = proposed.top, r = proposed.right, b = proposed.bottom;
  bool x_snapped = false, y_snapped = false;
  for (int i = 0; i < list.count && !(x_snapped && y_snapped); ++i) {
    const edge_rect& e = list.entries[i];
    // The moving window's own entry, at the place it had at the last rebuild.
    if (e == current)
      continue;
    const bool overlaps_x = e.left <= r && e.right >= l;
    const bool overlaps_y = e.top <= b && e.bottom >= t;
    // Side by side: our left edge onto its right edge, or our right onto its left;
    // once attached, tops aligned or else bottoms.
    if (!x_snapped && overlaps_y)
      x_snapped = pull(proposed.left, proposed.right, e.right - l, e.left - r);
    if (!y_snapped && x_snapped && overlaps_x)
      y_snapped = pull(proposed.top, proposed.bottom, e.top - t, e.bottom - b);
    // One above the other: our top onto its bottom, or our bottom onto its top;
    // once attached, lefts aligned or else rights.
    if (!y_snapped && overlaps_x)
      y_snapped = pull(proposed.top, proposed.bottom, e.bottom - t, e.top - b);
    if (!x_snapped && y_snapped && overlaps_y)
      x_snapped = pull(proposed.left, proposed.right, e.left - l, e.right - r);
  }
}

// The published list. The GUI thread (main window moves) and the worker thread
// (all other windows) both rebuild it and snap against it. A short lock guards
// it and is held only for a copy of the used entries: a rebuild builds its list
// outside (the platform gathers the rectangles with system calls before that),
// and a snap copies the list out and runs the rule on its copy. So neither
// thread waits longer than one copy of at most 260 rectangles, every snap sees
// the entries of exactly one rebuild, and the lock never spans a system call.
// Two buffers behind an atomic index would avoid the lock but not the race:
// with two rebuilders, one can refill the buffer a slow reader is still in.
namespace {

std::mutex published_lock;
edge_list published;

void copy_used(edge_list& to, const edge_list& from)
{
  to.count = from.count;
  std::copy_n(from.entries, from.count, to.entries);
}

} // namespace

void rebuild_edge_list(int screen_width, int screen_height, const edge_rect* windows, int window_count)
{
  const edge_list fresh = build_edge_list(screen_width, screen_height, windows, window_count);
  const std::lock_guard hold(published_lock);
  copy_used(published, fresh);
}

edge_list published_edge_list()
{
  edge_list copy;
  const std::lock_guard hold(published_lock);
  copy_used(copy, published);
  return copy;
}

void snap_moving_rect(edge_rect& proposed, const edge_rect& current, bool ctrl_down)
{
  // Without Ctrl there is nothing to read: leave the list to the other thread.
  if (!ctrl_down)
    return;
  snap_to_edge_list(published_edge_list(), proposed, current, true);
}
