// Inspection commands. Whatever a command reads from the source image (a
// pixel, a row, a rectangle, the palette) is copied out before the result
// window is made: making a window may let other messages in, and the source
// could be gone afterwards. Sizes that come from the box tool are checked in
// 64 bits before anything is allocated.
#include "image/information.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/slot_backend.h"
#include "image/slots.h"
#include "imgproc/colour.h"
#include "imgproc/plots.h"
#include "imgproc/point_tools.h"
#include "imgproc/transform.h"
#include "qellib.h"
#include "text/text_windows.h"

namespace {

constexpr int title_size = 512;
constexpr int graph_height = 128;   // profiles span rows 0 (full scale) to 127 (zero)
constexpr int plane_size = 256;     // the Cb/Cr plane

struct Curve {
  int flags;
  std::uint32_t colour;
  const char* label;   // drawn in the curve's colour at the left edge
  int label_x;
};

struct RowGraph {
  Inspection command;
  const char* title;   // formatted with the row
  int left;            // x of the row's first point; the labels sit left of it
  int bits;            // the depth of image it reads
  Curve curves[3];     // unused ones have no label
};

constexpr RowGraph row_graphs[] = {
    {Inspection::line_rgb, "RGB(Y=%d)", 12, 32,
     {{profile_red | profile_lines, 0xFF0000, "R", 2},
      {profile_green | profile_lines, 0x00FF00, "G", 2},
      {profile_blue | profile_lines, 0x0000FF, "B", 2}}},
    {Inspection::line_hsv, "HSV(Y=%d)", 12, 32,
     {{profile_hue | profile_lines, 0xFFFF00, "H", 2},
      {profile_saturation | profile_lines, 0xFF00FF, "S", 2},
      {profile_value | profile_lines, 0x00FFFF, "V", 2}}},
    {Inspection::line_ycrcb, "YCrCb(Y=%d)", 20, 32,
     {{profile_luminance | profile_lines, 0xFFFFFF, "Y", 4},
      {profile_cr | profile_lines, 0xFF8888, "Cr", 2},
      {profile_cb | profile_lines, 0x8888FF, "Cb", 2}}},
    {Inspection::line_luminance, "Luminance(Y=%d)", 12, 8,
     {{profile_byte | profile_lines, 0xFFFFFF, "L", 2}, {}, {}}},
};

// The labels' baselines, first to third; each leaves the text cursor and
// colour where it was drawn.
constexpr int label_rows[] = {40, 72, 104};

// Which depth each command reads: the graphs are offered for one only.
bool offered(Inspection what, int bits)
{
  switch (what) {
  case Inspection::pixel:
  case Inspection::clipping: return true;
  case Inspection::line_luminance: return bits == 8;
  default: return bits == 32;
  }
}

// The lines "Pixel" prints.
std::string pixel_readout(int x, int y, std::uint32_t value, int bits)
{
  char text[print_buffer_size];
  if (bits == 8) {
    // The index itself: an 8-bit image's luminance is its palette index.
    std::snprintf(text, sizeof text, "(X,Y)=(%d,%d)\n(Luminance)=(%d)\n\n", x, y,
                  static_cast<int>(value & 255));
    return text;
  }
  const int luma = colour_y(value);
  std::snprintf(text, sizeof text,
                "(X,Y)=(%d,%d)\n(R,G,B)=(%d,%d,%d)\n(H,S,V)=(%d,%d,%d)\n"
                "(Y,Cr,Cb)=(%d,%d,%d)\n(Y,u,v)=(%d,%d,%d)\n(Y,I,Q)=(%d,%d,%d)\n\n",
                x, y, static_cast<int>(value >> 16 & 255), static_cast<int>(value >> 8 & 255),
                static_cast<int>(value & 255), QEL_GetH(value), QEL_GetS(value), QEL_GetV(value),
                luma, colour_cr(value), colour_cb(value), luma, colour_u(value), colour_v(value),
                luma, colour_i(value), colour_q(value));
  return text;
}

// A result window at the top-left: the lowest slot whose creation succeeds,
// or -1.
int create_result_image(const char* title, int width, int height, int bits)
{
  for (int slot = 0; slot < slot_count; ++slot) {
    const int made = bits == 8 ? QEL_CreateImage8(slot, title, 0, 0, width, height, 100)
                               : QEL_CreateImage(slot, title, 0, 0, width, height, 100);
    if (made == QEL_OK)
      return slot;
  }
  return -1;
}

std::uint32_t pixel_value(const SlotPixels& image, int x, int y)
{
  std::uint32_t word = 0;
  std::uint8_t byte = 0;
  read_block(image, x, y, SlotPixels{&word, &byte, 1, 1, 1, image.bits});
  return image.bits == 8 ? byte : word;
}

int read_out_pixel(int slot)
{
  int x = 0, y = 0;
  if (QEL_ClickPoint(slot, &x, &y) != tool_taken || !slot_in_use(slot))
    return 2;
  const SlotPixels& image = slot_pixels[slot];
  const std::string text = pixel_readout(x, y, pixel_value(image, x, y), image.bits);
  ensure_text_window();
  QEL_Printf("%s", text.c_str());
  return 0;
}

// The row commands: the clicked row is copied out, the result window made,
// then draw(row) fills it and the window repaints.
template <typename Draw>
int from_row(int slot, int bits, const char* title_format, int result_width, int result_height,
             Draw draw)
{
  int x = 0, y = 0;
  if (QEL_ClickRow(slot, &x, &y) != tool_taken || !slot_in_use(slot))
    return 2;
  PixelBuffer row;
  if (!allocate_pixels(slot_pixels[slot].width, 1, bits, &row))
    return 3;
  read_block(slot_pixels[slot], 0, y, row.view);
  char title[title_size];
  std::snprintf(title, sizeof title, title_format, y);
  const int result = create_result_image(title, result_width, result_height, 32);
  if (result < 0)
    return 4;
  draw(row.view);
  backend_invalidate(result);
  return 0;
}

int row_graph(int slot, const RowGraph& graph)
{
  const int width = slot_pixels[slot].width;
  return from_row(slot, graph.bits, graph.title, width + graph.left, graph_height,
                  [&graph, width](const SlotPixels& row) {
                    for (const Curve& curve : graph.curves)
                      if (curve.label)
                        PlotProfile(row.pixels8, graph.left, width, curve.flags, curve.colour);
                    for (int i = 0; i < 3 && graph.curves[i].label; ++i) {
                      text_x = text_margin = graph.curves[i].label_x;
                      text_y = label_rows[i];
                      qel_tc = graph.curves[i].colour;
                      QEL_PutString(graph.curves[i].label);
                    }
                  });
}

int row_chroma(int slot)
{
  return from_row(slot, 32, "CrCb(Y=%d)", plane_size, plane_size,
                  [](const SlotPixels& row) { PlotCrCbLine(row.pixels32, row.width); });
}

// The rectangle commands: the box is copied out (outside the image reads 0),
// then make(block, title) makes and fills the result; its slot, or -1.
template <typename Make>
int from_box(int slot, const char* title_format, Make make)
{
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  if (QEL_ClickBox(slot, &x1, &y1, &x2, &y2) != tool_taken || !slot_in_use(slot))
    return 2;
  const std::int64_t w = std::int64_t{x2} - x1 + 1, h = std::int64_t{y2} - y1 + 1;
  PixelBuffer block;
  if (w > INT_MAX || h > INT_MAX
      || !allocate_pixels(static_cast<int>(w), static_cast<int>(h), slot_pixels[slot].bits, &block))
    return 3;
  read_block(slot_pixels[slot], x1, y1, block.view);
  char title[title_size];
  std::snprintf(title, sizeof title, title_format, x1, y1, x2, y2);
  const int result = make(block.view, title);
  if (result < 0)
    return 4;
  QEL_ShowImage(result);
  return 0;
}

int area_chroma(int slot)
{
  return from_box(slot, "CrCb(%d,%d)-(%d,%d)", [](const SlotPixels& block, const char* title) {
    const int result = create_result_image(title, plane_size, plane_size, 32);
    if (result >= 0)
      PlotCrCbArea(block.height, block.pixels32, block.width);
    return result;
  });
}

// A copy of the rectangle at the source's depth; an 8-bit copy gets all 256
// palette entries of the source, so its indices mean the same colours.
int clip(int slot)
{
  return from_box(slot, "(%d,%d)-(%d,%d)", [slot](const SlotPixels& block, const char* title) {
    std::uint32_t palette[256] = {};
    if (block.bits == 8)
      backend_read_palette(slot, palette);
    const int result = create_result_image(title, block.width, block.height, block.bits);
    if (result < 0)
      return result;
    if (block.bits == 8)
      backend_write_palette(result, palette, 256);
    copy_pixels(block, slot_pixels[result]);
    return result;
  });
}

} // namespace

int run_inspection(int slot, Inspection what)
{
  if (!slot_in_use(slot) || !offered(what, image_slots[slot].bits))
    return 1;
  switch (what) {
  case Inspection::pixel: return read_out_pixel(slot);
  case Inspection::line_crcb: return row_chroma(slot);
  case Inspection::area_crcb: return area_chroma(slot);
  case Inspection::clipping: return clip(slot);
  default: break;
  }
  for (const RowGraph& graph : row_graphs)
    if (graph.command == what)
      return row_graph(slot, graph);
  return 1;
}
