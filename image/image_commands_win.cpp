// The image window's command table: each identifier that its menus, keys and
// posted commands use, and what it does on the window's slot. The zoom and
// size prompts, Load, Save as and Destroy are carried out here; the
// inspection, transform, drawing and clipboard commands pass to the files
// that do that work, and the colour and font dialogs to the drawing state's.
// Win32 for the dialogs' owner window.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "image/image_win.h"
#include "image/image_window_win.h"
#include "image/slots.h"
#include "imageio/imageio_win.h"
#include "imgproc/imgproc_win.h"
#include "qellib.h"
#include "shell/ids.h"
#include "shell/run_control.h"
#include "text/text_windows.h"

namespace {

// Asks in text window 0 (opened, or brought forward and made current) and
// reads the answer's leading number; text without digits gives 0. False when
// there was no answer: no window to ask in, Exit, or the window closed while
// the line was awaited.
bool ask_number(const char* prompt, int slot, int& value)
{
  if (QEL_OpenTextWindow(0, -1, -1, -1, -1) > QEL_WAS_OPEN)
    return false;
  QEL_Printf(prompt, slot);
  char line[line_size] = "";
  QEL_Gets(line);
  if (exit_state.load(std::memory_order_acquire) != 0 || !text_window_is_open(0))
    return false;
  // strtol saturates where atoi would overflow; long and int agree here.
  value = static_cast<int>(std::strtol(line, nullptr, 10));
  return true;
}

void zoom_prompt(int slot, unsigned)
{
  const std::uint32_t generation = image_slots[slot].generation;
  int zoom = 0;
  if (ask_number("[%d] Zoom(%%)=", slot, zoom) && same_image(slot, generation))
    QEL_ZoomImage(slot, zoom);
}

void resize_prompt(int slot, unsigned)
{
  const std::uint32_t generation = image_slots[slot].generation;
  int width = 0, height = 0;
  if (ask_number("[%d] New x-size(pixel)=", slot, width) &&
      ask_number("[%d] New y-size(pixel)=", slot, height) && same_image(slot, generation))
    QEL_ResizeImage(slot, width, height);
}

void zoom_to(int slot, unsigned id)
{
  QEL_ZoomImage(slot, id == img_cmd_zoom_50 ? 50 : id == img_cmd_zoom_100 ? 100 : 200);
}

void destroy(int slot, unsigned) { QEL_DestroyImage(slot); }
void load(int slot, unsigned) { load_image_file_command(slot); }
void save_as(int slot, unsigned) { save_image_as_command(slot); }
void colour_dialog(int slot, unsigned) { choose_drawing_colour(slot_window(slot)); }
void font_dialog(int slot, unsigned) { choose_text_font(slot_window(slot)); }

struct CommandRow {
  unsigned id;
  void (*run)(int slot, unsigned id);
};

// Identifiers 1004..1071 that are not listed belong to other window kinds
// and do nothing here.
constexpr CommandRow command_table[] = {
    {img_cmd_load, load},
    {img_cmd_destroy, destroy},
    {img_cmd_zoom_50, zoom_to},
    {img_cmd_zoom_100, zoom_to},
    {img_cmd_zoom_200, zoom_to},
    {img_cmd_save_as, save_as},
    {img_cmd_cut, clipboard_command},
    {img_cmd_copy, clipboard_command},
    {img_cmd_paste_click, clipboard_command},
    {img_cmd_paste_corner, clipboard_command},
    {img_cmd_pixel, inspect_command},
    {img_cmd_line_rgb, inspect_command},
    {img_cmd_line_hsv, inspect_command},
    {img_cmd_line_ycrcb, inspect_command},
    {img_cmd_clipping, inspect_command},
    {img_cmd_line_crcb, inspect_command},
    {img_cmd_area_crcb, inspect_command},
    {img_cmd_line_lumi, inspect_command},
    {img_cmd_colour_change, colour_dialog},
    {img_cmd_colour_pick, draw_command},
    {img_cmd_line_normal, draw_command},
    {img_cmd_line_horizontal, draw_command},
    {img_cmd_line_vertical, draw_command},
    {img_cmd_box, draw_command},
    {img_cmd_box_fill, draw_command},
    {img_cmd_box_xor, draw_command},
    {img_cmd_circle, draw_command},
    {img_cmd_circle_fill, draw_command},
    {img_cmd_circle_xor, draw_command},
    {img_cmd_draw_text, draw_command},
    {img_cmd_paint, draw_command},
    {img_cmd_tt_draw, draw_command},
    {img_cmd_font_change, font_dialog},
    {img_cmd_zoom_prompt, zoom_prompt},
    {img_cmd_resize_prompt, resize_prompt},
    {img_cmd_invert, process_command},
    {img_cmd_flip_horizontal, process_command},
    {img_cmd_flip_vertical, process_command},
    {img_cmd_rotate_right, process_command},
    {img_cmd_rotate_left, process_command},
    {img_cmd_size_50, process_command},
    {img_cmd_size_70, process_command},
    {img_cmd_size_141, process_command},
    {img_cmd_size_200, process_command},
    {img_cmd_pattern_rgb, process_command},
    {img_cmd_pattern_hsv, process_command},
    {img_cmd_pattern_ycrcb, process_command},
    {img_cmd_pattern_yuv, process_command},
    {img_cmd_pattern_yiq, process_command},
    {img_cmd_pattern_grey, process_command},
};

} // namespace

// A command that reaches the window while a point tool waits (posted before
// the tool began) is dropped: it could start a second tool inside the first,
// or change the image under its rubber band.
void run_image_command(int slot, unsigned id)
{
  if (!slot_in_use(slot) || tool_active.load(std::memory_order_acquire))
    return;
  for (const CommandRow& row : command_table)
    if (row.id == id) {
      row.run(slot, id);
      return;
    }
}
