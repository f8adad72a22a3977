// The point tools and the commands that take their points, in the real image
// windows, driven by the messages a user causes: a tool takes only its own
// window's clicks and the main window refuses drops meanwhile; each drawing
// command's pixels against its primitive drawn into a second image; the
// rubber band on screen and gone to the pixel whatever ends a tool; the
// inspection commands' readouts and result windows. The tools' arithmetic,
// the plots and the transforms are the native tests'.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "image/image_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "image_files.h"
#include "imgproc/draw.h"
#include "qel_test.h"
#include "text/log_file.h"
#include "worker_jobs.h"

namespace {

constexpr int A = 1, B = 2;   // the user's window, and another one or the reference image
constexpr int width = 144, height = 48;
constexpr std::uint32_t colour = 0x3399CC, red = 0xFF0000, blue = 0x0000FF, grey = 0x808080;

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

// A's window shows its buffer as it is now, each pixel a square of zoom / 100.
bool window_shows_a()
{
  const int scale = image_slots[A].zoom / 100;
  return slot_window_shows(A, width * scale, height * scale, [scale](int x, int y) {
    return slot_pixels[A].pixels32[y / scale * width + x / scale] & 0xFFFFFF;
  });
}

// A command of the slot's window and the clicks its point tool asks for, in
// image pixels, each once the status line asks for it; returns when the tool
// has ended. Posted to the one window, the clicks reach the tool in order.
void command(int slot, unsigned id, const std::vector<POINT>& clicks)
{
  post(slot_window(slot), WM_COMMAND, id);
  REQUIRE(wait_until([] { return tool_active.load() != 0; }));
  const int scale = image_slots[slot].zoom / 100;
  for (size_t i = 0; i < clicks.size(); ++i) {
    REQUIRE(status_shows(clicks.size() == 1 ? "Click a point"
                         : i == 0           ? "Click the first point"
                                            : "Click the second point"));
    left_click(slot_window(slot), clicks[i].x * scale, clicks[i].y * scale);
  }
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
}

bool accepts_drops(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES; }

void text_at(int x, int y)
{
  text_x = text_margin = x;
  text_y = y;
}

} // namespace

TEST_CASE("tools at zoom 200: only their window's clicks; each drawing command draws its primitive; the band erased whatever ends a tool")
{
  const std::wstring picture = fresh_test_folder(L"point_tools") + L"\\red.png";
  REQUIRE(magick_write({1, 1, {red}}, {}, picture));
  Started<JobsFramework> framework;
  make_image(B, 100, 400);
  make_image(A, 200, 20);
  const HWND a = slot_window(A), b = slot_window(B);

  // B's clicks reach neither the tool nor a menu; a drop on A is released
  // unread, and the main window takes none until the tool ends.
  std::vector<std::uint32_t> before = pixels_of_a();
  int v[2];
  WaitingCall point([&] { return QEL_ClickPoint(A, v, v + 1); });
  REQUIRE(point.waiting());
  CHECK(wait_until([] { return !accepts_drops(main_window); }));
  const HDROP drop = make_drop({picture});
  post(a, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  right_click(b, 5, 5);
  left_click(b, 7, 8);
  left_click(a, 61, 41);
  CHECK(point.finish() == 0);
  CHECK((v[0] == 30 && v[1] == 20 && GlobalSize(drop) == 0 && !context_menu_open()));
  CHECK(pixels_of_a() == before);
  CHECK(worker_value([] { return qel_current_image; }) == A);
  CHECK(wait_until([] { return accepts_drops(main_window); }));

  struct Case {
    unsigned id;
    std::vector<POINT> clicks;
    const char* typed;
    void (*primitive)();   // what the command must draw, into the current image
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
      {img_cmd_draw_text, {{10, 30}}, "Hi!\r", [] { text_at(10, 30); QEL_ImagePrintf("%s", "Hi!"); }},
      {img_cmd_tt_draw, {{60, 5}, {10, 40}}, "Ag\r", [] {
         text_at(10, 40);
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
    command(A, c.id, c.clicks);
    if (c.typed)
      REQUIRE(type_answer(c.typed));
    REQUIRE(wait_until([] { return line_input_owner.load() == 0; }));
    CHECK(worker_value([&] {
      const std::vector<std::uint32_t> pattern = pixels_of(B);
      const bool current = qel_current_image == A;
      QEL_SelectImage(B);
      c.primitive();
      QEL_RestoreImage();
      return current && pixels_of(A) == pixels_of(B) && pixels_of(B) != pattern;
    }));
  }

  // The picked pixel's value becomes the drawing colour and the TrueType
  // text colour.
  on_worker([] { slot_pixels[A].pixels32[9 * width + 7] = 0x123456; });
  command(A, img_cmd_colour_pick, {{7, 9}});
  CHECK(worker_value([] { return qel_draw_colour == 0x123456 && qel_tttc == 0x123456; }));

  // Stop after the first corner: the tool gives points, the command draws none.
  before = pixels_of_a();
  post(a, WM_COMMAND, img_cmd_box_fill);
  REQUIRE(status_shows("Click the first point"));
  left_click(a, 10, 10);
  REQUIRE(status_shows("Click the second point"));
  post(main_window, WM_COMMAND, cmd_stop);
  REQUIRE(wait_until([] { return tool_active.load() == 0; }));
  CHECK(pixels_of_a() == before);

  // The place box on screen while it waits; after a click, a cancel, Stop and
  // Exit the image and its window are as before.
  const std::pair<std::function<void()>, int> endings[] = {
      {[&] { left_click(a, 190, 60); }, 0},
      {[&] { right_click(a, 0, 0); }, 1},
      {[] { post(main_window, WM_COMMAND, cmd_stop); }, 0},
      {[] { post(main_window, WM_COMMAND, cmd_exit); }, 0},
  };
  for (const auto& [end, result] : endings) {
    int x, y;
    WaitingCall place([&] { return QEL_ClickPlace(A, 61, 21, &x, &y); });
    REQUIRE(place.waiting());
    mouse_move(a, 200, 80);
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

TEST_CASE("Pixel prints in text window 0; Line(RGB) opens at the top-left in slot 2; Line(YCrCb) of grey is flat; clips")
{
  RemovedLog log;
  Started<JobsFramework> framework;
  REQUIRE(worker_value([] {
            QEL_OpenTextWindow(0, 700, 600, 400, 300);
            QEL_CreateImage(0, "src", 300, 300, 640, 40, 100);
            std::fill_n(slot_pixels[0].pixels32, 640 * 40, grey);
            slot_pixels[0].pixels32[640 + 1] = red;
            QEL_CreateImage8(1, "idx", 300, 450, 160, 40, 100);
            slot_pixels[1].pixels8[3 * 160 + 2] = 42;
            return start_log_command(0);
          }) == 0);
  log.name = log_file_name(0);
  command(0, img_cmd_pixel, {{1, 1}});
  command(1, img_cmd_pixel, {{2, 3}});
  CHECK(wait_until([&] {
    return file_text(log.name) == "(X,Y)=(1,1)\r\n(R,G,B)=(255,0,0)\r\n(H,S,V)=(0,255,255)\r\n"
                                  "(Y,Cr,Cb)=(76,128,-42)\r\n(Y,u,v)=(76,-36,157)\r\n(Y,I,Q)=(76,152,53)\r\n\r\n"
                                  "(X,Y)=(2,3)\r\n(Luminance)=(42)\r\n\r\n";
  }));

  command(0, img_cmd_line_rgb, {{5, 2}});
  REQUIRE(wait_until([] { return slot_in_use(2); }));
  CHECK(window_text(slot_window(2)) == "RGB(Y=2)(100%)");
  CHECK((window_rect(slot_window(2)).left == 0 && window_rect(slot_window(2)).top == 0));
  CHECK((client_rect(slot_window(2)).right == 652 && client_rect(slot_window(2)).bottom == 128));

  // Cr and Cb of grey are 0, plotted + 128: row 127 - 128 * 127 / 255.
  on_worker([] { QEL_DestroyImage(2); });
  command(0, img_cmd_line_ycrcb, {{5, 2}});
  CHECK(slot_window_shows(2, 640, 1, [](int, int) { return 0x8888FFu; }, 20, 64));

  // An 8-bit clip keeps the palette; a 1 x 1 clip gets the smallest window.
  on_worker([] {
    const std::uint32_t palette[2] = {blue, red};
    QEL_SelectImage(1);
    QEL_SetPalette(palette, 2);
    std::fill_n(slot_pixels[1].pixels8 + 10 * 160, 160, 1);
  });
  command(1, img_cmd_clipping, {{150, 30}, {10, 8}});
  REQUIRE(wait_until([] { return slot_in_use(3); }));
  CHECK(window_text(slot_window(3)) == "(10,8)-(150,30)(100%)[8bit]");
  CHECK(slot_window_shows(3, 141, 23, [](int, int y) { return y == 2 ? red : blue; }));
  command(1, img_cmd_clipping, {{5, 5}, {5, 5}});
  REQUIRE(wait_until([] { return slot_in_use(4); }));
  const SizeLimits limits = size_limits(worker_value(backend_metrics), 1);
  const int side = std::max(limits.min_width, limits.min_height);
  CHECK((client_rect(slot_window(4)).right == side && client_rect(slot_window(4)).bottom == side));
}
