#include <doctest/doctest.h>

#include <map>
#include <string>
#include <utility>

#include "text/line_editor.h"

namespace {

// A line typed into a window of cells that remembers the last glyph drawn at
// each pixel position and scrolls like a text window when the cursor leaves
// the bottom.
struct Typing : LineCanvas {
  static constexpr int cw = 6, chh = 11;
  int x = 0, y = 0, w, h, scrolls = 0;
  std::map<std::pair<int, int>, wchar_t> glyphs;
  LineEditor editor{*this};

  Typing(int columns, int rows_visible) : w(columns * cw), h(rows_visible * chh) {}
  int& cursor_x() override { return x; }
  int& cursor_y() override { return y; }
  int width() const override { return w; }
  int cell_width() const override { return cw; }
  int cell_height() const override { return chh; }
  void put_glyph(wchar_t ch, int gx, int gy, int) override { glyphs[{gx, gy}] = ch; }
  void scroll_if_needed() override
  {
    if (y + chh >= h)
      y -= chh, ++scrolls;
  }
  Typing& type(const std::wstring& keys)
  {
    for (wchar_t ch : keys)
      editor.type(ch, 1);
    return *this;
  }
  std::wstring text() const { return editor.text(); }
  // The cursor's column and row; -1 where it is not on a cell boundary.
  std::pair<int, int> cell() const { return {x % cw ? -1 : x / cw, y % chh ? -1 : y / chh}; }
  wchar_t at(int column, int row) const
  {
    auto it = glyphs.find({column * cw, row * chh});
    return it == glyphs.end() ? 0 : it->second;
  }
};

constexpr wchar_t wide = 0x3042;

} // namespace

TEST_CASE("line editing: backspace, tabs, the 255 limit, the line end; rows that end, wide characters, scrolling")
{
  Typing t(40, 10);
  t.type(L"12\b3");
  CHECK(t.text() == L"13");
  CHECK((t.at(1, 0) == L'3' && t.at(2, 0) == L'_'));   // caret right after the line
  t.type(L"\b\b\b\b");                                // more backspaces than characters
  CHECK((t.editor.length() == 0 && t.at(0, 0) == L'_'));   // the erased character is covered
  CHECK(t.type(L"a\tb").text() == L"a b");
  t.editor.finish();
  CHECK((t.cell() == std::pair{0, 1} && t.at(3, 0) == L' '));   // caret blanked at the end

  Typing long_line(40, 30);
  long_line.type(std::wstring(300, L'k')).type(L"\bz");
  CHECK(long_line.text() == std::wstring(254, L'k') + L'z');

  // A row ends when no cell is left for the caret; backspace returns.
  Typing row(10, 5);
  row.type(L"abcdefghi");
  CHECK(row.cell() == std::pair{9, 0});   // the caret takes the last cell
  row.type(L"j");                         // drawn in the last cell, then the next row
  CHECK((row.at(9, 0) == L'j' && row.cell() == std::pair{0, 1}));
  row.type(L"k");
  CHECK(row.at(0, 1) == L'k');
  // Back over "k", then over "j" which ended the first row.
  CHECK(row.type(L"\b").cell() == std::pair{0, 1});
  CHECK(row.type(L"\b").cell() == std::pair{9, 0});
  CHECK(row.at(9, 0) == L'_');
  CHECK((row.type(L"J").text() == L"abcdefghiJ" && row.y == Typing::chh));

  Typing moved(10, 5);
  moved.type(L"abcdefghi").type({wide});   // cursor in the last cell: no room for two
  CHECK((moved.at(0, 1) == wide && moved.cell() == std::pair{2, 1}));
  CHECK(moved.at(9, 0) == L' ');           // caret blanked on the row it left
  // Backspace erases it with an ideographic space and returns to the last cell of row 0.
  moved.type(L"\b");
  CHECK((moved.at(0, 1) == 0x3000 && moved.cell() == std::pair{9, 0} && moved.text() == L"abcdefghi"));

  // A wide character in the last two cells fits and ends its row.
  Typing fits(10, 5);
  fits.type(L"abcdefgh").type({wide});
  CHECK((fits.at(8, 0) == wide && fits.cell() == std::pair{0, 1}));
  fits.type(L"\b");
  CHECK((fits.cell() == std::pair{8, 0} && fits.at(8, 0) == L'_'));

  Typing scrolled(10, 3);   // rows at 0 and 11 are whole; a row at 22 would touch the bottom
  scrolled.type(L"abcdefghij");
  CHECK((scrolled.scrolls == 0 && scrolled.y == Typing::chh));
  scrolled.type(L"klmnopqrst");
  CHECK((scrolled.scrolls == 1 && scrolled.y == Typing::chh));
  // Backspace climbs to the row above, which the scroll moved up with the text.
  CHECK(scrolled.type(L"\b").cell() == std::pair{9, 0});
}
