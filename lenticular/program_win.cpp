// The chart generator's hooks: set-up lays out the summary window, the
// button box and the parameter form; the main routine draws the chart from
// the stereo pair in image 0 and polls buttons and fields until "break".
#include <windows.h>

#include <string>

#include "image/slot_backend.h"
#include "image/slots.h"
#include "lenticular/chart.h"
#include "lenticular/params.h"
#include "lenticular/program.h"
#include "qellib.h"
#include "text/text_windows.h"

namespace {

ChartState chart;

// The framework speaks the system code page; the program's own texts are
// written once, in Unicode, and converted for it. Where the code page lacks
// their characters (arrows and Japanese outside Japanese systems) the plain
// text stands in, rather than a row of question marks.
std::string ansi(const wchar_t* text, const char* fallback)
{
  char buffer[256];
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, &lossy) <= 0 ||
      lossy)
    return fallback;
  return buffer;
}

int slot_width(int slot)
{
  return slot_in_use(slot) ? image_slots[slot].width : 0;
}

int slot_height(int slot)
{
  return slot_in_use(slot) ? image_slots[slot].height : 0;
}

void redraw()
{
  DrawChart(chart);
  clear_text_window(current_text_window());
  for (const std::string& line : summary_lines(chart))
    QEL_Printf("%s", line.c_str());
}

SizeLimits loose_limits()
{
  return size_limits(backend_metrics(), 0);
}

// Carries out what a field check or a button asked for, in the order the
// rules expect: restore a refused field, refill the work image, redraw,
// then show the values that changed.
void apply(const Effect& effect)
{
  if (effect.restore_item >= 0)
    QEL_SetInputBoxInt(effect.restore_item, effect.restore_value);
  if (effect.refill_work)
    RefillWorkImage(chart);
  if (effect.redraw)
    redraw();
  if (effect.show_pitch)
    QEL_SetInputBoxReal(item_pitch, chart.pitch);
  if (effect.show_p_step)
    QEL_SetInputBoxReal(item_p_step, chart.p_step);
}

// The system's text for an error code, without its line end.
std::string error_text(DWORD error)
{
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, sizeof text, nullptr);
  std::string line = text[0] ? text : "error " + std::to_string(error);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
    line.pop_back();
  return line;
}

// A save that failed says so in the summary window: the file and why.
void report_failed_save(const std::string& name, const std::string& reason)
{
  QEL_Printf("%s not saved: %s\n", name.c_str(), reason.c_str());
}

void save_current(const std::string& name)
{
  if (QEL_SaveImage(slot_width(qel_current_image), slot_height(qel_current_image), QEL_PNG,
                    name.c_str()) != QEL_SAVED)
    report_failed_save(name, error_text(GetLastError()));
}

void save_chart()
{
  QEL_SelectImage(chart_slot);
  if (qel_current_image == chart_slot)
    save_current(chart_file_name(chart, false));
}

void save_turned_chart()
{
  // Without the turned copy there is nothing to save: the chart itself must
  // not be written under the turned name.
  if (QEL_CreateImage(turned_slot, "Rcap", 0, 0, chart.chart_height, chart.chart_width, 10) != 0 &&
      QEL_CreateImageFL(turned_slot, "Rcap", 0, 0, chart.chart_height, chart.chart_width, 10) != 0) {
    report_failed_save(chart_file_name(chart, true), "no image for the turned copy.");
    return;
  }
  TurnChart(chart.chart_width, chart.chart_height);
  QEL_SelectImage(turned_slot);
  save_current(chart_file_name(chart, true));
  if (slot_in_use(turned_slot))
    QEL_DestroyImage(turned_slot);
}

void toggle_lens_check()
{
  if (toggle_check_mode(chart))
    DrawLensCheck(chart);
  else
    redraw();
}

// The chart window's place when shown normally: a minimised window stands
// far off screen. The normal place counts from the work area's corner.
void remember_chart_place()
{
  if (HWND window = static_cast<HWND>(backend_window_handle(chart_slot))) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetWindowPlacement(window, &placement) &&
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      chart.chart_x = placement.rcNormalPosition.left + monitor.rcWork.left - monitor.rcMonitor.left;
      chart.chart_y = placement.rcNormalPosition.top + monitor.rcWork.top - monitor.rcMonitor.top;
    }
  }
  for (int slot : {0, 1, 2})
    if (slot_in_use(slot))
      QEL_DestroyImage(slot);
}

// Runs the handler of button i; false when it was "break".
bool handle_button(int i)
{
  switch (i) {
  case button_cap: save_chart(); break;
  case button_rcap: save_turned_chart(); break;
  case button_lenz_check: toggle_lens_check(); break;
  case button_break: remember_chart_place(); return false;
  case button_up: apply(press_up(chart)); break;
  case button_down: apply(press_down(chart)); break;
  case button_left: apply(press_left(chart)); break;
  case button_right: apply(press_right(chart)); break;
  default: break;
  }
  return true;
}

void check_items()
{
  const int source_width = slot_width(source_slot);
  const int source_height = slot_height(source_slot);
  apply(check_view_num(chart, QEL_GetInputBoxInt(item_view_num)));
  apply(check_pic_num(chart, QEL_GetInputBoxInt(item_pic_num), source_width, source_height,
                      loose_limits()));
  apply(check_pitch(chart, QEL_GetInputBoxReal(item_pitch)));
  apply(check_step(chart, QEL_GetInputBoxInt(item_step)));
  apply(check_p_step(chart, QEL_GetInputBoxReal(item_p_step)));
  apply(check_width(chart, QEL_GetInputBoxInt(item_width), loose_limits()));
  apply(check_height(chart, QEL_GetInputBoxInt(item_height), loose_limits()));
}

void apply_new_size()
{
  RefillWorkImage(chart);
  QEL_ResizeImage(chart_slot, chart.chart_width, chart.chart_height);
  redraw();
  chart.resize_pending = 0;
}

bool source_present()
{
  HWND window = static_cast<HWND>(backend_window_handle(source_slot));
  if (!slot_in_use(source_slot) || !window)
    return false;
  HDC dc = GetDC(window);
  const int mode = GetStretchBltMode(dc);
  ReleaseDC(window, dc);
  return mode != 0;
}

} // namespace

void chart_setup()
{
  chart = ChartState{};
  QEL_OpenTextWindow(0, 0, 0, 198, 198);

  QEL_OpenButtonBox(206, 0, 2, 4);
  QEL_SetButtonBoxTitle(1, "Rcap");
  QEL_SetButtonBoxTitle(0, "cap");
  QEL_SetButtonBoxTitle(2, "lenz_check");
  QEL_SetButtonBoxTitle(3, "break");
  QEL_SetButtonBoxTitle(4, ansi(L"\x2191", "^").c_str());
  QEL_SetButtonBoxTitle(5, ansi(L"\x2193", "v").c_str());
  QEL_SetButtonBoxTitle(6, ansi(L"\x2190", "<").c_str());
  QEL_SetButtonBoxTitle(7, ansi(L"\x2192", ">").c_str());

  // Titles and values of a closed box or of missing items are ignored.
  QEL_OpenInputBox(422, 0, 8);
  QEL_SetInputBoxTitle(item_pitch, "pitch");
  QEL_SetInputBoxReal(item_pitch, chart.pitch);
  QEL_SetInputBoxTitle(item_p_step, "p_step");
  QEL_SetInputBoxReal(item_p_step, chart.p_step);
  QEL_SetInputBoxTitle(item_step, "step");
  QEL_SetInputBoxInt(item_step, chart.step);
  QEL_SetInputBoxTitle(item_view_num, "View_num");
  QEL_SetInputBoxInt(item_view_num, chart.view_num_read);
  QEL_SetInputBoxTitle(item_pic_num, "Pic_num");
  QEL_SetInputBoxInt(item_pic_num, chart.pic_num_read);
  QEL_SetInputBoxTitle(item_spare, "----");
  QEL_SetInputBoxTitle(item_width, "Width");
  QEL_SetInputBoxInt(item_width, chart.width_read);
  QEL_SetInputBoxTitle(item_height, "Height");
  QEL_SetInputBoxInt(item_height, chart.height_read);
}

void chart_main()
{
  if (!source_present()) {
    QEL_Pause(ansi(L"\x30B9\x30C6\x30EC\x30AA\x30DA\x30A2\x753B\x50CF\x3092\x30C9\x30E9"
                   L"\x30C3\x30B0\x3057\x3066\x4E0B\x3055\x3044",
                     "Please drag a stereo pair image onto the main window.")
                    .c_str());
    return;
  }
  if (HWND source = static_cast<HWND>(backend_window_handle(source_slot)))
    SetWindowPos(source, nullptr, 0, 232, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  start_run(chart, slot_width(source_slot), slot_height(source_slot));
  OpenWorkImage(chart);
  QEL_CreateImage(chart_slot, "Hello,there!", chart.chart_x, chart.chart_y, chart.chart_width,
                  chart.chart_height, 100);
  redraw();

  // Exit ends the run wherever it is; the worker closes the windows.
  while (!qel_exit_requested()) {
    for (int i = 0; i < chart_button_count; ++i) {
      QEL_Printf("");
      if (QEL_ButtonPressed(i) && !handle_button(i))
        return;
    }
    check_items();
    if (chart.resize_pending)
      apply_new_size();
    PollPause();
  }
}
