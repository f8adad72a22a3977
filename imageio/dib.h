// Device-independent bitmaps as the clipboard carries them: the block an
// image is copied out as, and the reader of the blocks other programs put
// there, which are untrusted input and are checked in full before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/slots.h"

// Results of read_dib: 0 for a picture, one code per reason for refusing.
enum DibResult {
  dib_ok = 0,
  dib_short_header = 1,      // block shorter than 4 bytes or than its header size field
  dib_bad_header_size = 2,   // header size not 12, 40, 52, 56, 108 or 124
  dib_bad_dimensions = 3,    // width < 1, height 0, or more than dib_max_pixels
  dib_bad_planes = 4,        // planes not 1
  dib_bad_bit_count = 5,     // not 1, 4, 8, 16, 24 or 32
  dib_bad_compression = 6,   // compressed (RLE, JPEG, PNG), or bit fields below 16 bits
  dib_bad_colours_used = 7,  // colour table of more than 256 entries
  dib_bad_masks = 8,         // bit-field masks empty, overlapping, gapped or too wide
  dib_short_table = 9,       // masks or colour table run past the block
  dib_short_rows = 10,       // pixel rows run past the block
};

// Largest picture the reader decodes (256 MiB of pixel words).
constexpr std::uint64_t dib_max_pixels = std::uint64_t{1} << 26;

// A decoded picture, rows top-down, unpadded. Pictures of 1, 4 and 8 bits
// arrive as palette indices (bits 8) with their own colour table of at most
// 256 entries, so a 16-entry table replaces only the first 16 entries of an
// image's palette; deeper pictures arrive as 0x00RRGGBB words (bits 32).
struct DibPicture {
  int width = 0;
  int height = 0;
  int bits = 0;                          // 32: pixels; 8: indices and palette
  std::vector<std::uint32_t> pixels;     // width * height words 0x00RRGGBB
  std::vector<std::uint8_t> indices;     // width * height palette indices
  std::vector<std::uint32_t> palette;    // 0..256 entries 0x00RRGGBB
};

std::size_t dib_block_size(int width, int height, int bits);   // exact block for an image of 32 or 8 bits; 0 when none
int  write_dib(const SlotPixels& image, const std::uint32_t* palette,
               std::uint8_t* block, std::size_t size);          // 0 ok; 1 bad image, palette or size
int  read_dib(const std::uint8_t* block, std::size_t size, DibPicture* picture); // a DibResult
std::vector<std::uint32_t> opaque_argb(const DibPicture& picture); // 0xFFRRGGBB per pixel, top-down
