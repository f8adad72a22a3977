// Clipboard bitmaps: a header, masks or a colour table when the picture has
// them, then pixel rows padded to 4 bytes, bottom row first unless the height
// is negative. Fields are little-endian and read byte by byte, so a block at
// any address and with any content is read without unaligned access.
#include "imageio/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t info_header_size = 40;
constexpr std::uint32_t core_header_size = 12;   // the old header: 16-bit sizes, 3-byte colours
constexpr std::uint32_t compression_rgb = 0;
constexpr std::uint32_t compression_bit_fields = 3;
constexpr std::size_t written_palette_entries = 256;
constexpr std::size_t max_colour_table = 256;

std::uint32_t read_u16(const std::uint8_t* p) { return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8; }

std::uint32_t read_u32(const std::uint8_t* p)
{
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void write_u16(std::uint8_t* p, std::uint32_t v)
{
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void write_u32(std::uint8_t* p, std::uint32_t v)
{
  write_u16(p, v);
  write_u16(p + 2, v >> 16);
}

// Row length padded to whole 32-bit words. 64-bit: a width below 2^31 times
// 32 bits cannot wrap.
std::uint64_t padded_row_bytes(std::uint64_t width, unsigned bits)
{
  return (width * bits + 31) / 32 * 4;
}

bool known_header_size(std::uint32_t size)
{
  return size == core_header_size || size == info_header_size || size == 52 || size == 56 ||
         size == 108 || size == 124;
}

bool known_bit_count(unsigned bits, bool core)
{
  return bits == 1 || bits == 4 || bits == 8 || bits == 24 || (!core && (bits == 16 || bits == 32));
}

// One colour channel of a 16- or 32-bit pixel: its mask, where it starts and
// how many bits wide it is.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;
};

// Channels of red, green and blue masks. Each must be one run of bits inside
// the pixel, apart from the others; anything else describes no colour.
bool make_channels(const std::uint32_t* masks, unsigned bits, Channel* channels)
{
  const std::uint64_t pixel_bits = (std::uint64_t{1} << bits) - 1;
  std::uint32_t taken = 0;
  for (int c = 0; c < 3; ++c) {
    const std::uint32_t mask = masks[c];
    if (mask == 0 || mask > pixel_bits || (mask & taken) != 0)
      return false;
    const int shift = std::countr_zero(mask);
    const std::uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0)
      return false;
    channels[c] = {mask, shift, std::popcount(mask)};
    taken |= mask;
  }
  return true;
}

// A channel scaled to 8 bits: narrower ones stretched to the full 0..255
// (5 bits: 31 -> 255), wider ones cut to their top 8 bits.
std::uint32_t channel_value(std::uint32_t pixel, const Channel& c)
{
  const std::uint32_t value = (pixel & c.mask) >> c.shift;
  if (c.width >= 8)
    return value >> (c.width - 8);
  const std::uint32_t top = (1u << c.width) - 1;
  return (value * 255 + top / 2) / top;
}

// What a header says, once every field has been checked against the block.
struct Layout {
  int width = 0;
  int height = 0;                      // rows, always positive
  bool top_down = false;
  unsigned bits = 0;
  Channel channels[3];                 // red, green, blue of 16- and 32-bit pixels
  const std::uint8_t* table = nullptr;
  std::size_t palette_entries = 0;     // colour-table entries kept as the palette
  std::size_t entry_size = 4;
  const std::uint8_t* rows = nullptr;  // the stored first row
  std::size_t row_bytes = 0;
};

int parse_header(const std::uint8_t* block, std::size_t size, Layout& layout)
{
  if (block == nullptr || size < 4)
    return dib_short_header;
  const std::uint32_t header_size = read_u32(block);
  if (!known_header_size(header_size))
    return dib_bad_header_size;
  if (size < header_size)
    return dib_short_header;

  // 64-bit, so that negating the most negative height cannot overflow.
  const bool core = header_size == core_header_size;
  std::int64_t width, height;
  unsigned planes, bits;
  std::uint32_t compression = compression_rgb, colours_used = 0;
  if (core) {
    width = read_u16(block + 4);
    height = read_u16(block + 6);
    planes = read_u16(block + 8);
    bits = read_u16(block + 10);
  } else {
    width = static_cast<std::int32_t>(read_u32(block + 4));
    height = static_cast<std::int32_t>(read_u32(block + 8));
    planes = read_u16(block + 12);
    bits = read_u16(block + 14);
    compression = read_u32(block + 16);
    colours_used = read_u32(block + 32);
  }
  layout.top_down = height < 0;
  const std::int64_t rows = height < 0 ? -height : height;
  // Both factors are below 2^32, so the product is exact; the limit keeps the
  // decoded picture's allocation sane and both sizes well inside int.
  if (width < 1 || rows < 1 || static_cast<std::uint64_t>(width * rows) > dib_max_pixels)
    return dib_bad_dimensions;
  if (planes != 1)
    return dib_bad_planes;
  if (!known_bit_count(bits, core))
    return dib_bad_bit_count;
  const bool bit_fields = compression == compression_bit_fields;
  if (!(compression == compression_rgb || (bit_fields && (bits == 16 || bits == 32))))
    return dib_bad_compression;
  // More would overrun the 256-entry palette buffers the paste fills.
  if (colours_used > max_colour_table)
    return dib_bad_colours_used;
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(rows);
  layout.bits = bits;

  std::size_t offset = header_size;
  if (bits == 16 || bits == 32) {
    std::uint32_t masks[3] = {0xFF0000u, 0xFF00u, 0xFFu};
    if (bits == 16)
      masks[0] = 0x7C00u, masks[1] = 0x03E0u, masks[2] = 0x001Fu;
    if (bit_fields) {
      // The short header is followed by the three masks; the longer headers
      // hold them at the same place inside.
      if (header_size == info_header_size) {
        if (size - offset < 12)
          return dib_short_table;
        offset += 12;
      }
      for (int c = 0; c < 3; ++c)
        masks[c] = read_u32(block + info_header_size + 4 * c);
    }
    if (!make_channels(masks, bits, layout.channels))
      return dib_bad_masks;
  }

  // Palette pictures have a table of colours-used entries, 0 meaning all
  // 2^bits; deeper ones may carry an optional table of colours-used entries
  // before their rows, which is skipped.
  const std::size_t entries = bits <= 8 && colours_used == 0 ? std::size_t{1} << bits : colours_used;
  layout.entry_size = core ? 3 : 4;
  if (entries * layout.entry_size > size - offset)
    return dib_short_table;
  layout.table = block + offset;
  layout.palette_entries = bits <= 8 ? std::min(entries, std::size_t{1} << bits) : 0;
  offset += entries * layout.entry_size;

  // Dividing keeps the comparison free of overflow whatever the height.
  layout.row_bytes = static_cast<std::size_t>(padded_row_bytes(layout.width, bits));
  if (static_cast<std::size_t>(layout.height) > (size - offset) / layout.row_bytes)
    return dib_short_rows;
  layout.rows = block + offset;
  return dib_ok;
}

std::uint32_t table_colour(const std::uint8_t* entry)
{
  return std::uint32_t{entry[2]} << 16 | std::uint32_t{entry[1]} << 8 | entry[0];
}

std::uint32_t pixel_colour(const Layout& layout, const std::uint8_t* row, std::size_t x)
{
  if (layout.bits == 24)
    return table_colour(row + 3 * x);
  const std::uint32_t pixel = layout.bits == 16 ? read_u16(row + 2 * x) : read_u32(row + 4 * x);
  const Channel* c = layout.channels;
  return channel_value(pixel, c[0]) << 16 | channel_value(pixel, c[1]) << 8 | channel_value(pixel, c[2]);
}

// Index of pixel x in a row of 1, 4 or 8 bits, the leftmost in the high bits.
std::uint8_t pixel_index(unsigned bits, const std::uint8_t* row, std::size_t x)
{
  const std::size_t bit = x * bits;
  const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
  return static_cast<std::uint8_t>((row[bit / 8] >> shift) & ((1u << bits) - 1));
}

void decode(const Layout& layout, DibPicture& picture)
{
  const std::size_t width = static_cast<std::size_t>(layout.width);
  const std::size_t height = static_cast<std::size_t>(layout.height);
  const bool indexed = layout.bits <= 8;
  picture.width = layout.width;
  picture.height = layout.height;
  picture.bits = indexed ? 8 : 32;
  for (std::size_t i = 0; i < layout.palette_entries; ++i)
    picture.palette.push_back(table_colour(layout.table + i * layout.entry_size));
  if (indexed)
    picture.indices.resize(width * height);
  else
    picture.pixels.resize(width * height);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* row = layout.rows + (layout.top_down ? y : height - 1 - y) * layout.row_bytes;
    for (std::size_t x = 0; x < width; ++x) {
      if (indexed)
        picture.indices[y * width + x] = pixel_index(layout.bits, row, x);
      else
        picture.pixels[y * width + x] = pixel_colour(layout, row, x);
    }
  }
}

} // namespace

// The block holds 24-bit rows for 32-bit images and 8-bit rows after a full
// 256-entry table for 8-bit images, as other programs expect to read it.
std::size_t dib_block_size(int width, int height, int bits)
{
  if (width < 1 || height < 1 || (bits != 32 && bits != 8))
    return 0;
  const std::uint64_t row = padded_row_bytes(static_cast<std::uint64_t>(width), bits == 32 ? 24 : 8);
  const std::uint64_t fixed = info_header_size + (bits == 8 ? written_palette_entries * 4 : 0);
  // The clipboard's blocks and other programs' readers size them in 32 bits;
  // dividing checks that without overflowing.
  if (row > (UINT32_MAX - fixed) / static_cast<std::uint64_t>(height))
    return 0;
  return static_cast<std::size_t>(fixed + row * static_cast<std::uint64_t>(height));
}

int write_dib(const SlotPixels& image, const std::uint32_t* palette, std::uint8_t* block,
              std::size_t size)
{
  const std::size_t expected = dib_block_size(image.width, image.height, image.bits);
  const bool eight = image.bits == 8;
  if (expected == 0 || size != expected || block == nullptr || image.stride < image.width ||
      (eight ? image.pixels8 == nullptr || palette == nullptr : image.pixels32 == nullptr))
    return 1;
  std::memset(block, 0, size);
  write_u32(block, info_header_size);
  write_u32(block + 4, static_cast<std::uint32_t>(image.width));
  write_u32(block + 8, static_cast<std::uint32_t>(image.height));   // positive: bottom row first
  write_u16(block + 12, 1);
  write_u16(block + 14, eight ? 8 : 24);
  std::uint8_t* out = block + info_header_size;
  if (eight)
    for (std::size_t i = 0; i < written_palette_entries; ++i, out += 4) {
      out[0] = static_cast<std::uint8_t>(palette[i]);
      out[1] = static_cast<std::uint8_t>(palette[i] >> 8);
      out[2] = static_cast<std::uint8_t>(palette[i] >> 16);
    }
  const std::size_t width = static_cast<std::size_t>(image.width);
  const std::size_t height = static_cast<std::size_t>(image.height);
  const std::size_t stride = static_cast<std::size_t>(image.stride);
  const std::size_t row_bytes = static_cast<std::size_t>(padded_row_bytes(width, eight ? 8 : 24));
  for (std::size_t y = 0; y < height; ++y) {
    std::uint8_t* row = out + (height - 1 - y) * row_bytes;
    if (eight) {
      std::memcpy(row, image.pixels8 + y * stride, width);
      continue;
    }
    const std::uint32_t* source = image.pixels32 + y * stride;
    for (std::size_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(source[x]);
      row[3 * x + 1] = static_cast<std::uint8_t>(source[x] >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(source[x] >> 16);
    }
  }
  return 0;
}

// Checks the whole header against the block's real size before touching a
// pixel; a refused block leaves `picture` empty.
int read_dib(const std::uint8_t* block, std::size_t size, DibPicture* picture)
{
  if (picture == nullptr)
    return dib_short_header;
  *picture = DibPicture{};
  Layout layout;
  const int result = parse_header(block, size, layout);
  if (result == dib_ok)
    decode(layout, *picture);
  return result;
}

// Palette pictures take their colour-table entries; an index past the end of
// a short table reads as black. Opaque, so that drawing the picture replaces
// what is under it.
std::vector<std::uint32_t> opaque_argb(const DibPicture& picture)
{
  std::vector<std::uint32_t> argb;
  if (picture.bits == 32) {
    argb = picture.pixels;
    for (std::uint32_t& p : argb)
      p = 0xFF000000u | (p & 0xFFFFFFu);
    return argb;
  }
  argb.reserve(picture.indices.size());
  for (const std::uint8_t index : picture.indices)
    argb.push_back(0xFF000000u | (index < picture.palette.size() ? picture.palette[index] & 0xFFFFFFu : 0));
  return argb;
}
