// The chart drawing written the slow, literal way: one framework call per
// sample and per pixel, selecting the image to read or write before every
// access. The direct-buffer drawing must give the same bytes; tests and the
// benchmark compare the two.
#pragma once

#include <cstdint>
#include <vector>

#include "image/slots.h"
#include "lenticular/chart.h"
#include "qellib.h"

namespace reference {

inline void ResampleSource(const ChartState& s, double sx, double sy)
{
  for (int r = 0; r < s.band_height; ++r) {
    const int ys = to_int(r * sy);
    for (int c = 0; c < 3 * s.chart_width * s.pic_num; ++c) {
      QEL_SelectImage(source_slot);
      const std::uint32_t v = QEL_GetPixel(to_int(c * sx), ys);
      QEL_SelectImage(work_slot);
      QEL_PutPixel(c, r, v);
    }
  }
}

inline void DrawBand(const ChartState& s, int i, double p)
{
  const int views = s.view_num;
  const int picture_columns = image_slots[work_slot].width / s.pic_num;
  const double dt = p / views;
  if (3 * s.chart_width <= 168)
    return;
  int column = 168;
  double boundary = dt;
  bool blend = false;
  double f = 0;
  const int groups = s.band_height / 3;
  std::vector<std::uint32_t> old(groups > 0 ? groups : 0);
  for (;;) {
    int v = 0;
    while (v < views) {
      for (int j = 0; j < groups; ++j) {
        QEL_SelectImage(work_slot);
        const std::uint32_t u = QEL_GetPixel(column + v * picture_columns + 3 * j, 3 * j);
        const std::uint32_t colour = blend && s.blend_enabled ? BlendColour(f, u, old[j]) : u;
        old[j] = u;
        QEL_SelectImage(chart_slot);
        PutSlantedTriple(column + 3 * j + i, colour, s.band_origin + j);
      }
      column = column + 1;
      blend = false;
      if (column >= to_int(boundary)) {
        v = v + 1;
        blend = true;
        f = boundary - to_int(boundary);
        boundary = boundary + dt;
      }
    }
    if (column >= 3 * s.chart_width)
      return;
  }
}

inline void DrawChart(ChartState& s)
{
  double p = s.first_pitch;
  QEL_SelectImage(chart_slot);
  QEL_FillBox(0, 0, s.chart_width, s.chart_height, 0, 0);
  for (int i = 0; i < s.step; ++i) {
    text_x = 0;
    text_margin = 0;
    text_y = i * s.band_height + 20;
    qel_tc = i == s.highlight ? 0xFFFF00u : 0xFFFFFFu;
    s.band_origin = (i * s.band_height) / 3;
    QEL_ImagePrintf("%.3f", p);
    reference::DrawBand(s, i, p);
    p = s.p_step + p;
  }
  QEL_ShowImage(qel_current_image);
}

inline void TurnChart(int width, int height)
{
  for (int x = 0; x < width; ++x)
    for (int k = 0; k < height; ++k) {
      QEL_SelectImage(chart_slot);
      const std::uint32_t v = QEL_GetPixel(x, height - 1 - k);
      QEL_SelectImage(turned_slot);
      QEL_PutPixel(k, x, v);
    }
}

} // namespace reference
