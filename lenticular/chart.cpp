// The chart, its bands and the check pattern. Every parameter change redraws
// the whole chart, so the bands and the resampling work on the pixel buffers
// directly instead of one framework call per subpixel. The view schedule of a
// band depends only on the column, so it is worked out once per band; then,
// row group by row group, the samples of all columns are gathered once and
// packed straight into the pixels of the group's three rows, which show the
// same samples one subpixel apart. The result is the same, bit for bit, as
// sampling and writing one subpixel at a time through the current image.
#include "lenticular/chart.h"
#include "lenticular/chart_kernels.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <type_traits>
#include <vector>


#include "image/slots.h"
#include "qellib.h"

namespace {

// Scratch kept between bands and redraws, so a redraw allocates nothing once
// the chart has been drawn at its size. Per drawn column of the band being
// drawn: the work-image column its row group 0 reads (capped at the work
// width, which reads as black) and its view; and the columns to blend.
std::vector<int> band_sources;
std::vector<int> band_source_reach;  // one past the largest of band_sources[0..k]
std::vector<int> band_views;         // view of each column
int band_view_count = 0;
int band_picture_columns = 0;
std::vector<BlendedColumn> band_blends;
std::vector<std::uint32_t> band_colours;
std::vector<int> resample_columns;

const SlotPixels no_pixels{};

// A slot's pixels, or none (0 x 0) for a free slot: reads give black and
// writes go nowhere.
const SlotPixels& pixels_of(int slot)
{
  return slot_in_use(slot) ? slot_pixels[slot] : no_pixels;
}

template <typename T> T* row_of(const SlotPixels& p, std::int64_t y);
template <> std::uint32_t* row_of<std::uint32_t>(const SlotPixels& p, std::int64_t y)
{
  return p.pixels32 + y * p.stride;
}
template <> std::uint8_t* row_of<std::uint8_t>(const SlotPixels& p, std::int64_t y)
{
  return p.pixels8 + y * p.stride;
}

// Calls f with a zero value of the buffer's element type.
template <typename F> void with_element(const SlotPixels& p, F&& f)
{
  if (p.bits == 8)
    f(std::uint8_t{});
  else
    f(std::uint32_t{});
}

bool inside(const SlotPixels& p, std::int64_t x, std::int64_t y)
{
  return x >= 0 && y >= 0 && x < p.width && y < p.height;
}

std::uint32_t read_pixel(const SlotPixels& p, std::int64_t x, std::int64_t y)
{
  if (!inside(p, x, y))
    return 0;
  return p.bits == 8 ? row_of<std::uint8_t>(p, y)[x] : row_of<std::uint32_t>(p, y)[x];
}

void write_pixel(const SlotPixels& p, std::int64_t x, std::int64_t y, std::uint32_t value)
{
  if (!inside(p, x, y))
    return;
  if (p.bits == 8)
    row_of<std::uint8_t>(p, y)[x] = static_cast<std::uint8_t>(value);
  else
    row_of<std::uint32_t>(p, y)[x] = value;
}

// What filling the chart from (0, 0) to (W, H) black leaves, clipped to the
// image, except where a band will overwrite whole pixels anyway: every band
// draws each column from 168 to 3W - 1, so a band row is covered from the
// first whole pixel of its run up to W. Labels are drawn after the fill and
// before their band, so what the bands do not cover keeps them as it must.
void fill_black_around_bands(const ChartState& s, const SlotPixels& p)
{
  const std::int64_t right = std::min<std::int64_t>(s.chart_width, std::int64_t{p.width} - 1);
  const std::int64_t bottom = std::min<std::int64_t>(s.chart_height, std::int64_t{p.height} - 1);
  if (right < 0 || bottom < 0)
    return;
  const bool bands = 3 * s.chart_width > first_band_column && s.view_num >= 1 && s.pic_num >= 1;
  const int groups = s.band_height / 3;
  const std::int64_t covered_end = std::min<std::int64_t>(s.chart_width, p.width);
  int band = 0;
  auto origin = [&](int i) { return (i * s.band_height) / 3; };
  with_element(p, [&](auto zero) {
    using T = decltype(zero);
    for (std::int64_t y = 0; y <= bottom; ++y) {
      const std::int64_t g = y / 3;
      std::int64_t covered_from = covered_end;      // nothing covered
      if (bands && groups > 0) {
        while (band < s.step && origin(band) + groups <= g)
          ++band;
        if (band < s.step && origin(band) <= g) {
          const std::int64_t first = first_band_column + 3 * (g - origin(band)) + band + y % 3;
          covered_from = std::min((first + 2) / 3, covered_end);
        }
      }
      T* row = row_of<T>(p, y);
      const std::int64_t left_end = std::min(covered_from, right + 1);
      std::memset(row, 0, static_cast<std::size_t>(left_end) * sizeof(T));
      if (covered_end <= right)
        std::memset(row + covered_end, 0, static_cast<std::size_t>(right + 1 - covered_end) * sizeof(T));
    }
  });
}

// Subpixels q..end-1 of pixel q / 3 take the matching channels of their
// colours (colour[k] belongs to subpixel first + k); the pixel's other
// channels stay and its top byte is cleared, as a single subpixel write does.
template <typename T>
void merge_pixel(T* row, std::int64_t q, std::int64_t end, std::int64_t first,
                 const std::uint32_t* colour)
{
  T& pixel = row[q / 3];
  std::uint32_t keep = 0xFFFFFFu;
  std::uint32_t set = 0;
  for (; q < end; ++q) {
    const std::uint32_t mask = channel_mask[q % 3];
    keep &= ~mask;
    set |= colour[q - first] & mask;
  }
  pixel = static_cast<T>((pixel & keep) | set);
}

// Colours colour[0..count-1] go to subpixels first, first + 1, ... of row y
// (one channel each), clipped at the right edge of the image. Whole pixels
// from done_from to done_to have been written already.
template <typename T>
void write_subpixel_run(const SlotPixels& chart, std::int64_t y, std::int64_t first,
                        const std::uint32_t* colour, std::int64_t count,
                        std::int64_t done_from = 0, std::int64_t done_to = 0)
{
  const std::int64_t end = std::min(first + count, std::int64_t{3} * chart.width);
  if (first >= end)
    return;
  T* row = row_of<T>(chart, y);
  const std::int64_t first_whole = (first + 2) / 3;   // first pixel with all three subpixels in the run
  const std::int64_t end_whole = end / 3;             // pixels before it end inside the run
  if (first_whole > end_whole) {
    merge_pixel(row, first, end, first, colour);
    return;
  }
  if (first % 3 != 0)
    merge_pixel(row, first, first_whole * 3, first, colour);
  const std::uint32_t* c = colour - first;   // whole pixel x starts with c[3x]
  const std::int64_t skip_from = std::clamp(done_from, first_whole, end_whole);
  const std::int64_t skip_to = std::clamp(done_to, skip_from, end_whole);
  for (std::int64_t x = first_whole; x < skip_from; ++x)
    row[x] = static_cast<T>(packed(c + 3 * x));
  for (std::int64_t x = skip_to; x < end_whole; ++x)
    row[x] = static_cast<T>(packed(c + 3 * x));
  if (end % 3 != 0)
    merge_pixel(row, end_whole * 3, end, first, colour);
}

// Columns of band i in drawing order, from 168 up to the end of the period in
// which the chart's width is reached, but no further than the chart image
// (its own width, which is W unless the slot existed before the run): a
// column at or past the image's last subpixel draws nothing.
void schedule_band(const ChartState& s, double p, const SlotPixels& work, const SlotPixels& chart)
{
  const int views = s.view_num;
  const int picture_columns = work.width / s.pic_num;
  const double dt = p / views;
  const int chart_columns = 3 * s.chart_width;
  const std::int64_t visible = std::int64_t{3} * chart.width;
  const std::size_t most =
      visible > first_band_column ? static_cast<std::size_t>(visible - first_band_column) : 0;
  band_sources.resize(most);
  band_source_reach.resize(most);
  band_views.resize(most);
  band_blends.clear();
  band_view_count = views;
  band_picture_columns = picture_columns;

  std::size_t k = 0;
  int reach = 0;
  int column = first_band_column;
  double boundary = dt;           // next view boundary, in subpixels from the left edge
  bool blend = false;
  double f = 0;
  int view = 0;
  while (column < visible) {
    // The columns up to the next boundary show one view; while the boundary
    // lags behind the column, every column crosses one.
    const int crossed = to_int(boundary);
    const int run_end = static_cast<int>(
        std::min<std::int64_t>(std::max<std::int64_t>(crossed, std::int64_t{column} + 1), visible));
    // A fraction of 0 leaves the new sample's channels as they are.
    if (blend && s.blend_enabled && f != 0)
      band_blends.push_back({static_cast<int>(k), f});
    const std::int64_t shift = std::int64_t{view} * picture_columns;
    for (; column < run_end; ++column, ++k) {
      const int source = static_cast<int>(std::min<std::int64_t>(column + shift, work.width));
      reach = std::max(reach, source + 1);
      band_sources[k] = source;
      band_source_reach[k] = reach;
      band_views[k] = view;
    }
    if (column < crossed)
      break;                      // the image ends before the boundary
    ++view;
    blend = true;
    f = boundary - crossed;
    boundary = boundary + dt;
    if (view == views) {
      if (column >= chart_columns)
        break;
      view = 0;
    }
  }
  band_sources.resize(k);
  band_source_reach.resize(k);
  band_views.resize(k);
}

// The colours of one row group j of a band, column by column: the work
// image's samples on row 3j, shifted 3j columns right, each view's first
// column blended with the sample of the column before it.
template <typename W>
void sample_row_group(const SlotPixels& work, int j, std::uint32_t* colour)
{
  const std::size_t n = band_sources.size();
  const int* source = band_sources.data();
  const std::int64_t y = std::int64_t{3} * j;
  if (y >= work.height) {
    std::fill(colour, colour + n, 0u);
  } else {
    const W* row = row_of<W>(work, y) + y;    // the shift of 3j columns
    const std::int64_t width = work.width - y;
    // Up to `inside` every column reads inside the row; the rest may not.
    const std::size_t inside = static_cast<std::size_t>(
        std::upper_bound(band_source_reach.begin(), band_source_reach.end(), width) -
        band_source_reach.begin());
    std::size_t k = 0;
    if constexpr (sizeof(W) == 4)
      k = select_views(row, width, inside, colour, band_views.data(), band_view_count,
                       band_picture_columns);
    for (; k < inside; ++k)
      colour[k] = row[source[k]];
    for (k = inside; k < n; ++k)
      colour[k] = source[k] < width ? std::uint32_t{row[source[k]]} : 0u;
  }
  blend_columns(band_blends.data(), band_blends.size(), colour);
}

template <typename W, typename C>
void draw_band_rows(const ChartState& s, int i, const SlotPixels& work, const SlotPixels& chart)
{
  const int groups = s.band_height / 3;
  const std::size_t n = band_sources.size();
  // Two more colours than columns: the last packed pixels read past the end.
  band_colours.assign(n + 2, 0u);
  std::uint32_t* colour = band_colours.data();
  for (int j = 0; j < groups; ++j) {
    const std::int64_t top = std::int64_t{3} * (std::int64_t{s.band_origin} + j);
    if (top >= chart.height)
      break;
    sample_row_group<W>(work, j, colour);
    // Row 3g + t shows the column's sample on subpixel column + 3j + i + t:
    // the slant of one subpixel per pixel row.
    const std::int64_t first = first_band_column + std::int64_t{3} * j + i;
    std::int64_t done_from = 0;
    std::int64_t done_to = 0;
    if constexpr (sizeof(C) == 4) {
      // Where all three rows have whole pixels, they are written together.
      if (top >= 0 && top + 2 < chart.height) {
        std::uint32_t* const rows[3] = {row_of<C>(chart, top), row_of<C>(chart, top + 1),
                                        row_of<C>(chart, top + 2)};
        const std::int64_t end =
            std::min(first + static_cast<std::int64_t>(n), std::int64_t{3} * chart.width);
        done_from = (first + 4) / 3;
        done_to = write_row_group(rows, first, colour, done_from, std::max(end / 3, done_from));
      }
    }
    for (int t = 0; t < 3; ++t) {
      const std::int64_t y = top + t;
      if (y < 0 || y >= chart.height)
        continue;
      write_subpixel_run<C>(chart, y, first + t, colour, static_cast<std::int64_t>(n),
                            done_from, done_to);
    }
  }
}

} // namespace

// Reads the three pixels first, then writes them in row order; each write
// replaces one channel and clears the top byte.
void PutSlantedTriple(int a, std::uint32_t colour, int g)
{
  if (a < 0)
    return;
  std::int64_t x[3];
  std::int64_t y[3];
  std::uint32_t old[3];
  bool representable[3];
  for (int t = 0; t < 3; ++t) {
    x[t] = (std::int64_t{a} + t) / 3;
    y[t] = std::int64_t{3} * g + t;
    // Rows beyond int (a huge row group) cannot be inside any image.
    representable[t] = y[t] >= INT_MIN && y[t] <= INT_MAX;
    old[t] = representable[t] ? QEL_GetPixel(static_cast<int>(x[t]), static_cast<int>(y[t])) : 0;
  }
  for (int t = 0; t < 3; ++t) {
    if (!representable[t])
      continue;
    const std::uint32_t mask = channel_mask[(a + std::int64_t{t}) % 3];
    QEL_PutPixel(static_cast<int>(x[t]), static_cast<int>(y[t]),
                 (old[t] & 0xFFFFFFu & ~mask) | (colour & mask));
  }
}

// Nearest neighbour without rounding: work column c samples source column
// trunc(c x sx), row r samples trunc(r x sy); picture k of the source lands
// in columns 3Wk to 3W(k+1) - 1.
void ResampleSource(const ChartState& s, double sx, double sy)
{
  // A work image that could not be created must not send the writes to
  // whatever image is current: that would be the source picture itself.
  if (!slot_in_use(work_slot))
    return;
  const SlotPixels& work = slot_pixels[work_slot];
  const SlotPixels& source = pixels_of(source_slot);
  const std::int64_t columns =
      std::min<std::int64_t>(std::int64_t{3} * s.chart_width * s.pic_num, work.width);
  const std::int64_t rows = std::min<std::int64_t>(s.band_height, work.height);

  resample_columns.resize(columns > 0 ? static_cast<std::size_t>(columns) : 0);
  for (std::int64_t c = 0; c < columns; ++c)
    resample_columns[c] = to_int(static_cast<double>(c) * sx);

  with_element(source, [&](auto source_zero) {
    using S = decltype(source_zero);
    with_element(work, [&](auto work_zero) {
      using W = decltype(work_zero);
      for (std::int64_t r = 0; r < rows; ++r) {
        const int ys = to_int(static_cast<double>(r) * sy);
        const bool has_row = ys >= 0 && ys < source.height;
        const S* from = has_row ? row_of<S>(source, ys) : nullptr;
        const unsigned width = has_row ? static_cast<unsigned>(source.width) : 0u;
        W* to = row_of<W>(work, r);
        for (std::int64_t c = 0; c < columns; ++c) {
          const unsigned xs = static_cast<unsigned>(resample_columns[c]);
          to[c] = static_cast<W>(xs < width ? std::uint32_t{from[xs]} : 0u);
        }
      }
    });
  });
  QEL_SelectImage(work_slot);
}

// The work image is 3W x pic_num columns by band_height rows, shown at 10 %.
// A wide image with few rows may have no zoom within the screen limits (it
// cannot reach the minimum window height without being wider than the
// screen); it is then made with the loose limits, so that the bands do not
// read black. A slot already in use is kept at its size.
void OpenWorkImage(const ChartState& s)
{
  const int w = work_image_width(s);
  if (QEL_CreateImage(work_slot, "work", 0, 300, w, s.band_height, work_zoom) == 2)
    QEL_CreateImageFL(work_slot, "work", 0, 300, w, s.band_height, work_zoom);
  double sx = 0;
  double sy = 0;
  resample_scales(s, &sx, &sy);
  ResampleSource(s, sx, sy);
  QEL_ShowImage(work_slot);
}

void RefillWorkImage(const ChartState& s)
{
  if (QEL_ResizeImage(work_slot, work_image_width(s), s.band_height) == 2)
    QEL_CreateImageFL(work_slot, "work", 0, 300, work_image_width(s), s.band_height, work_zoom);
  double sx = 0;
  double sy = 0;
  resample_scales(s, &sx, &sy);
  ResampleSource(s, sx, sy);
  QEL_ShowImage(work_slot);
}

// Band i interleaves the views at pitch p: view v shows picture v, sampled
// along the slant it is drawn on (views beyond the pictures read black); the
// first column of each view is blended with the column before it by the
// fraction of that column that lies before the boundary. The band is shifted
// right by i subpixels.
void DrawBand(const ChartState& s, int i, double p)
{
  // Counts below 1 are refused before they get here; they are divisors.
  if (!slot_in_use(chart_slot) || s.view_num < 1 || s.pic_num < 1)
    return;
  if (3 * s.chart_width <= first_band_column)
    return;
  const SlotPixels& chart = slot_pixels[chart_slot];
  const SlotPixels& work = pixels_of(work_slot);
  schedule_band(s, p, work, chart);
  with_element(work, [&](auto work_zero) {
    with_element(chart, [&](auto chart_zero) {
      draw_band_rows<decltype(work_zero), decltype(chart_zero)>(s, i, work, chart);
    });
  });
}

// Bands of band_height rows, labelled with their pitch (the centre one in
// yellow); the pitch is accumulated band by band, not multiplied out.
void DrawChart(ChartState& s)
{
  // Without the chart image every write would land on whatever is current.
  if (QEL_SelectImage(chart_slot) != 0)
    return;
  fill_black_around_bands(s, slot_pixels[chart_slot]);
  double p = s.first_pitch;
  for (int i = 0; i < s.step; ++i) {
    text_x = 0;
    text_margin = 0;
    text_y = i * s.band_height + 20;
    qel_tc = i == s.highlight ? 0xFFFF00u : 0xFFFFFFu;
    s.band_origin = (i * s.band_height) / 3;
    QEL_ImagePrintf("%.3f", p);
    DrawBand(s, i, p);
    p = s.p_step + p;
  }
  QEL_ShowImage(chart_slot);
}

// Five white lines one subpixel wide, slanted like the bands, from 10 % to
// 90 % of the width, inside a one-pixel white frame.
void DrawLensCheck(const ChartState& s)
{
  if (QEL_SelectImage(chart_slot) != 0)
    return;
  const int w = s.chart_width;
  const int h = s.chart_height;
  const int groups = ((8 * h) / 10) / 3;
  const int first = 3 * (w / 10);
  const int top_group = (h / 10) / 3;
  const int spread = 3 * w - 3 * groups - 6 * (w / 10);
  QEL_FillBox(0, 0, w - 1, h - 1, 0xFFFFFFu, 0);
  for (int k = 0; k < 5; ++k) {
    const int start = first + (k * spread) / 4;
    for (int j = 0; j < groups; ++j)
      PutSlantedTriple(start + 3 * j, 0xFFFFFFu, top_group + j);
  }
  QEL_ShowImage(chart_slot);
}

// Image 2's bottom-left corner becomes image 3's top-left corner.
void TurnChart(int width, int height)
{
  if (!slot_in_use(turned_slot))
    return;
  const SlotPixels& from = pixels_of(chart_slot);
  const SlotPixels& to = slot_pixels[turned_slot];
  for (int x = 0; x < width; ++x)
    for (int k = 0; k < height; ++k)
      write_pixel(to, k, x, read_pixel(from, x, std::int64_t{height} - 1 - k));
  QEL_SelectImage(turned_slot);
}
