// The image window's drawing commands as a user runs them, by menu command
// and clicks: each changes exactly the pixels its primitive draws into a
// second image; the pick reads 32- and 8-bit images; a cancel or Stop draws
// nothing.
#include <doctest/doctest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/draw.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

constexpr int A = 1, R = 2;   // the user's window and the reference image
constexpr int width = 144, height = 48;
constexpr std::uint32_t colour = 0x3399CC;

// Noise around a solid disc that a fill can spread through.
void fill_pattern(int slot)
{
  std::mt19937 rng(7);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      slot_pixels[slot].pixels32[y * width + x] =
          (x - 70) * (x - 70) + (y - 24) * (y - 24) < 300 ? 0x0000FF : rng() & 0xFFFFFF;
}

std::vector<std::uint32_t> pixels_of(int slot)
{
  const std::uint32_t* p = slot_pixels[slot].pixels32;
  return {p, p + width * height};
}

// Runs command `id` on A's window with the user's clicks (and a typed line),
// and waits until it has ended.
void run_command(unsigned id, const std::vector<POINT>& clicks, const char* typed = nullptr)
{
  post(slot_window(A), WM_COMMAND, id);
  REQUIRE(wait_until([] { return tool_active.load() != 0; }));
  REQUIRE(status_shows(clicks.size() == 2 ? "Click the first point" : "Click a point"));
  for (size_t i = 0; i < clicks.size(); ++i) {
    if (i == 1)
      REQUIRE(status_shows("Click the second point"));
    left_click(slot_window(A), clicks[i].x, clicks[i].y);
  }
  if (typed)
    REQUIRE(type_answer(typed));
  REQUIRE(wait_until([] { return tool_active.load() == 0 && line_input_owner.load() == 0; }));
}

struct Case {
  unsigned id;
  std::vector<POINT> clicks;
  const char* typed;
  std::function<void()> primitive;   // what the command must draw, into the current image
};

} // namespace

TEST_CASE("each drawing command draws exactly its primitive")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] {
            return QEL_CreateImage(R, "r", 400, 40, width, height, 100) +
                   QEL_CreateImage(A, "a", 20, 40, width, height, 100);
          }) == 0);
  const Case cases[] = {
      {img_cmd_line_normal, {{5, 7}, {100, 40}}, nullptr, [] { QEL_Line(colour, 5, 7, 100, 40); }},
      {img_cmd_line_horizontal, {{30, 12}}, nullptr, [] { QEL_Line(colour, 0, 12, width - 1, 12); }},
      {img_cmd_line_vertical, {{30, 12}}, nullptr, [] { QEL_Line(colour, 30, 0, 30, height - 1); }},
      {img_cmd_box, {{100, 40}, {5, 7}}, nullptr, [] { QEL_Box(5, 7, 100, 40); }},
      {img_cmd_box_fill, {{100, 7}, {5, 40}}, nullptr, [] { QEL_FillBox(5, 7, 100, 40, colour, colour); }},
      {img_cmd_box_xor, {{5, 40}, {100, 7}}, nullptr, [] { XorFillBox(5, 7, 100, 40); }},
      // A radius of 11.66 rounds to 12.
      {img_cmd_circle, {{70, 24}, {80, 30}}, nullptr, [] { QEL_Circle(colour, 70, 24, 12); }},
      {img_cmd_circle_fill, {{70, 24}, {80, 30}}, nullptr, [] { QEL_FillCircle(70, 24, 12); }},
      {img_cmd_circle_xor, {{70, 24}, {80, 30}}, nullptr, [] { XorFillCircle(70, 24, 12); }},
      {img_cmd_paint, {{72, 20}}, nullptr, [] { QEL_Paint(72, 20); }},
      {img_cmd_draw_text, {{10, 30}}, "Hi!\r",
       [] {
         text_x = text_margin = 10;
         text_y = 30;
         QEL_ImagePrintf("%s", "Hi!");
       }},
      {img_cmd_tt_draw, {{60, 5}, {10, 40}}, "Ag\r",
       [] {
         text_x = text_margin = 10;
         text_y = 40;
         QEL_TTSetFontSize(51, 36);
         QEL_TTPutString("Ag");
       }},
  };
  for (const Case& c : cases) {
    CAPTURE(c.id);
    on_worker([] {
      fill_pattern(A);
      fill_pattern(R);
      qel_draw_colour = colour;
      qel_tc = 0;
    });
    run_command(c.id, c.clicks, c.typed);
    CHECK(worker_value([&] {
      const std::vector<std::uint32_t> pattern = pixels_of(R);
      const bool current = qel_current_image == A;
      QEL_SelectImage(R);
      c.primitive();
      QEL_RestoreImage();
      return current && pixels_of(A) == pixels_of(R) && pixels_of(A) != pattern;
    }));
  }

  // A cancel, or Stop after the first corner, ends the command undrawn.
  const std::vector<std::uint32_t> before = worker_value([] { return pixels_of(A); });
  post(slot_window(A), WM_COMMAND, img_cmd_line_normal);
  REQUIRE(wait_until([] { return tool_active.load() != 0; }));
  right_click(slot_window(A), 5, 5);
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  post(slot_window(A), WM_COMMAND, img_cmd_box_fill);
  REQUIRE(status_shows("Click the first point"));
  left_click(slot_window(A), 5, 5);
  REQUIRE(status_shows("Click the second point"));
  mouse_move(slot_window(A), 50, 30);
  post(main_window, WM_COMMAND, cmd_stop);
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  CHECK(worker_value([] { return pixels_of(A); }) == before);
}

TEST_CASE("Pick takes the drawing colour from a pixel and the text colour from its colour")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  REQUIRE(worker_value([] {
            const std::uint32_t palette[6] = {0, 0, 0, 0, 0, 0xABCDEF};
            const int made = QEL_CreateImage(R, "r", 400, 40, width, height, 100) +
                             QEL_CreateImage8(A, "a", 20, 40, width, height, 100) +
                             QEL_SetPalette(palette, 6);
            slot_pixels[A].pixels8[9 * slot_pixels[A].stride + 7] = 5;
            slot_pixels[R].pixels32[9 * width + 7] = 0x123456;
            qel_tc = 0x777777;
            return made;
          }) == 0);
  run_command(img_cmd_colour_pick, {{7, 9}});
  CHECK(worker_value([] { return qel_draw_colour == 5 && qel_tttc == 0xABCDEF; }));

  // On the 32-bit image R, whose window the command comes from this time.
  post(slot_window(R), WM_COMMAND, img_cmd_colour_pick);
  REQUIRE(wait_until([] { return tool_active.load() != 0; }));
  left_click(slot_window(R), 7, 9);
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  CHECK(worker_value([] {
    return qel_draw_colour == 0x123456 && qel_tttc == 0x123456 && qel_tc == 0x777777 &&
           qel_current_image == R;
  }));
}
