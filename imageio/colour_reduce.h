// Colour reduction to a palette of at most 256 entries, and the nearest
// palette entry of a colour. Used where an indexed picture is needed from a
// full-colour one: the GIF encoder takes only indexed pictures, and pictures
// loaded into 8-bit images take the image's palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Colours are packed 0x00RRGGBB; the top byte of inputs is ignored.
struct IndexedPicture {
  std::vector<std::uint32_t> palette;   // 1..256 entries (none for no pixels)
  std::vector<std::uint8_t> indices;    // one per input pixel, same order
};

// Pictures of 256 colours or fewer keep every colour exactly; others are
// reduced by median cut and each pixel takes its nearest palette entry.
IndexedPicture reduce_colours(const std::uint32_t* pixels, std::size_t count,
                              int max_colours = 256);

// Index of the entry nearest to `colour` (squared RGB distance; the lowest
// index among equals). `count` must be 1..256.
int nearest_palette_index(const std::uint32_t* palette, int count, std::uint32_t colour);

// nearest_palette_index for many colours, each distinct colour searched once.
std::vector<std::uint8_t> map_to_palette(const std::uint32_t* colours, std::size_t count,
                                         const std::uint32_t* palette, int palette_count);
