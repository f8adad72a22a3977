// Parameter and run-loop state of the lenticular chart generator, the rules by
// which typed values and button presses change it, and the texts it produces
// (the four-line summary and the file names). Nothing here touches an image or
// a window: the run loop reads the fields and buttons, hands the values to
// these functions and carries out the Effect they return.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/zoom_fit.h"

// ---- Accepted values ------------------------------------------------------------
constexpr int min_chart_width = 120;
constexpr int max_chart_width = 1920;
constexpr int min_chart_height = 120;
constexpr int max_chart_height = 1240;
constexpr int max_step = max_chart_height;              // more bands than rows leaves every band empty
constexpr int max_pic_num = 16;                         // work image at most 92160 wide
constexpr int max_view_num = 3 * max_chart_width;       // a chart row has no more subpixels than this
constexpr std::int64_t max_work_bytes = std::int64_t{256} << 20; // 32-bit work image buffer
constexpr int work_zoom = 10;                           // the work image is shown at 10 %
constexpr int min_p_step_exponent = -6;
constexpr int max_p_step_exponent = 1;

// ---- Input items and buttons --------------------------------------------------------
enum chart_item {
  item_pitch = 0, item_p_step = 1, item_step = 2, item_pic_num = 3,
  item_view_num = 4, item_spare = 5, item_width = 6, item_height = 7,
  chart_item_count = 8
};
enum chart_button {
  button_cap = 0, button_rcap = 1, button_lenz_check = 2, button_break = 3,
  button_up = 4, button_down = 5, button_left = 6, button_right = 7,
  chart_button_count = 8
};

// ---- State -------------------------------------------------------------------------
// Everything starts at the set-up values; it lives for the whole process, so a
// run after "break" continues with the values of the one before.
struct ChartState {
  double pitch = 8.0;          // centre pitch in subpixels per lens
  double p_step = 1.0;         // pitch increment from band to band
  double first_pitch = 4.0;    // pitch of band 0 = pitch - highlight * p_step, never below 0
  int step = 10;               // number of bands
  int highlight = 4;           // band whose label is yellow
  int band_height = 48;        // rows per band = chart_height / step
  int pic_num = 2;             // pictures side by side in the source
  int view_num = 2;            // views under one lens
  int chart_width = 640;       // W
  int chart_height = 480;      // H
  int blend_enabled = 1;       // boundary blending
  int picture_width = 0;       // source width / pic_num, taken at start and Pic_num changes
  int source_height = 0;
  int band_origin = 0;         // first row group of the band being drawn

  int check_mode = 0;          // 1 while the check pattern is chosen
  int p_step_exponent = 0;     // x10 and /10 presses, kept within -6..1
  int resize_pending = 0;      // a new width or height waits to be applied
  int chart_x = 0;             // where the chart window opens
  int chart_y = 232;

  // Per item: the value read last and the value acted on last.
  double pitch_read = 8.0, last_pitch = 8.0;
  double p_step_read = 0.0, last_p_step = 0.0;
  int step_read = 0, last_step = 0;
  int pic_num_read = 2, last_pic_num = 2;
  int view_num_read = 2, last_view_num = 2;
  int width_read = 640, last_width = 640;
  int height_read = 480, last_height = 480;
};

// What the run loop does after a check or a button, in this order.
struct Effect {
  int restore_item = -1;       // a refused entry: write restore_value back into this item
  int restore_value = 0;
  bool refill_work = false;    // resize the work image and resample the source into it
  bool redraw = false;         // draw the chart and print the summary
  bool show_pitch = false;     // write pitch into item 0
  bool show_p_step = false;    // write p_step into item 1
};

// ---- Rules ---------------------------------------------------------------------------
bool recentre(ChartState& s);                                   // first_pitch from pitch; true when it clamped at 0
bool work_image_fits(int chart_width, int pic_num, int band_height); // the work image stays within max_work_bytes
bool work_image_creatable(int chart_width, int pic_num, int band_height,
                          const SizeLimits& limits);            // fits, and its window fits the limits at some zoom
void start_run(ChartState& s, int source_width, int source_height); // picture_width and source_height of a new run
int  work_image_width(const ChartState& s);                     // 3 * W * pic_num
void resample_scales(const ChartState& s, double* sx, double* sy); // source pixels per work pixel

// The item checks, in the order the run loop makes them. Those that re-create
// the work image take the loosest size limits it may be created with (the
// work image falls back to the loose limits of the screen).
Effect check_view_num(ChartState& s, int read);
Effect check_pic_num(ChartState& s, int read, int source_width, int source_height,
                     const SizeLimits& limits);
Effect check_pitch(ChartState& s, double read);
Effect check_step(ChartState& s, int read);
Effect check_p_step(ChartState& s, double read);
Effect check_width(ChartState& s, int read, const SizeLimits& limits);
Effect check_height(ChartState& s, int read, const SizeLimits& limits);

Effect press_up(ChartState& s);                                 // "↑": pitch - p_step
Effect press_down(ChartState& s);                               // "↓": pitch + p_step
Effect press_left(ChartState& s);                               // "←": p_step x 10
Effect press_right(ChartState& s);                              // "→": p_step / 10
bool toggle_check_mode(ChartState& s);                          // "lenz_check": true when the check pattern is next

// ---- Texts ----------------------------------------------------------------------------
std::array<std::string, 4> summary_lines(const ChartState& s);  // "pitch: %f\n", "dt: %f\n", "pic_num: %d\n", "view_num: %d\n"
std::string chart_file_name(const ChartState& s, bool turned);  // PNG name for "cap" (turned: "Rcap")
