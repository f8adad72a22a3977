// The point tools and the drawing commands that use them, in the real image
// windows, driven by the mouse messages a user causes: the tools' results
// and prompts once (their arithmetic is the native tests'); the rubber band
// on screen and gone to the pixel whatever ends a tool, at zoom 100 and 200;
// clicks on another window; drops refused; each command's pixels against
// its primitive drawn into a second image.
#include <doctest/doctest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/image_win.h"
#include "image/slots.h"
#include "image_files.h"
#include "imgproc/draw.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

constexpr int A = 1, B = 2;   // the user's window, and another one or the reference image
constexpr int width = 144, height = 48;
constexpr std::uint32_t colour = 0x3399CC;

// Noise, where a stray inverted pixel cannot hide, around a solid disc that
// a fill spreads through.
void fill_pattern(int slot)
{
  std::mt19937 rng(7);
  for (int i = 0; i < width * height; ++i) {
    const int x = i % width - 70, y = i / width - 24;
    slot_pixels[slot].pixels32[i] = x * x + y * y < 300 ? 0x0000FF : rng() & 0xFFFFFF;
  }
}

void make_image(int slot, int zoom, int left)
{
  REQUIRE(worker_value([=] {
            const int result = QEL_CreateImage(slot, "t", left, 40, width, height, zoom);
            fill_pattern(slot);
            QEL_ShowImage(slot);
            return result;
          }) == 0);
}

std::vector<std::uint32_t> pixels_of(int slot)   // on the worker
{
  return {slot_pixels[slot].pixels32, slot_pixels[slot].pixels32 + width * height};
}

std::vector<std::uint32_t> pixels_of_a() { return worker_value([] { return pixels_of(A); }); }

bool inverted(int x, int y, const std::vector<std::uint32_t>& before)
{
  return pixels_of_a()[y * width + x] == (before[y * width + x] ^ 0xFFFFFF);
}

// A's window shows its buffer as it is now, each pixel a square of
// zoom / 100. Read on the worker: a read from another thread can upset a paint.
bool window_shows_a()
{
  const int scale = image_slots[A].zoom / 100, w = width * scale;
  return wait_until([&] {
    return worker_value([&] {
      const std::vector<std::uint32_t> shown = window_pixels(slot_window(A), w, height * scale);
      for (int i = 0; i < w * height * scale; ++i)
        if (shown[i] != (slot_pixels[A].pixels32[i / w / scale * width + i % w / scale] & 0xFFFFFF))
          return false;
      return true;
    });
  });
}

// A left click on A once the status line asks for it. The first prompt of a
// tool shown means that the texts of the tools before it have been shown.
void click_when_asked(const char* prompt, POINT at)
{
  REQUIRE(status_shows(prompt));
  left_click(slot_window(A), at.x, at.y);
}

void click_all(const std::vector<POINT>& clicks)
{
  for (size_t i = 0; i < clicks.size(); ++i)
    click_when_asked(clicks.size() == 1 ? "Click a point"
                     : i == 0           ? "Click the first point"
                                        : "Click the second point",
                     clicks[i]);
}

int run_tool(const std::function<int()>& call, const std::vector<POINT>& clicks)
{
  WaitingCall tool(call);
  REQUIRE(tool.waiting());
  click_all(clicks);
  return tool.finish();
}

bool accepts_drops(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES; }

} // namespace

TEST_CASE("tools: results and prompts, clicks on another window, drops refused; the slot stays current")
{
  const std::wstring picture = fresh_test_folder(L"point_tools") + L"\\red.png";
  REQUIRE(magick_write({1, 1, {0xFF0000}}, {}, picture));
  JobsFramework framework;
  REQUIRE(framework.started);
  make_image(A, 100, 20);
  make_image(B, 100, 400);
  const HWND a = slot_window(A), b = slot_window(B);
  const std::vector<std::uint32_t> before = pixels_of_a();
  int v[4];

  // B's clicks reach neither the tool nor a menu; a drop on A is released
  // unread, and the main window takes none until the tool ends.
  WaitingCall point([&] { return QEL_ClickPoint(A, v, v + 1); });
  REQUIRE(point.waiting());
  CHECK(wait_until([] { return !accepts_drops(main_window); }));
  const HDROP drop = make_drop({picture});
  post(a, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  right_click(b, 5, 5);
  left_click(b, 7, 8);
  left_click(a, 30, 20);
  CHECK(point.finish() == 0);
  CHECK((v[0] == 30 && v[1] == 20 && GlobalSize(drop) == 0 && !context_menu_open()));
  CHECK(pixels_of_a() == before);
  CHECK(worker_value([] { return qel_current_image; }) == A);
  CHECK(wait_until([] { return accepts_drops(main_window); }));

  auto circle = [&] { return QEL_ClickCircle(A, v, v + 1, v + 2); };
  CHECK(run_tool([&] { return QEL_ClickBox(A, v, v + 1, v + 2, v + 3); }, {{10, 20}, {5, 30}}) == 0);
  CHECK(std::vector<int>(v, v + 4) == std::vector<int>{5, 20, 10, 30});
  CHECK((run_tool(circle, {{20, 20}, {23, 24}}) == 0 && v[2] == 5));
  CHECK((run_tool(circle, {{20, 20}, {21, 21}}) == 0 && v[2] == 1));

  WaitingCall line([&] { return QEL_ClickLine(A, v, v + 1, v + 2, v + 3); });
  REQUIRE(line.waiting());
  click_when_asked("Click the first point", {3, 4});
  REQUIRE(status_shows("Click the second point"));
  mouse_move(a, 40, 9);
  CHECK(wait_until([&] { return inverted(40, 9, before); }));
  right_click(a, 40, 9);
  CHECK(status_shows("Click the first point"));
  CHECK(wait_until([&] { return pixels_of_a() == before; }));
  right_click(a, 40, 9);
  CHECK(line.finish() == 1);

  // Diagonals from 9 x 9 on: (17, 17) lies on one, inside an 8 x 8 border
  // from (16, 16) too.
  for (const int size : {9, 8}) {
    WaitingCall place([&] { return QEL_ClickPlace(A, size, size, v, v + 1); });
    REQUIRE(place.waiting());
    mouse_move(a, 20, 20);
    const int corner = 15 + size;
    CHECK(wait_until([&] { return inverted(16, 16, before) && inverted(corner, corner, before); }));
    CHECK(inverted(17, 17, before) == (size == 9));
    right_click(a, 20, 20);
    CHECK(place.finish() == 1);
  }
  CHECK(pixels_of_a() == before);
}

TEST_CASE("a click, a cancel, Stop and Exit leave image and window as before, the band shown meanwhile")
{
  for (const int zoom : {100, 200}) {
    CAPTURE(zoom);
    JobsFramework framework;
    REQUIRE(framework.started);
    make_image(A, zoom, 20);
    const HWND a = slot_window(A);
    const std::vector<std::uint32_t> before = pixels_of_a();
    auto at = [zoom](int image_pixel) { return image_pixel * zoom / 100; };
    const std::pair<std::function<void()>, int> endings[] = {
        {[&] { left_click(a, at(95), at(30)); }, 0},
        {[&] { right_click(a, 0, 0); }, 1},
        {[] { post(main_window, WM_COMMAND, cmd_stop); }, 0},
        {[] { post(main_window, WM_COMMAND, cmd_exit); }, 0},
    };
    for (const auto& [end, result] : endings) {
      int x, y;
      WaitingCall place([&] { return QEL_ClickPlace(A, 61, 21, &x, &y); });
      REQUIRE(place.waiting());
      mouse_move(a, at(100), at(40));
      CHECK(wait_until([&] { return pixels_of_a() != before; }));
      CHECK(window_shows_a());
      end();
      CHECK(place.finish() == result);
      if (exit_state.load() != 0)
        break;
      CHECK(pixels_of_a() == before);
      CHECK(window_shows_a());
    }
    // After Exit the worker is gone; its image buffer is read as it was left.
    REQUIRE(wait_until([] { return exit_state.load() == 2; }));
    CHECK(pixels_of(A) == before);
  }
}

TEST_CASE("each drawing command draws exactly its primitive; Stop draws nothing; Pick")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  make_image(B, 100, 400);
  make_image(A, 100, 20);
  struct Case {
    unsigned id;
    std::vector<POINT> clicks;
    const char* typed;
    std::function<void()> primitive;   // what the command must draw, into the current image
  } const cases[] = {
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
      {img_cmd_draw_text, {{10, 30}}, "Hi!\r", [] {
         text_x = text_margin = 10;
         text_y = 30;
         QEL_ImagePrintf("%s", "Hi!");
       }},
      {img_cmd_tt_draw, {{60, 5}, {10, 40}}, "Ag\r", [] {
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
      fill_pattern(B);
      qel_draw_colour = colour;
    });
    post(slot_window(A), WM_COMMAND, c.id);
    click_all(c.clicks);
    if (c.typed)
      REQUIRE(type_answer(c.typed));
    REQUIRE(wait_until([] { return tool_active.load() == 0 && line_input_owner.load() == 0; }));
    CHECK(worker_value([&] {
      const std::vector<std::uint32_t> pattern = pixels_of(B);
      const bool current = qel_current_image == A;
      QEL_SelectImage(B);
      c.primitive();
      QEL_RestoreImage();
      return current && pixels_of(A) == pixels_of(B) && pixels_of(B) != pattern;
    }));
  }

  // Stop after the first corner: the tool gives points, the command draws none.
  const std::vector<std::uint32_t> before = pixels_of_a();
  post(slot_window(A), WM_COMMAND, img_cmd_box_fill);
  click_when_asked("Click the first point", {5, 5});
  REQUIRE(status_shows("Click the second point"));
  post(main_window, WM_COMMAND, cmd_stop);
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  CHECK(pixels_of_a() == before);

  // The picked pixel's value becomes the drawing colour and the TrueType
  // text colour; the bitmap-text colour stays.
  on_worker([] { slot_pixels[A].pixels32[9 * width + 7] = 0x123456; });
  post(slot_window(A), WM_COMMAND, img_cmd_colour_pick);
  click_all({{7, 9}});
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  CHECK(worker_value([] { return qel_draw_colour == 0x123456 && qel_tttc == 0x123456; }));
}
