// The chart's inner loops, kept apart from the chart's logic: they work on
// one band's columns at a time and are where the drawing time goes.
#pragma once

#include <cstddef>
#include <cstdint>

// Subpixel channels of a packed colour: 0 red, 1 green, 2 blue.
constexpr std::uint32_t channel_mask[3] = {0xFF0000u, 0x00FF00u, 0x0000FFu};

// A drawn column whose view boundary falls inside it: its sample is blended
// with the sample of the column before it.
struct BlendedColumn {
  int index;              // counted from column 168
  double f;
};

// The pixel made of the three subpixels that start with colour c[0]: the red
// of c[0], the green of c[1], the blue of c[2].
inline std::uint32_t packed(const std::uint32_t* c)
{
  return (c[0] & 0xFF0000u) | (c[1] & 0x00FF00u) | (c[2] & 0x0000FFu);
}

// Blends each listed column of colour with the sample of the column before
// it, from the right, so every blend sees its neighbour's own sample.
void blend_columns(const BlendedColumn* blends, std::size_t count, std::uint32_t* colour);

// With at most four views, the samples of four columns at a time (view[k]
// is column k's view, the views' pictures picture_columns apart from
// column 168 of row); columns 0..limit-1; returns where it stopped.
std::size_t select_views(const std::uint32_t* row, std::int64_t width, std::size_t limit,
                         std::uint32_t* colour, const int* view, int view_count,
                         int picture_columns);

// The whole pixels x_from..x_to-1 of the three rows of a row group, four at
// a time; returns where it stopped.
std::int64_t write_row_group(std::uint32_t* const rows[3], std::int64_t first,
                             const std::uint32_t* colour, std::int64_t x_from, std::int64_t x_to);
