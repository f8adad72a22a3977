// The image window's two pop-up menus, as tables in display order: the edit
// menu (right button) and the tools menu (middle button, or right button with
// Ctrl). Win32 for the menus.
#include <windows.h>

#include <iterator>

#include "image/image_window_win.h"
#include "image/slots.h"
#include "shell/app_win.h"

namespace {

constexpr MenuRow separator{nullptr, 0};

constexpr MenuRow edit_rows[] = {
    {L"Cut\tCtrl+X", img_cmd_cut},
    {L"Copy\tCtrl+C", img_cmd_copy},
    {L"Paste\tCtrl+V", img_cmd_paste_click},
    separator,
    {L"&Load image file", img_cmd_load},
    {L"&Save as", img_cmd_save_as},
    separator,
    {L"Zoom: 50%", img_cmd_zoom_50},
    {L"Zoom:100%\tCtrl+0", img_cmd_zoom_100},
    {L"Zoom:200%", img_cmd_zoom_200},
    {L"&Zoom...", img_cmd_zoom_prompt},
    separator,
    {L"&Resize...", img_cmd_resize_prompt},
    {L"&Destroy\tCtrl+Q", img_cmd_destroy},
};

constexpr MenuRow process_rows[] = {
    {L"Invert", img_cmd_invert},
    separator,
    {L"R. Rotate", img_cmd_rotate_right},
    {L"L. Rotate", img_cmd_rotate_left},
    separator,
    {L"Horz. Flip", img_cmd_flip_horizontal},
    {L"Vert. Flip", img_cmd_flip_vertical},
    separator,
    {L"Size 50.0%", img_cmd_size_50},
    {L"Size 70.7%", img_cmd_size_70},
    {L"Size 141.4%", img_cmd_size_141},
    {L"Size 200.0%", img_cmd_size_200},
};

// The graphs of colour spaces need true colour; a palette image offers its
// luminance only.
constexpr MenuRow information_rows_32[] = {
    {L"Pixel", img_cmd_pixel},
    {L"Line(RGB)", img_cmd_line_rgb},
    {L"Line(HSV)", img_cmd_line_hsv},
    {L"Line(YCrCb)", img_cmd_line_ycrcb},
    {L"Line(CrCb)", img_cmd_line_crcb},
    separator,
    {L"Area(CrCb)", img_cmd_area_crcb},
};
constexpr MenuRow information_rows_8[] = {
    {L"Pixel", img_cmd_pixel},
    {L"Line(Lumi)", img_cmd_line_lumi},
};

constexpr MenuRow pattern_rows[] = {
    {L"RGB", img_cmd_pattern_rgb}, {L"HSV", img_cmd_pattern_hsv}, {L"YCrCb", img_cmd_pattern_ycrcb},
    {L"Yuv", img_cmd_pattern_yuv}, {L"YIQ", img_cmd_pattern_yiq}, {L"Grey", img_cmd_pattern_grey},
};
constexpr MenuRow colour_rows[] = {{L"Change", img_cmd_colour_change}, {L"Pick", img_cmd_colour_pick}};
constexpr MenuRow line_rows[] = {
    {L"Normal", img_cmd_line_normal}, {L"Horz.", img_cmd_line_horizontal}, {L"Vert.", img_cmd_line_vertical}};
constexpr MenuRow box_rows[] = {
    {L"Normal", img_cmd_box}, {L"Fill", img_cmd_box_fill}, {L"Fill XOR", img_cmd_box_xor}};
constexpr MenuRow circle_rows[] = {
    {L"Normal", img_cmd_circle}, {L"Fill", img_cmd_circle_fill}, {L"Fill XOR", img_cmd_circle_xor}};
constexpr MenuRow truetype_rows[] = {{L"Draw", img_cmd_tt_draw}, {L"Font Change", img_cmd_font_change}};

template <int count>
void show_tools_menu(HWND window, const MenuRow (&information_rows)[count])
{
  const MenuRow rows[] = {
      sub_menu(L"Process...", process_rows),
      separator,
      sub_menu(L"Information...", information_rows),
      separator,
      sub_menu(L"Test Pattern...", pattern_rows),
      separator,
      {L"Clipping\tCtrl+R", img_cmd_clipping},
      separator,
      sub_menu(L"Color...", colour_rows),
      sub_menu(L"Draw Line...", line_rows),
      sub_menu(L"Draw Box...", box_rows),
      sub_menu(L"Draw Circle...", circle_rows),
      sub_menu(L"TrueType...", truetype_rows),
      {L"Draw Text", img_cmd_draw_text},
      {L"Paint", img_cmd_paint},
  };
  track_popup_menu(build_popup_menu(rows, std::size(rows), nullptr, nullptr, nullptr), window);
}

// The zoom items carry a check mark at the zoom they name.
bool zoom_checked(UINT id, const void* context)
{
  const int zoom = *static_cast<const int*>(context);
  return (id == img_cmd_zoom_50 && zoom == 50) || (id == img_cmd_zoom_100 && zoom == 100) ||
         (id == img_cmd_zoom_200 && zoom == 200);
}

} // namespace

void show_image_menu(HWND window, int slot, bool tools)
{
  if (!slot_in_use(slot))
    return;
  if (tools) {
    if (image_slots[slot].bits == 8)
      show_tools_menu(window, information_rows_8);
    else
      show_tools_menu(window, information_rows_32);
    return;
  }
  const int zoom = image_slots[slot].zoom;
  track_popup_menu(build_popup_menu(edit_rows, std::size(edit_rows), nullptr, zoom_checked, &zoom),
                   window);
}
