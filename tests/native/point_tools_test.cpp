// The point tools on headless images, driven by a scripted pump that plays the
// image window procedure (moves, clicks, right clicks), Stop and Exit, and a
// window closed under a waiting tool; and the rectangles feedback repaints.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "imgproc/pixels.h"
#include "imgproc/rubber_band.h"
#include "tool_script.h"

namespace {

constexpr int A = 1, B = 2;   // the tool's window and another one
// Wide enough for the smallest window at 100 %, so zoom 100 stays 100.
constexpr int image_width = 144, image_height = 48;

void patterned_image(int slot, int zoom, unsigned seed)
{
  REQUIRE((QEL_CreateImage(slot, "t", 0, 0, image_width, image_height, zoom) == 0 && image_slots[slot].zoom == zoom));
  std::mt19937 rng(seed);
  const SlotPixels& p = slot_pixels[slot];
  for (int i = 0; i < p.width * p.height; ++i)
    p.pixels32[i] = rng() & 0xFFFFFF;
}

// Images A and B (B current) to run the tools on.
struct Images : Script {
  explicit Images(int zoom = 100)
  {
    patterned_image(A, zoom, 1);
    patterned_image(B, zoom, 2);
  }
};

Step exit_now() { return [] { stop_requested = 1; exit_state = 1; }; }

bool inverted(int x, int y, const std::vector<std::uint8_t>& before)
{
  std::uint32_t old;
  std::memcpy(&old, &before[std::size_t(y * image_width + x) * 4], 4);
  return QEL_GetPixel(x, y) == (old ^ 0xFFFFFF);
}

const HeadlessToolPlatform& platform() { return headless_tool_platform(); }

} // namespace

TEST_CASE("two-point tools: corners ordered, a cancel drops the first point, radius rounds; the place box's diagonals")
{
  Images s;
  int l, t, r, b;
  s << click(A, 10, 20) << move(A, 7, 25) << click(A, 5, 30, true);
  CHECK((QEL_ClickBox(A, &l, &t, &r, &b) == 0 && std::vector{l, t, r, b, tool_shift} == std::vector{5, 20, 10, 30, 1}));

  const auto before = bytes_of(A);
  s << click(A, 3, 4) << move(A, 40, 9) << [&] {
    CHECK((platform().status == "Click the second point" && bytes_of(A) != before));
  } << cancel(A) << [&] {
    CHECK((platform().status == "Click the first point" && bytes_of(A) == before));
  } << cancel(A);
  CHECK(QEL_ClickLine(A, &l, &t, &r, &b) == 1);

  int cx, cy, radius;
  s << click(A, 20, 20) << click(A, 23, 24);
  CHECK((QEL_ClickCircle(A, &cx, &cy, &radius) == 0 && cx == 20 && cy == 20 && radius == 5));
  s << click(A, 20, 20) << click(A, 21, 21);
  CHECK((QEL_ClickCircle(A, &cx, &cy, &radius) == 0 && radius == 1));

  // The place box has its diagonals from 9 x 9 on.
  const auto untouched = bytes_of(A);
  for (const int w : {9, 8}) {
    int x, y;
    s << move(A, 20, 20) << [&] {
      CHECK((inverted(16, 16, untouched) && inverted(16 + w - 1, 24, untouched)));
      CHECK((inverted(17, 17, untouched) == (w == 9) && !inverted(18, 17, untouched)));
    } << cancel(A);
    CHECK(QEL_ClickPlace(A, w, 9, &x, &y) == 1);
  }
  CHECK((bytes_of(A) == untouched && !s.ran_out));
}

TEST_CASE("whatever ends a tool, its feedback is erased to the byte, at zoom 100 and 200")
{
  struct Tool {
    const char* name;
    bool two_points;
    std::function<int(int*)> run;
  };
  const Tool tools[] = {
      {"point", false, [](int* o) { return QEL_ClickPoint(A, o, o + 1); }},
      {"row", false, [](int* o) { return QEL_ClickRow(A, o, o + 1); }},
      {"column", false, [](int* o) { return QEL_ClickColumn(A, o, o + 1); }},
      {"place", false, [](int* o) { return QEL_ClickPlace(A, 13, 11, o, o + 1); }},
      {"line", true, [](int* o) { return QEL_ClickLine(A, o, o + 1, o + 2, o + 3); }},
      {"box", true, [](int* o) { return QEL_ClickBox(A, o, o + 1, o + 2, o + 3); }},
      {"circle", true, [](int* o) { return QEL_ClickCircle(A, o, o + 1, o + 2); }},
  };
  enum Ending { by_click, by_cancel, by_stop, by_exit };
  for (const int zoom : {100, 200}) {
    Images s(zoom);
    // Client pixels of image pixel v at this zoom, its last client column.
    auto at = [scale = zoom / 100](int v) { return v * scale + scale - 1; };
    for (const Tool& tool : tools)
      for (const Ending ending : {by_click, by_cancel, by_stop, by_exit}) {
        INFO(tool.name, " at zoom ", zoom, ", ending ", int(ending));
        const auto before = bytes_of(A);
        if (tool.two_points)
          s << click(A, at(10), at(12));
        s << move(A, at(30), at(20)) << move(A, at(40), at(33)) << [&] {
          CHECK(platform().drops_accepted == false);
          if (tool.name != std::string("point"))
            CHECK(bytes_of(A) != before);
        };
        if (ending == by_click)
          s << click(A, at(21), at(41));
        else if (ending == by_cancel)
          s << cancel(A) << (tool.two_points ? cancel(A) : Step([] {}));
        else
          s << (ending == by_stop ? Step(press_stop) : exit_now());
        int out[4] = {};
        const int result = tool.run(out);
        CHECK((result == (ending == by_cancel ? 1 : 0) && tool_points_clicked(result) == (ending == by_click)));
        CHECK((bytes_of(A) == before && qel_current_image == A && tool_active == 0 && tool_slot == -1));
        // After Exit the main window is on its way out and is left alone.
        CHECK(platform().drops_accepted == (ending != by_exit));
        CHECK((ending == by_exit || platform().status == "32-bit color"));
        if (ending == by_click && !tool.two_points)
          CHECK((out[0] == 21 && out[1] == 41));
        if (ending == by_stop && tool.name == std::string("line"))
          CHECK((out[0] == 10 && out[1] == 12 && out[2] == 40 && out[3] == 33));
        CHECK(!s.ran_out);
        reset_run_control();
      }
  }
}

TEST_CASE("only the tool's window reaches it, no menu opens while it waits; a bad slot or a closed image: 2, undrawn")
{
  Images s;
  int x = 7, y = 7;
  CHECK(std::vector{QEL_ClickPoint(256, &x, &y), QEL_ClickBox(5, &x, &y, &x, &y), QEL_ClickPlace(-1, 9, 9, &x, &y)} ==
        std::vector{2, 2, 2});
  CHECK((x == 7 && y == 7 && platform().pumps == 0 && platform().status.empty()));

  CHECK(tool_cancel_press(A) == false);
  s << [&] {
    CHECK((platform().status == "Click a point" && tool_cancel_press(B)));
  } << move(B, 5, 5) << click(B, 5, 5) << cancel(A);
  CHECK(QEL_ClickPoint(A, &x, &y) == 1);

  std::vector<std::uint8_t> fresh;
  int l, t, r, b;
  s << click(A, 3, 3) << move(A, 50, 40) << [&] {
    QEL_DestroyImage(A);
    patterned_image(A, 100, 9);
    fresh = bytes_of(A);
  };
  CHECK((QEL_ClickBox(A, &l, &t, &r, &b) == 2 && bytes_of(A) == fresh && tool_active == 0));

  s << move(A, 5, 5) << [] { QEL_DestroyImage(A); };
  CHECK((QEL_ClickRow(A, &l, &t) == 2 && !s.ran_out));

  // Inside a run of the user program the main window keeps refusing drops.
  patterned_image(A, 100, 1);
  user_running = 1;
  headless_tool_platform().drops_accepted = false;
  s << click(A, 1, 2);
  CHECK((QEL_ClickPoint(A, &x, &y) == 0 && !platform().drops_accepted));
}

TEST_CASE("dirty rectangles hold every pixel a figure changes, and little more")
{
  Images s;
  const int w = image_width, h = image_height;
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coordinate(-40, 110);
  const SlotPixels& p = slot_pixels[A];
  QEL_SelectImage(A);
  for (int i = 0; i < 2000; ++i) {
    const int a = coordinate(rng), b = coordinate(rng), c = coordinate(rng), d = coordinate(rng);
    const Figure figures[] = {line_figure(a, b, c, d), box_figure(a, b, c, d),
                              place_figure(a, b, c / 2, d / 2), circle_figure(a, b, c + 40)};
    for (const Figure& f : figures) {
      std::fill(p.pixels32, p.pixels32 + w * h, 0u);
      draw_figure(f);
      // Clearing the rectangles, which lie inside the image, clears every change.
      const FigureCover cover = figure_cover(f, w, h);
      for (const PixelRect& r : std::span(cover.rects, cover.count))
        for (int y = r.top; y < r.bottom; ++y)
          std::fill(p.pixels32 + y * w + r.left, p.pixels32 + y * w + r.right, 0u);
      CHECK(std::count(p.pixels32, p.pixels32 + w * h, 0u) == w * h);
    }
  }
  // A full diagonal and a large circle on the big screen image cover a fraction.
  CHECK(cover_area(figure_cover(line_figure(0, 0, 1919, 1079), 1920, 1080)) < 1920 * 1080 / 12);
  CHECK(cover_area(figure_cover(circle_figure(960, 540, 500), 1920, 1080)) < 1000 * 1000 / 6);

  CHECK(client_rect_of({10, 20, 11, 21}, 100) == PixelRect{10, 20, 11, 21});
  CHECK(client_rect_of({10, 20, 11, 21}, 200) == PixelRect{19, 39, 23, 43});
  CHECK(client_rect_of({5, 10, 6, 11}, 50) == PixelRect{1, 4, 4, 7});
}
