// The window-edge list and the snap rule, and a rebuild and a snap racing on
// two threads.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "shell/edge_list.h"

namespace {

constexpr int screen_a = 1920, screen_b = 1103;   // 1080 + a 23-pixel caption
constexpr edge_rect elsewhere = {-1, -1, -1, -1};

edge_rect snapped(const std::vector<edge_rect>& windows, edge_rect proposed, edge_rect current = elsewhere,
                  bool ctrl = true)
{
  const edge_list list = build_edge_list(screen_a, screen_b, windows.data(), static_cast<int>(windows.size()));
  snap_to_edge_list(list, proposed, current, ctrl);
  return proposed;
}

} // namespace

TEST_CASE("edge list: screen strips first, then the windows in order, 260 at most")
{
  std::vector<edge_rect> windows(300, {3000, 10, 3100, 90});
  windows[255] = {1000, 500, 1100, 600};
  windows[256] = {1000, 700, 1100, 800};
  rebuild_edge_list(screen_a, screen_b, windows.data(), 300);
  const edge_list list = published_edge_list();
  REQUIRE(list.count == edge_list_capacity);
  CHECK(std::vector(list.entries, list.entries + 4) ==
        std::vector<edge_rect>{{-1000, 0, 0, screen_b}, {0, -1000, screen_a, 0},
                               {screen_a, 0, screen_a + 1000, screen_b}, {0, screen_b, screen_a, screen_b + 1000}});
  // Beside the 260th entry it snaps, beside the 261st it does not.
  edge_rect last = {1103, 520, 1203, 570}, dropped = {1103, 720, 1203, 770};
  snap_moving_rect(last, elsewhere, true);
  snap_moving_rect(dropped, elsewhere, true);
  CHECK(last == edge_rect{1100, 520, 1200, 570});
  CHECK(dropped == edge_rect{1103, 720, 1203, 770});
}

TEST_CASE("snap: screen edges within 7 pixels, only with Ctrl, ahead of windows; attach then align; never to itself")
{
  CHECK(snapped({}, {7, 100, 207, 300}) == edge_rect{0, 100, 200, 300});
  CHECK(snapped({}, {8, 100, 208, 300}) == edge_rect{8, 100, 208, 300});
  CHECK(snapped({}, {7, 100, 207, 300}, elsewhere, false) == edge_rect{7, 100, 207, 300});
  CHECK(snapped({}, {1726, 903, 1926, 1098}) == edge_rect{1720, 908, 1920, 1103});
  // A window edge 2 pixels away loses to the screen edge 5 pixels away.
  CHECK(snapped({{-300, 50, 3, 500}}, {5, 100, 205, 300}) == edge_rect{0, 100, 200, 300});
  // Overlaps are judged where the rectangle arrived: pulled 5 to the left by
  // the screen, it still lands under a window that only its arrival overlapped.
  CHECK(snapped({{201, 100, 400, 296}}, {5, 300, 205, 500}) == edge_rect{0, 296, 200, 496});

  // Beside or below another window: attached, then aligned.
  const std::vector<edge_rect> other = {{100, 100, 300, 400}};
  CHECK(snapped(other, {298, 105, 498, 305}) == edge_rect{300, 100, 500, 300});   // tops 5 apart: aligned
  CHECK(snapped(other, {303, 105, 503, 305}) == edge_rect{300, 105, 500, 305});   // arrived outside: no overlap yet
  CHECK(snapped(other, {106, 396, 206, 496}) == edge_rect{100, 400, 200, 500});   // below, lefts aligned
  CHECK(snapped(other, {203, 398, 303, 498}) == edge_rect{200, 400, 300, 500});   // below, rights aligned

  // Never to the moving window's own rectangle: pulled onto the screen's top
  // edge, it would then align with its own old left edge 4 pixels away; a
  // window one pixel off that place is another window.
  const edge_rect own = {100, 0, 300, 200}, proposed = {104, -3, 304, 197};
  CHECK(snapped({own}, proposed, own) == edge_rect{104, 0, 304, 200});
  CHECK(snapped({{100, 0, 300, 201}}, proposed, own) == edge_rect{100, 0, 300, 200});
}

TEST_CASE("edge list: rebuilds and snaps on two threads, every snap sees one rebuild")
{
  // Layout g: 1 + 30 g windows, all at (1000, 500, 1100 + g, 600).
  constexpr int layouts = 8;
  std::vector<edge_rect> windows(1 + 30 * layouts, {1000, 500, 1100, 600});
  rebuild_edge_list(screen_a, screen_b, windows.data(), 1);
  std::atomic<bool> done{false};
  std::thread rebuilder([&] {
    for (int k = 0; k < 10000; ++k) {
      const int g = k % layouts, count = 1 + 30 * g;
      std::fill_n(windows.begin(), count, edge_rect{1000, 500, 1100 + g, 600});
      rebuild_edge_list(screen_a, screen_b, windows.data(), count);
    }
    done.store(true);
  });
  int torn = 0, reads = 0;
  for (; !done.load() || reads < 1000; ++reads) {
    edge_rect moving = {1103, 520, 1203, 570};
    snap_moving_rect(moving, elsewhere, true);
    torn += moving.right - moving.left != 100 || moving.left < 1100 || moving.left >= 1100 + layouts;
    const edge_list list = published_edge_list();
    const int g = list.entries[4].right - 1100;
    torn += list.count != 5 + 30 * g;
    for (int i = 5; i < list.count; ++i)
      torn += !(list.entries[i] == list.entries[4]);
  }
  rebuilder.join();
  CHECK(torn == 0);
}
