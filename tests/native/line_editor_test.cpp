#include <doctest/doctest.h>

#include <map>
#include <string>
#include <utility>

#include "text/line_editor.h"

namespace {

// A window of cells: remembers the last glyph drawn at each pixel position
// and scrolls like a text window when the cursor leaves the bottom.
struct Grid : LineCanvas {
  int cw = 6, chh = 11;   // before w and h, which are computed from them
  int x = 0, y = 0;
  int w, h;
  int scrolls = 0;
  std::map<std::pair<int, int>, wchar_t> glyphs;

  Grid(int columns, int rows_visible) : w(columns * cw), h(rows_visible * chh) {}
  int& cursor_x() override { return x; }
  int& cursor_y() override { return y; }
  int width() const override { return w; }
  int cell_width() const override { return cw; }
  int cell_height() const override { return chh; }
  void put_glyph(wchar_t ch, int gx, int gy, int) override { glyphs[{gx, gy}] = ch; }
  void scroll_if_needed() override
  {
    if (y + chh < h)
      return;
    y -= chh;
    ++scrolls;
  }
  // The cursor's column and row; -1 where it is not on a cell boundary.
  std::pair<int, int> cell() const { return {x % cw ? -1 : x / cw, y % chh ? -1 : y / chh}; }
  wchar_t at(int column, int row) const
  {
    auto it = glyphs.find({column * cw, row * chh});
    return it == glyphs.end() ? 0 : it->second;
  }
};

void type_all(LineEditor& editor, const std::wstring& keys)
{
  for (wchar_t ch : keys)
    editor.type(ch, 1);
}

} // namespace

TEST_CASE("line editing: backspace, tabs, the 255 limit and the line end")
{
  Grid grid(40, 10);
  LineEditor editor(grid);
  type_all(editor, L"12\b3");
  CHECK(std::wstring(editor.text()) == L"13");
  CHECK(grid.at(1, 0) == L'3');
  CHECK(grid.at(2, 0) == L'_');        // caret right after the line

  type_all(editor, L"\b\b\b\b");       // more backspaces than characters
  CHECK(editor.length() == 0);
  CHECK(grid.at(0, 0) == L'_');        // the erased character is covered

  type_all(editor, L"a\tb");
  CHECK(std::wstring(editor.text()) == L"a b");

  editor.finish();
  CHECK(grid.cell() == std::pair{0, 1});
  CHECK(grid.at(3, 0) == L' ');        // caret blanked at the end

  Grid wide_grid(40, 30);
  LineEditor long_line(wide_grid);
  type_all(long_line, std::wstring(300, L'k'));
  CHECK(long_line.length() == 255);
  type_all(long_line, L"\bz");
  CHECK(long_line.length() == 255);
  CHECK(long_line.text()[254] == L'z');
}

TEST_CASE("line editing: a row ends when no cell is left for the caret; backspace returns")
{
  Grid grid(10, 5);
  LineEditor editor(grid);
  type_all(editor, L"abcdefghi");
  CHECK(grid.cell() == std::pair{9, 0});        // the caret takes the last cell
  type_all(editor, L"j");              // drawn in the last cell, then the next row
  CHECK(grid.at(9, 0) == L'j');
  CHECK(grid.cell() == std::pair{0, 1});
  type_all(editor, L"k");
  CHECK(grid.at(0, 1) == L'k');

  // Back over "k", then over "j" which ended the first row.
  type_all(editor, L"\b");
  CHECK(grid.cell() == std::pair{0, 1});
  type_all(editor, L"\b");
  CHECK(grid.cell() == std::pair{9, 0});
  CHECK(grid.at(9, 0) == L'_');
  type_all(editor, L"J");
  CHECK(std::wstring(editor.text()) == L"abcdefghiJ");
  CHECK(grid.y == grid.chh);
}

TEST_CASE("line editing: a wide character that does not fit moves whole, and back")
{
  const wchar_t wide = 0x3042;
  Grid grid(10, 5);
  LineEditor editor(grid);
  type_all(editor, L"abcdefghi");         // cursor in the last cell: no room for two
  editor.type(wide, 1);
  CHECK(grid.at(0, 1) == wide);
  CHECK(grid.cell() == std::pair{2, 1});
  CHECK(grid.at(9, 0) == L' ');           // caret blanked on the row it left

  // Backspace erases it with an ideographic space and returns to the last cell of row 0.
  editor.type(8, 1);
  CHECK(grid.at(0, 1) == 0x3000);
  CHECK(grid.cell() == std::pair{9, 0});
  CHECK(std::wstring(editor.text()) == L"abcdefghi");

  // A wide character in the last two cells fits and ends its row.
  Grid second(10, 5);
  LineEditor fits(second);
  type_all(fits, L"abcdefgh");
  fits.type(wide, 1);
  CHECK(second.at(8, 0) == wide);
  CHECK(second.cell() == std::pair{0, 1});
  fits.type(8, 1);
  CHECK(second.cell() == std::pair{8, 0});
  CHECK(second.at(8, 0) == L'_');            // the caret now stands where it was
}

TEST_CASE("line editing: wrapping past the last row scrolls the window")
{
  Grid grid(10, 3);   // rows at 0 and 11 are whole; a row at 22 would touch the bottom
  LineEditor editor(grid);
  type_all(editor, L"abcdefghij");
  CHECK(grid.scrolls == 0);
  CHECK(grid.y == grid.chh);
  type_all(editor, L"klmnopqrst");
  CHECK(grid.scrolls == 1);
  CHECK(grid.y == grid.chh);
  // Backspace climbs to the row above, which the scroll moved up with the text.
  type_all(editor, L"\b");
  CHECK(grid.cell() == std::pair{9, 0});
}
