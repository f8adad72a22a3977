// Every number and name the windows of the framework share: command
// identifiers by window kind (menus, shortcut keys and posted commands use
// these numbers), window class names, the framework's private messages and
// the status line's control id. Portable: the Win32 files check the few
// values that must agree with the system's headers.
#pragma once

// ---- Main window --------------------------------------------------------------
enum MainCommand : unsigned {
  cmd_start = 1001,
  cmd_exit = 1002,
  cmd_stop = 1003,
  cmd_paste = 1026,
  cmd_image_window = 1027,
  cmd_text_window = 1028,
  cmd_input_box = 1044,
  cmd_window_info = 1045,      // also a text window command
  cmd_button_box = 1051,
};
constexpr int status_line_id = 2001;

// ---- Text windows ---------------------------------------------------------------
enum TextCommand : unsigned {
  text_cmd_destroy = 1006,
  text_cmd_about = 1020,
  text_cmd_start_log = 1024,
  text_cmd_stop_log = 1025,
  text_cmd_console = 1029,
  text_cmd_copy_log = 1030,
  text_cmd_window_info = cmd_window_info,
  text_cmd_select = 1069,
};

// ---- Input box and button box ------------------------------------------------------
enum InputBoxCommand : unsigned {
  ib_cmd_destroy = 1023,
  ib_cmd_rename = 1056,
};
enum ButtonBoxCommand : unsigned {
  bb_cmd_destroy = 1050,
  bb_cmd_rename = 1057,
  bb_cmd_first_button = 3000,  // button i sends bb_cmd_first_button + i
};

// ---- Image windows -----------------------------------------------------------------
// The image window dispatches 1004..1071; numbers in that range that are not
// listed here (those of the other window kinds) do nothing there.
enum ImageCommand : unsigned {
  img_cmd_first = 1004,
  img_cmd_load = 1004,
  img_cmd_destroy = 1005,
  img_cmd_zoom_50 = 1007,
  img_cmd_zoom_100 = 1008,
  img_cmd_zoom_200 = 1009,
  img_cmd_save_as = 1010,
  img_cmd_cut = 1011,
  img_cmd_copy = 1012,
  img_cmd_paste_click = 1013,
  img_cmd_paste_corner = 1014,
  img_cmd_pixel = 1015,
  img_cmd_line_rgb = 1016,
  img_cmd_line_hsv = 1017,
  img_cmd_line_ycrcb = 1018,
  img_cmd_clipping = 1019,
  img_cmd_line_crcb = 1021,
  img_cmd_area_crcb = 1022,
  img_cmd_colour_change = 1031,
  img_cmd_line_normal = 1032,
  img_cmd_line_horizontal = 1034,
  img_cmd_line_vertical = 1035,
  img_cmd_box = 1036,
  img_cmd_box_fill = 1037,
  img_cmd_box_xor = 1038,
  img_cmd_circle = 1039,
  img_cmd_circle_fill = 1040,
  img_cmd_circle_xor = 1041,
  img_cmd_draw_text = 1042,
  img_cmd_paint = 1043,
  img_cmd_zoom_prompt = 1046,
  img_cmd_resize_prompt = 1047,
  img_cmd_tt_draw = 1048,
  img_cmd_font_change = 1049,
  img_cmd_colour_pick = 1052,
  img_cmd_pattern_rgb = 1053,
  img_cmd_pattern_hsv = 1054,
  img_cmd_pattern_ycrcb = 1055,
  img_cmd_invert = 1058,
  img_cmd_flip_horizontal = 1059,
  img_cmd_flip_vertical = 1060,
  img_cmd_rotate_right = 1061,
  img_cmd_rotate_left = 1062,
  img_cmd_size_50 = 1063,
  img_cmd_size_70 = 1064,
  img_cmd_size_141 = 1065,
  img_cmd_size_200 = 1066,
  img_cmd_pattern_yuv = 1067,
  img_cmd_pattern_yiq = 1068,
  img_cmd_line_lumi = 1070,
  img_cmd_pattern_grey = 1071,
  img_cmd_last = 1071,
};

// ---- Window classes ------------------------------------------------------------------
// The main window's class carries the instance number: "qellib_mw%d".
constexpr const wchar_t* main_window_class_format = L"qellib_mw%d";
constexpr const wchar_t* image_window_class = L"qel_iw";
constexpr const wchar_t* text_window_class = L"qel_twi";
constexpr const wchar_t* input_box_class = L"qel_ib";
constexpr const wchar_t* button_box_class = L"qel_bb";
constexpr const wchar_t* wake_window_class = L"qel_wake";   // the worker's message-only window

// ---- Private messages ----------------------------------------------------------------
// Offsets from the system's first application message (WM_APP, 0x8000), one
// number each so that no two window kinds can mistake one for another.
constexpr unsigned app_message_base = 0x8000;
enum PrivateMessage : unsigned {
  msg_open_startup_files = app_message_base + 1,  // main window: open the command line's files
  msg_set_status = app_message_base + 2,          // main window: lparam = heap text to show, freed there
  msg_accept_drops = app_message_base + 3,        // main window: wparam = accept dropped files or not
  msg_paste_keys = app_message_base + 4,          // text window: clipboard line into the key ring
  msg_come_forward = app_message_base + 5,        // main window: to the foreground
  msg_wake_worker = app_message_base + 6,         // worker's wake window: look at Stop and Exit now
};

constexpr char framework_banner[] = "QELLIB 7.3  2009/4/30";
