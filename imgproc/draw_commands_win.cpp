// The image window's drawing commands: lines, boxes, circles, text, fill and
// the colour pick. Each takes its points from a point tool on the slot of the
// window it came from, draws there with the drawing primitives and repaints
// the window. A cancelled tool, an image closed meanwhile, Stop or Exit end a
// command without drawing. Win32 for the repaint.
#include <windows.h>

#include <cstdint>

#include "image/image_win.h"
#include "image/slots.h"
#include "imgproc/draw.h"
#include "imgproc/imgproc_win.h"
#include "imgproc/point_tools.h"
#include "qellib.h"
#include "shell/ids.h"
#include "shell/run_control.h"
#include "text/text_windows.h"

namespace {

// What a tool gave: one point (x1, y1), two corners or ends, or a centre and
// a radius.
struct Points {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0, radius = 0;
};

int click_point(int slot, Points& p) { return QEL_ClickPoint(slot, &p.x1, &p.y1); }
int click_row(int slot, Points& p) { return QEL_ClickRow(slot, &p.x1, &p.y1); }
int click_column(int slot, Points& p) { return QEL_ClickColumn(slot, &p.x1, &p.y1); }
int click_line(int slot, Points& p) { return QEL_ClickLine(slot, &p.x1, &p.y1, &p.x2, &p.y2); }
int click_box(int slot, Points& p) { return QEL_ClickBox(slot, &p.x1, &p.y1, &p.x2, &p.y2); }
int click_circle(int slot, Points& p) { return QEL_ClickCircle(slot, &p.x1, &p.y1, &p.radius); }

// Asks for a line of text in the prompt window, then puts the image text
// cursor at (x, y) with the margin at x. False when no line came: Exit, the
// prompt window closed, or the image closed or made anew meanwhile.
bool ask_text(int slot, int x, int y, char (&line)[line_size])
{
  const std::uint32_t generation = image_slots[slot].generation;
  line[0] = '\0';
  ensure_text_window();
  QEL_Printf("Text>");
  QEL_Gets(line);
  if (exit_state.load(std::memory_order_acquire) != 0 || !current_text_window_open() ||
      !same_image(slot, generation))
    return false;
  // Whatever ran while the line was typed, the text goes into this image.
  qel_current_image = slot;
  text_x = text_margin = x;
  text_y = y;
  return true;
}

// The drawings, into the slot's image, which the tool left current.
void line(int, const Points& p) { QEL_Line(qel_draw_colour, p.x1, p.y1, p.x2, p.y2); }
void box(int, const Points& p) { QEL_Box(p.x1, p.y1, p.x2, p.y2); }
void inverted_box(int, const Points& p) { XorFillBox(p.x1, p.y1, p.x2, p.y2); }
void circle(int, const Points& p) { QEL_Circle(qel_draw_colour, p.x1, p.y1, p.radius); }
void filled_circle(int, const Points& p) { QEL_FillCircle(p.x1, p.y1, p.radius); }
void inverted_circle(int, const Points& p) { XorFillCircle(p.x1, p.y1, p.radius); }
void paint(int, const Points& p) { QEL_Paint(p.x1, p.y1); }

void filled_box(int, const Points& p)
{
  QEL_FillBox(p.x1, p.y1, p.x2, p.y2, qel_draw_colour, qel_draw_colour);
}

// Across the whole image at the clicked row, or down it at the clicked column.
void row_line(int slot, const Points& p)
{
  QEL_Line(qel_draw_colour, 0, p.y1, image_slots[slot].width - 1, p.y1);
}

void column_line(int slot, const Points& p)
{
  QEL_Line(qel_draw_colour, p.x1, 0, p.x1, image_slots[slot].height - 1);
}

// Bitmap-font text in the drawing colour, from the point rightward, its
// cells standing on the point's row.
void bitmap_text(int slot, const Points& p)
{
  char line[line_size];
  if (!ask_text(slot, p.x1, p.y1, line))
    return;
  qel_tc = qel_draw_colour;
  QEL_ImagePrintf("%s", line);
}

// TrueType text as large as the box: cells half its width, lines its
// height, the first line's bottom on the box's bottom edge.
void truetype_text(int slot, const Points& p)
{
  char line[line_size];
  if (!ask_text(slot, p.x1, p.y2, line))
    return;
  QEL_TTSetFontSize(p.x2 - p.x1 + 1, p.y2 - p.y1 + 1);
  QEL_TTPutString(line);
}

// The clicked pixel becomes the drawing colour (the palette index on 8-bit
// images) and, as a colour, the TrueType text colour; the bitmap-text colour
// stays. Nothing in the image changes.
void pick(int slot, const Points& p)
{
  QEL_SelectImage(slot);
  const std::uint32_t value = QEL_GetPixel(p.x1, p.y1);
  qel_draw_colour = qel_tttc = value;
  std::uint32_t palette[256];
  if (QEL_GetPalette(palette) == 0)
    qel_tttc = palette[value & 255];
  QEL_RestoreImage();
}

// A command that selects makes the slot the current image before its tool
// starts, and leaves it so.
struct DrawRow {
  unsigned id;
  bool selects;
  int (*take)(int slot, Points& p);
  void (*draw)(int slot, const Points& p);
};

constexpr DrawRow draw_rows[] = {
    {img_cmd_colour_pick, false, click_point, pick},
    {img_cmd_line_normal, true, click_line, line},
    {img_cmd_line_horizontal, true, click_row, row_line},
    {img_cmd_line_vertical, true, click_column, column_line},
    {img_cmd_box, true, click_box, box},
    {img_cmd_box_fill, true, click_box, filled_box},
    {img_cmd_box_xor, true, click_box, inverted_box},
    {img_cmd_circle, true, click_circle, circle},
    {img_cmd_circle_fill, true, click_circle, filled_circle},
    {img_cmd_circle_xor, true, click_circle, inverted_circle},
    {img_cmd_draw_text, true, click_point, bitmap_text},
    {img_cmd_paint, true, click_point, paint},
    {img_cmd_tt_draw, true, click_box, truetype_text},
};

} // namespace

// The tool waits on the slot's window; the whole window is repainted once
// the figure is drawn.
void draw_command(int slot, unsigned id)
{
  for (const DrawRow& row : draw_rows) {
    if (row.id != id)
      continue;
    if (row.selects)
      QEL_SelectImage(slot);
    Points points;
    if (!tool_points_clicked(row.take(slot, points)))
      return;
    row.draw(slot, points);
    // No window: the image was closed while its text was awaited.
    if (const HWND window = slot_window(slot))
      InvalidateRect(window, nullptr, FALSE);
    return;
  }
}
