// The built-in 8 x 14 bitmap font for codes 32..127, and the byte walk that
// splits double-byte text into character codes for TrueType output.
#pragma once

#include <cstdint>

constexpr int glyph_first = 32;            // codes 32..127 have glyphs
constexpr int glyph_count = 96;
constexpr int glyph_width = 8;             // bit 7 is the leftmost pixel
constexpr int glyph_rows = 14;             // row 0 is the top
constexpr int glyph_line_advance = 16;     // newline moves text_y down this far

extern const std::uint8_t bitmap_font[glyph_count][glyph_rows];

// The glyph of a code, or nullptr for codes without one.
const std::uint8_t* font_glyph(int code);

// A lead byte of the system's double-byte code page starts a two-byte code.
constexpr bool is_lead_byte(unsigned char b)
{
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Calls emit(code) for each character of zero-terminated text: a lead byte and
// the byte after it make one code (lead << 8 | trail); any other byte is a
// code by itself. A lead byte right before the terminating zero ends the text.
template <class Emit>
void for_each_tt_code(const char* text, Emit&& emit)
{
  if (!text)
    return;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (!is_lead_byte(*p)) {
      emit(static_cast<int>(*p));
      continue;
    }
    if (!p[1])
      return;
    emit((static_cast<int>(p[0]) << 8) | p[1]);
    ++p;
  }
}
