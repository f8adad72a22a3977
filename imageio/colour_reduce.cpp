// Colour reduction by median cut, and nearest palette entries.
#include "imageio/colour_reduce.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t rgb_mask = 0xFFFFFFu;

struct ColourCount {
  std::uint32_t colour;
  std::uint64_t count;
};

int channel(std::uint32_t colour, int c) { return static_cast<int>((colour >> (16 - 8 * c)) & 0xFFu); }

// Distinct colours in ascending order with how often each occurs.
std::vector<ColourCount> histogram(const std::uint32_t* pixels, std::size_t count)
{
  std::vector<std::uint32_t> sorted(pixels, pixels + count);
  for (std::uint32_t& c : sorted)
    c &= rgb_mask;
  std::sort(sorted.begin(), sorted.end());
  std::vector<ColourCount> result;
  for (const std::uint32_t c : sorted) {
    if (result.empty() || result.back().colour != c)
      result.push_back({c, 0});
    ++result.back().count;
  }
  return result;
}

// A box of the median cut: a run of the colour list.
struct Box {
  std::size_t begin, end;
  int widest_channel;
  int range;          // extent along that channel; 0 for a single colour
};

Box make_box(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end)
{
  std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
  for (std::size_t i = begin; i < end; ++i)
    for (int c = 0; c < 3; ++c) {
      low[c] = std::min(low[c], channel(colours[i].colour, c));
      high[c] = std::max(high[c], channel(colours[i].colour, c));
    }
  Box box{begin, end, 0, -1};
  for (int c = 0; c < 3; ++c)
    if (high[c] - low[c] > box.range) {
      box.range = high[c] - low[c];
      box.widest_channel = c;
    }
  return box;
}

// Splits the box along its widest channel where half of its pixels lie on
// each side; both halves keep at least one colour.
std::pair<Box, Box> split_box(std::vector<ColourCount>& colours, const Box& box)
{
  const int c = box.widest_channel;
  std::sort(colours.begin() + box.begin, colours.begin() + box.end,
            [c](const ColourCount& a, const ColourCount& b) {
              return channel(a.colour, c) < channel(b.colour, c);
            });
  std::uint64_t total = 0;
  for (std::size_t i = box.begin; i < box.end; ++i)
    total += colours[i].count;
  std::uint64_t below = 0;
  std::size_t cut = box.begin + 1;
  for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
    below += colours[i].count;
    cut = i + 1;
    if (2 * below >= total)
      break;
  }
  return {make_box(colours, box.begin, cut), make_box(colours, cut, box.end)};
}

std::uint32_t box_average(const std::vector<ColourCount>& colours, const Box& box)
{
  std::array<std::uint64_t, 3> sum{};
  std::uint64_t total = 0;
  for (std::size_t i = box.begin; i < box.end; ++i) {
    for (int c = 0; c < 3; ++c)
      sum[c] += static_cast<std::uint64_t>(channel(colours[i].colour, c)) * colours[i].count;
    total += colours[i].count;
  }
  std::uint32_t result = 0;
  for (int c = 0; c < 3; ++c)
    result = result << 8 | static_cast<std::uint32_t>((sum[c] + total / 2) / total);
  return result;
}

std::vector<std::uint32_t> median_cut(std::vector<ColourCount> colours, int max_colours)
{
  std::vector<Box> boxes{make_box(colours, 0, colours.size())};
  while (static_cast<int>(boxes.size()) < max_colours) {
    // The box with the longest extent is cut next; one colour cannot be cut.
    const auto widest = std::max_element(boxes.begin(), boxes.end(),
                                         [](const Box& a, const Box& b) { return a.range < b.range; });
    if (widest->range <= 0)
      break;
    const auto halves = split_box(colours, *widest);
    *widest = halves.first;
    boxes.push_back(halves.second);
  }
  std::vector<std::uint32_t> palette;
  for (const Box& box : boxes)
    palette.push_back(box_average(colours, box));
  return palette;
}

} // namespace

int nearest_palette_index(const std::uint32_t* palette, int count, std::uint32_t colour)
{
  int best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < count; ++i) {
    int distance = 0;
    for (int c = 0; c < 3; ++c) {
      const int d = channel(palette[i], c) - channel(colour, c);
      distance += d * d;
    }
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

std::vector<std::uint8_t> map_to_palette(const std::uint32_t* colours, std::size_t count,
                                         const std::uint32_t* palette, int palette_count)
{
  // Search once per distinct colour, then look the pixels up in that list.
  const std::vector<ColourCount> distinct = histogram(colours, count);
  std::vector<std::uint8_t> nearest(distinct.size());
  for (std::size_t i = 0; i < distinct.size(); ++i)
    nearest[i] = static_cast<std::uint8_t>(
        nearest_palette_index(palette, palette_count, distinct[i].colour));
  std::vector<std::uint8_t> result(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t c = colours[i] & rgb_mask;
    const auto at = std::lower_bound(distinct.begin(), distinct.end(), c,
                                     [](const ColourCount& a, std::uint32_t v) { return a.colour < v; });
    result[i] = nearest[static_cast<std::size_t>(at - distinct.begin())];
  }
  return result;
}

IndexedPicture reduce_colours(const std::uint32_t* pixels, std::size_t count, int max_colours)
{
  IndexedPicture picture;
  max_colours = std::clamp(max_colours, 1, 256);
  std::vector<ColourCount> distinct = histogram(pixels, count);
  if (distinct.empty())
    return picture;
  if (static_cast<int>(distinct.size()) <= max_colours) {
    for (const ColourCount& c : distinct)
      picture.palette.push_back(c.colour);
  } else {
    picture.palette = median_cut(std::move(distinct), max_colours);
  }
  picture.indices = map_to_palette(pixels, count, picture.palette.data(),
                                   static_cast<int>(picture.palette.size()));
  return picture;
}
