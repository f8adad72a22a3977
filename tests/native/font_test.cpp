// The bitmap font's table and metrics, bitmap-font text on headless images
// (placement, wrapping, codes without glyphs, the print buffer's bound), and
// the double-byte walk of TrueType text.
#include <doctest/doctest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fresh_slots.h"
#include "imgproc/font.h"

namespace {

using Rows = std::vector<std::uint8_t>;

Rows rows(int code) { return Rows(font_glyph(code), font_glyph(code) + glyph_rows); }

// First and last row a glyph uses; -1, -1 when blank.
std::pair<int, int> extent(int code)
{
  int first = -1, last = -1;
  for (int i = 0; i < glyph_rows; ++i)
    if (font_glyph(code)[i]) {
      first = first < 0 ? i : first;
      last = i;
    }
  return {first, last};
}

// A fresh black current image with the text cursor at the top-left cell.
void text_canvas(int w, int h, int bits = 32)
{
  canvas(w, h, bits);
  text_x = text_margin = 0;
  text_y = glyph_rows;
  qel_tc = 0xFFFFFF;
}

} // namespace

TEST_CASE("font rows and metrics; text on images: glyph bits, a cell a character, wrapping, the bound; TrueType bytes")
{
  CHECK(rows('A') == Rows{0, 0, 0x18, 0x3C, 0x66, 0x66, 0x66, 0x7E, 0x66, 0x66, 0x66, 0, 0, 0});
  CHECK(rows('g') == Rows{0, 0, 0, 0, 0x3E, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3E, 0x06, 0x06, 0x7C});
  CHECK((extent(' ') == std::pair{-1, -1} && extent(127) == std::pair{-1, -1}));
  for (int code : {31, 128, -200, INT_MIN})
    CHECK(font_glyph(code) == nullptr);

  const std::pair<const char*, std::pair<int, int>> metrics[] = {
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789bdfhiklt", {2, 10}}, {"acemnorsuvwxz", {4, 10}},
      {"gpqy", {4, 13}}, {"j", {2, 13}}};   // descenders
  for (auto [letters, expected] : metrics)
    for (const char* s = letters; *s; ++s)
      CHECK_MESSAGE((extent(*s) == expected), *s);

  // A mistyped table shows up as a blank or a duplicated glyph.
  for (int a = 33; a < 127; ++a) {
    CHECK_MESSAGE(extent(a).first >= 0, a);
    for (int b = a + 1; b < 127; ++b)
      CHECK_MESSAGE(rows(a) != rows(b), a, " ", b);
  }

  // Text on images.
  text_canvas(40, 30);
  QEL_PutPixel(5, 20, 0x0000FF);   // background inside the cell stays
  text_x = 2;
  text_y = 24;
  qel_tc = 0x00FF00;
  QEL_PutChar('A');
  int wrong = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const int i = y - 10, j = x - 2;
      const bool on = i >= 0 && i < 14 && j >= 0 && j < 8 && (font_glyph('A')[i] & (0x80 >> j));
      wrong += QEL_GetPixel(x, y) != (on ? 0x00FF00 : x == 5 && y == 20 ? 0x0000FF : 0);
    }
  CHECK((wrong == 0 && text_x == 10 && text_y == 24));
  for (int code : {200, int{'\t'}, 0, -5, 1000})   // no glyph: nothing drawn, no move
    QEL_PutChar(code);
  CHECK((text_x == 10 && text_y == 24 && QEL_GetPixel(12, 20) == 0));
  text_margin = 5;
  QEL_PutChar('\n');
  CHECK((text_x == 5 && text_y == 40));
  text_y = INT_MAX - 3;            // steps saturate
  QEL_PutChar('\n');
  CHECK(text_y == INT_MAX);

  // Text wraps when the next cell would leave the image.
  text_canvas(100, 40);
  QEL_PutString("ABCDEFGHIJKLMNOPQRST");
  // The 12th character at x 88, then text_x 96 > 92: the 13th starts line 2.
  CHECK((QEL_GetPixel(88 + 1, 2) != 0 && QEL_GetPixel(0, 16 + 2) != 0 && text_x == 8 * 8 && text_y == 30));

  text_canvas(7, 20, 8);                // narrower than one cell, 8-bit
  qel_tc = 0x123456;
  QEL_PutChar('|');
  CHECK((QEL_GetPixel(3, 2) == 0x56 && text_x == 0 && text_y == 30));

  // ImagePrintf formats like printf and keeps to its buffer.
  text_canvas(80, 20);                  // ten cells a line
  QEL_ImagePrintf("%d%c", 7, 'x');
  CHECK(text_x == 16);
  text_x = 0;
  QEL_ImagePrintf("%s", std::string(5000, 'W').c_str());
  CHECK((text_y == 14 + 16 * 409 && text_x == 5 * 8));   // 4095 characters: 409 lines and 5

  // TrueType text takes a lead byte and the next byte as one code.
  auto collect = [](const char* s) {
    std::vector<int> codes;
    for_each_tt_code(s, [&](int code) { codes.push_back(code); });
    return codes;
  };
  CHECK(collect("A\x82\xA0" "B") == std::vector<int>{'A', 0x82A0, 'B'});
  CHECK(collect("\x81\x40\x9F\xFC\xE0\x0A\xFC") == std::vector<int>{0x8140, 0x9FFC, 0xE00A});
  CHECK(collect("\x80\xA0\xDF\xFD\x01") == std::vector<int>{0x80, 0xA0, 0xDF, 0xFD, 1});
  CHECK(collect(nullptr).empty());
}
