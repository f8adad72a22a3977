#include "lenticular/params.h"

#include <cstdarg>
#include <cstdio>

namespace {

// printf into a string of whatever length the text needs: a pitch of 1e300
// prints 300 digits, and file names must not be cut silently.
__attribute__((format(printf, 1, 2)))
std::string formatted(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0)
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

Effect refused(int item, int shown)
{
  Effect e;
  e.restore_item = item;
  e.restore_value = shown;
  return e;
}

Effect redraw()
{
  Effect e;
  e.redraw = true;
  return e;
}

int centre_band(const ChartState& s)
{
  return (s.step - 1) / 2;
}

} // namespace

// Band 0 gets the pitch that puts `pitch` on the highlighted band. A pitch
// below 0 is not drawable as a lens, so band 0 stops at 0 and the centre pitch
// moves up with it (the + 0 turns a negative zero into zero).
bool recentre(ChartState& s)
{
  s.first_pitch = s.pitch - s.highlight * s.p_step;
  if (s.first_pitch < 0) {
    s.first_pitch = 0;
    s.pitch = s.highlight * s.p_step + 0;
    return true;
  }
  return false;
}

// The work image holds one column per subpixel for every picture. Its size is
// capped so that creating it cannot exhaust memory; a band height of 0 still
// makes a one-row image.
bool work_image_fits(int chart_width, int pic_num, int band_height)
{
  if (chart_width < 1 || pic_num < 1)
    return false;
  const std::int64_t rows = band_height < 1 ? 1 : band_height;
  return std::int64_t{3} * chart_width * pic_num * rows * 4 <= max_work_bytes;
}

// A wide work image with few rows can have no zoom at which its window is
// both tall enough and narrow enough for the limits; creating it would fail
// and leave the bands black.
bool work_image_creatable(int chart_width, int pic_num, int band_height, const SizeLimits& limits)
{
  if (!work_image_fits(chart_width, pic_num, band_height))
    return false;
  ZoomFit fit;
  return fit_zoom(3 * chart_width * pic_num, band_height < 1 ? 1 : band_height, work_zoom, limits,
                  &fit);
}

void start_run(ChartState& s, int source_width, int source_height)
{
  s.picture_width = source_width / s.pic_num;
  s.source_height = source_height;
}

int work_image_width(const ChartState& s)
{
  return 3 * s.chart_width * s.pic_num;
}

void resample_scales(const ChartState& s, double* sx, double* sy)
{
  *sx = static_cast<double>(s.picture_width) / (3 * s.chart_width);
  // With no rows per band nothing is sampled; 0 avoids dividing by zero.
  *sy = s.band_height > 0 ? static_cast<double>(s.source_height) / s.band_height : 0.0;
}

// Each check compares the item with the value acted on last (exactly: a NaN
// is always a change) and acts only on a change. Counts that are divisors of
// the drawing, or that would make the work image too large, are refused like
// an out-of-range size: the field shows the value in force again.

Effect check_view_num(ChartState& s, int read)
{
  s.view_num_read = read;
  if (read == s.last_view_num)
    return {};
  if (read < 1 || read > max_view_num) {
    s.view_num_read = s.view_num;
    return refused(item_view_num, s.view_num);
  }
  s.view_num = read;
  s.last_view_num = read;
  return redraw();
}

Effect check_pic_num(ChartState& s, int read, int source_width, int source_height,
                     const SizeLimits& limits)
{
  s.pic_num_read = read;
  if (read == s.last_pic_num)
    return {};
  if (read < 1 || read > max_pic_num ||
      !work_image_creatable(s.chart_width, read, s.band_height, limits)) {
    s.pic_num_read = s.pic_num;
    return refused(item_pic_num, s.pic_num);
  }
  s.picture_width = source_width / read;
  s.source_height = source_height;
  s.pic_num = read;
  s.last_pic_num = read;
  Effect e = redraw();
  e.refill_work = true;
  return e;
}

// A typed pitch that clamps leaves the typed text in the field, so it differs
// from last_pitch on every later pass and redraws each time until retyped.
Effect check_pitch(ChartState& s, double read)
{
  s.pitch_read = read;
  if (read == s.last_pitch)
    return {};
  s.pitch = read;
  s.highlight = centre_band(s);
  if (recentre(s))
    s.pitch_read = s.pitch;
  s.last_pitch = s.pitch_read;
  return redraw();
}

// The work image keeps its height until the next refill, so bands may read
// rows it does not have (black). As it is not re-created here, only its size
// is checked; a later width, height or picture change checks the window.
Effect check_step(ChartState& s, int read)
{
  s.step_read = read;
  if (read == s.last_step)
    return {};
  if (read < 1 || read > max_step ||
      !work_image_fits(s.chart_width, s.pic_num, s.chart_height / read)) {
    s.step_read = s.step;
    return refused(item_step, s.step);
  }
  s.highlight = (read - 1) / 2;
  s.step = read;
  recentre(s);
  s.band_height = s.chart_height / s.step;
  s.last_step = read;
  return redraw();
}

Effect check_p_step(ChartState& s, double read)
{
  s.p_step_read = read;
  if (read == s.last_p_step)
    return {};
  s.p_step = read;
  s.highlight = centre_band(s);
  recentre(s);
  s.last_p_step = read;
  return redraw();
}

// A new size is only noted here; the run loop applies it after all checks,
// so that a width and a height typed together resize once.
Effect check_width(ChartState& s, int read, const SizeLimits& limits)
{
  s.width_read = read;
  if (read == s.last_width)
    return {};
  if (read >= min_chart_width && read <= max_chart_width &&
      work_image_creatable(read, s.pic_num, s.band_height, limits)) {
    s.chart_width = read;
    s.last_width = read;
    s.resize_pending = 1;
    return {};
  }
  s.width_read = s.last_width;
  return refused(item_width, s.last_width);
}

Effect check_height(ChartState& s, int read, const SizeLimits& limits)
{
  s.height_read = read;
  if (read == s.last_height)
    return {};
  if (read >= min_chart_height && read <= max_chart_height &&
      work_image_creatable(s.chart_width, s.pic_num, read / s.step, limits)) {
    s.chart_height = read;
    s.last_height = read;
    s.resize_pending = 1;
    s.band_height = s.chart_height / s.step;
    return {};
  }
  s.height_read = s.last_height;
  return refused(item_height, s.last_height);
}

// While band 0 is at pitch 0 the arrows walk the yellow label instead of
// re-centring; below band 0 "↑" only lowers the pitch.
Effect press_up(ChartState& s)
{
  s.pitch = s.pitch - s.p_step;
  if (s.first_pitch != 0) {
    s.highlight = centre_band(s);
  } else {
    s.highlight = s.highlight - 1;
    if (s.highlight < 0) {
      s.highlight = 0;
      return {};
    }
  }
  recentre(s);
  s.last_pitch = s.pitch;
  Effect e = redraw();
  e.show_pitch = true;
  return e;
}

Effect press_down(ChartState& s)
{
  s.pitch = s.pitch + s.p_step;
  if (s.first_pitch != 0) {
    s.highlight = centre_band(s);
  } else {
    const int next = s.highlight + 1;
    s.highlight = next < centre_band(s) ? next : centre_band(s);
  }
  recentre(s);
  s.last_pitch = s.pitch;
  Effect e = redraw();
  e.show_pitch = true;
  return e;
}

// The arrows leave last_p_step and last_pitch alone: the next pass reads back
// the texts just written (10 digits) and acts on any difference.
Effect press_left(ChartState& s)
{
  s.p_step_exponent = s.p_step_exponent + 1;
  if (s.p_step_exponent > max_p_step_exponent) {
    s.p_step_exponent = max_p_step_exponent;
    return {};
  }
  s.p_step = s.p_step * 10;
  s.highlight = centre_band(s);
  Effect e = redraw();
  e.show_pitch = recentre(s);
  e.show_p_step = true;
  return e;
}

Effect press_right(ChartState& s)
{
  s.p_step_exponent = s.p_step_exponent - 1;
  if (s.p_step_exponent < min_p_step_exponent) {
    s.p_step_exponent = min_p_step_exponent;
    return {};
  }
  s.p_step = s.p_step / 10;
  s.highlight = centre_band(s);
  Effect e = redraw();
  e.show_pitch = recentre(s);
  e.show_p_step = true;
  return e;
}

bool toggle_check_mode(ChartState& s)
{
  s.check_mode = s.check_mode == 1 ? 0 : 1;
  return s.check_mode == 1;
}

std::array<std::string, 4> summary_lines(const ChartState& s)
{
  return {formatted("pitch: %f\n", s.pitch),
          formatted("dt: %f\n", s.pitch / s.view_num),
          formatted("pic_num: %d\n", s.pic_num),
          formatted("view_num: %d\n", s.view_num)};
}

// The chart names carry the pitch range of the bands; a turned copy swaps
// the size, as its image does.
std::string chart_file_name(const ChartState& s, bool turned)
{
  const int w = turned ? s.chart_height : s.chart_width;
  const int h = turned ? s.chart_width : s.chart_height;
  if (s.check_mode)
    return formatted(turned ? "lenti_check_R_%d_%d.png" : "lenti_check_%d_%d.png", w, h);
  const double last_pitch = (s.step - 1) * s.p_step + s.first_pitch;
  return formatted(turned ? "lenti_chart_R_%08.6f_%08.6f_%d_%d.png"
                          : "lenti_chart_%08.6f_%08.6f_%d_%d.png",
                   s.first_pitch, last_pitch, w, h);
}
