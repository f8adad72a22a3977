// Clipboard bitmaps: the layout of the copied block, copy-then-paste round
// trips, small hand-made blocks of every accepted kind, and hostile headers.
#include <doctest/doctest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

#include "byte_file.h"
#include "image/slots.h"
#include "imageio/dib.h"
#include "imageio/place.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint32_t>;

struct Header {
  std::uint32_t size = 40;
  std::int32_t width = 2, height = 2;
  std::uint32_t planes = 1, bits = 24, compression = 0, colours_used = 0;
  std::uint32_t masks[3] = {};   // inside headers of 52 bytes and more
};

// A header padded to its size, then `rest` (masks, table, rows) as given,
// each value in `rest_bytes` bytes.
Bytes block(const Header& h, std::initializer_list<std::uint32_t> rest = {}, int rest_bytes = 1)
{
  File b;
  b.le32(h.size);
  if (h.size == 12) {
    b.le16(h.width).le16(h.height).le16(h.planes).le16(h.bits);
  } else {
    b.le32(h.width).le32(h.height).le16(h.planes).le16(h.bits).le32(h.compression).zeros(12);
    b.le32(h.colours_used).zeros(4).le32(h.masks[0]).le32(h.masks[1]).le32(h.masks[2]);
    b.resize(std::min<std::uint32_t>(h.size, 124));   // a hostile size field stays a field
  }
  for (const std::uint32_t v : rest)
    b.put(std::min(rest_bytes, 4), v).zeros(std::max(rest_bytes - 4, 0));
  return b;
}

DibPicture read(const Bytes& b, int expect = dib_ok)
{
  DibPicture picture;
  CHECK(read_dib(b.data(), b.size(), &picture) == expect);
  return picture;
}

} // namespace

TEST_CASE("copy: 24-bit rows for 32-bit images, 256 palette entries for 8-bit, bottom row first; pasted back exactly")
{
  // 5 wide: 15 bytes of colour padded to 16; 8-bit rows 5 padded to 8.
  CHECK(std::vector{dib_block_size(5, 3, 32), dib_block_size(5, 3, 8), dib_block_size(0, 3, 32),
                    dib_block_size(5, 3, 24), dib_block_size(INT_MAX, INT_MAX, 32)} ==
        std::vector<std::size_t>{40 + 3 * 16, 40 + 1024 + 3 * 8, 0, 0, 0});

  Words words(5 * 3, 0x0000FF);   // blue, the top row red
  std::fill_n(words.begin(), 5, 0xFF0000);
  Bytes out(dib_block_size(5, 3, 32), 0xEE);
  CHECK(write_dib({words.data(), nullptr, 5, 3, 5, 32}, nullptr, out.data(), out.size() - 1) == 1);
  REQUIRE(write_dib({words.data(), nullptr, 5, 3, 5, 32}, nullptr, out.data(), out.size()) == 0);
  CHECK(Bytes(out.begin(), out.begin() + 40) == block({40, 5, 3, 1, 24}));
  CHECK(Bytes(out.begin() + 40 + 32, out.end()) ==
        Bytes{0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0});   // last stored row: the top

  Bytes indices(8 * 3, 0);
  indices[2 * 8 + 4] = 9;   // bottom-right pixel
  Words palette(256, 0);
  palette[9] = 0x123456;
  out.assign(dib_block_size(5, 3, 8), 0xEE);
  REQUIRE(write_dib({nullptr, indices.data(), 5, 3, 8, 8}, palette.data(), out.data(), out.size()) == 0);
  CHECK(out[14] == 8);
  CHECK(Bytes(out.begin() + 40 + 36, out.begin() + 40 + 40) == Bytes{0x56, 0x34, 0x12, 0});
  CHECK(Bytes(out.begin() + 1064, out.begin() + 1072) == Bytes{0, 0, 0, 0, 9, 0, 0, 0});

  // Copied and pasted at (0, 0), random images come back exactly: 32-bit
  // through the drawing of a pasted picture, 8-bit with all 256 palette entries.
  std::mt19937 random(1);
  Words image(7 * 5), target(7 * 5, 0);
  for (std::uint32_t& p : image)
    p = random() >> 8;
  out.assign(dib_block_size(7, 5, 32), 0);
  REQUIRE(write_dib({image.data(), nullptr, 7, 5, 7, 32}, nullptr, out.data(), out.size()) == 0);
  DibPicture picture = read(out);
  CHECK(picture.pixels == image);
  composite_picture({target.data(), nullptr, 7, 5, 7, 32}, clip_placement(7, 5, 0, 0, 7, 5),
                    opaque_argb(picture).data(), nullptr);
  CHECK(target == image);

  Bytes expected;
  indices.resize(8 * 5);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    indices[i] = static_cast<std::uint8_t>(random());
    if (i % 8 < 7)
      expected.push_back(indices[i]);
  }
  for (std::uint32_t& p : palette)
    p = random() >> 8;
  out.assign(dib_block_size(7, 5, 8), 0);
  REQUIRE(write_dib({nullptr, indices.data(), 7, 5, 8, 8}, palette.data(), out.data(), out.size()) == 0);
  picture = read(out);
  CHECK((picture.bits == 8 && picture.indices == expected && picture.palette == palette));
}

TEST_CASE("paste: what other programs put on the clipboard; hostile headers refused before reading anything")
{
  // 1-bit, 3 x 2, bottom-up: bits from the left, each row padded to 4 bytes.
  DibPicture p = read(block({40, 3, 2, 1, 1}, {0xFF0000, 0x00FF00, 0x00, 0xA0}, 4));
  CHECK((p.palette == Words{0xFF0000, 0x00FF00} && p.indices == Bytes{1, 0, 1, 0, 0, 0}));
  // The old core header: 3-byte colours.
  p = read(block({12, 3, 1, 1, 1}, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x40, 0, 0, 0}));
  CHECK((p.palette == Words{0x302010, 0x605040} && p.indices == Bytes{0, 1, 0}));
  // 4-bit with 3 colours: a short table kept as it is; index 7 has no colour.
  p = read(block({40, 2, 1, 1, 4, 0, 3}, {1, 2, 3, 0x27}, 4));
  CHECK((p.palette.size() == 3 && p.indices == Bytes{2, 7} && opaque_argb(p) == Words{0xFF000003, 0xFF000000}));
  // 8-bit with a 16-entry table: pasted, it replaces palette entries 0-15 only.
  p = read(block({40, 1, 1, 1, 8, 0, 16}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0x1F, 15}, 4));
  CHECK((p.palette.size() == 16 && opaque_argb(p) == Words{0xFF00001F}));
  // 24-bit top-down (negative height), 2 wide: 6 bytes padded to 8.
  p = read(block({40, 2, -2, 1, 24}, {0, 0, 255, 255, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
  CHECK(p.pixels == Words{0xFF0000, 0x0000FF, 0x030201, 0x060504});
  // 32-bit plain: the top byte (alpha from a PNG) is dropped.
  p = read(block({40, 2, 1, 1, 32}, {0xFF123456, 0x00ABCDEF}, 4));
  CHECK(p.pixels == Words{0x123456, 0xABCDEF});
  // 32-bit bit fields in R, G, B, A byte order: after the short header, and
  // inside a long one.
  const std::uint32_t rgba[] = {0x000000FF, 0x0000FF00, 0x00FF0000};
  p = read(block({40, 1, 1, 1, 32, 3}, {rgba[0], rgba[1], rgba[2], 0xFF332211}, 4));
  CHECK(p.pixels == Words{0x112233});
  p = read(block({124, 1, 1, 1, 32, 3, 0, {rgba[0], rgba[1], rgba[2]}}, {0xFF332211}, 4));
  CHECK(p.pixels == Words{0x112233});
  // 16-bit: 5-5-5 plain, 5-6-5 in bit fields; full channels scale to 255.
  p = read(block({40, 2, 1, 1, 16}, {0x7C00, 0x0210}, 2));
  CHECK(p.pixels == Words{0xFF0000, 0x008484});
  p = read(block({40, 2, 1, 1, 16, 3}, {0xF800, 0x07E0, 0x001F, 0x07E0 | 0x001F << 16}, 4));
  CHECK(p.pixels == Words{0x00FF00, 0x0000FF});

  struct Case {
    const char* what;
    Bytes bytes;
    int result;
  } cases[] = {
      {"empty", {}, dib_short_header},
      {"header size field only partly there", {40, 0, 0}, dib_short_header},
      {"header cut short", [] { Bytes b = block({}); b.resize(39); return b; }(), dib_short_header},
      {"header size 41", block({41}), dib_bad_header_size},
      {"header size 0xFFFFFFFF", block({0xFFFFFFFF}), dib_bad_header_size},
      {"width 0", block({40, 0}), dib_bad_dimensions},
      {"negative width", block({40, -5}), dib_bad_dimensions},
      {"height 0", block({40, 2, 0}), dib_bad_dimensions},
      {"most negative height", block({40, 1, INT_MIN, 1, 1}), dib_bad_dimensions},
      {"huge sizes", block({40, INT_MAX, INT_MAX}), dib_bad_dimensions},
      {"planes 2", block({40, 2, 2, 2}), dib_bad_planes},
      {"bits 0", block({40, 2, 2, 1, 0}), dib_bad_bit_count},
      {"bits 7", block({40, 2, 2, 1, 7}), dib_bad_bit_count},
      {"core header with 32 bits", block({12, 2, 2, 1, 32}), dib_bad_bit_count},
      {"compression 1 (RLE8)", block({40, 2, 2, 1, 8, 1}), dib_bad_compression},
      {"compression 2 (RLE4)", block({40, 2, 2, 1, 4, 2}), dib_bad_compression},
      {"compression 5 (PNG)", block({40, 2, 2, 1, 32, 5}), dib_bad_compression},
      {"bit fields on 8 bits", block({40, 2, 2, 1, 8, 3}), dib_bad_compression},
      {"colours used 70000", block({40, 2, 2, 1, 8, 0, 70000}), dib_bad_colours_used},
      {"colours used 257 on 24 bits", block({40, 2, 2, 1, 24, 0, 257}), dib_bad_colours_used},
      {"masks missing", block({40, 2, 2, 1, 32, 3}, {0xFF, 0xFF00}, 4), dib_short_table},
      {"zero mask", block({56, 2, 2, 1, 32, 3, 0, {0xFF, 0, 0xFF0000}}), dib_bad_masks},
      {"overlapping masks", block({56, 2, 2, 1, 32, 3, 0, {0xFF, 0x1FF, 0xFF0000}}), dib_bad_masks},
      {"gapped mask", block({56, 2, 2, 1, 32, 3, 0, {0xF0F, 0xF000, 0xF0000}}), dib_bad_masks},
      {"16-bit mask past 16 bits", block({56, 2, 2, 1, 16, 3, 0, {0x1F, 0x3E0, 0x10000}}), dib_bad_masks},
      {"8-bit table missing", block({40, 2, 2, 1, 8}, {0}, 1000), dib_short_table},
      {"optional table of 24 bits missing", block({40, 1, 1, 1, 24, 0, 256}, {0}, 1000), dib_short_table},
      {"rows one byte short", block({40, 3, 2, 1, 24}, {0}, 23), dib_short_rows},
      {"8192 x 8192 in a small block", block({40, 8192, 8192, 1, 1}, {0}, 100), dib_short_rows},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    const DibPicture refused = read(c.bytes, c.result);
    CHECK((refused.width == 0 && refused.pixels.empty() && refused.indices.empty() && refused.palette.empty()));
  }
  CHECK(read_dib(nullptr, 100, nullptr) != dib_ok);
}
