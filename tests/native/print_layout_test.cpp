#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "text/print_layout.h"

namespace {

// Collects the layout as rows of text with the column each run starts at.
struct Rows : PrintSink {
  std::vector<std::wstring> rows{L""};
  std::vector<std::vector<int>> starts{{}};
  void draw_run(int x, const wchar_t* text, int count) override
  {
    starts.back().push_back(x);
    rows.back().append(text, static_cast<size_t>(count));
  }
  void new_line() override
  {
    rows.emplace_back();
    starts.emplace_back();
  }
};

using Texts = std::vector<std::wstring>;

} // namespace

TEST_CASE("print layout: line feeds end runs, carriage returns and tabs are glyphs, wrapping at the last whole cell")
{
  Rows blank;
  CHECK(layout_print(L"\n\na\r\t", 5, 0, 400, 6, blank) == 18);
  CHECK((blank.rows == Texts{L"", L"", L"a\r\t"} && blank.starts[0].empty()));

  const int cw = 6;
  const int width = 10 * cw + 5;   // ten whole cells and a part
  Rows narrow;
  CHECK(layout_print(L"0123456789ab", 12, 0, width, cw, narrow) == 2 * cw);
  CHECK((narrow.rows == Texts{L"0123456789", L"ab"} && narrow.starts[1] == std::vector<int>{0}));

  // Nine narrow cells leave one: a wide character moves to the next row whole.
  Rows wide;
  const wchar_t text[] = {L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x', 0x3042, 0};
  CHECK(layout_print(text, 10, 0, width, cw, wide) == 2 * cw);
  CHECK(wide.rows == Texts{L"xxxxxxxxx", std::wstring(1, 0x3042)});

  // Starting mid-row: the first run begins at the cursor.
  Rows mid;
  CHECK(layout_print(L"abc", 3, 9 * cw, width, cw, mid) == 2 * cw);
  CHECK((mid.rows == Texts{L"a", L"bc"} && mid.starts[0] == std::vector<int>{9 * cw}));

  // A window narrower than a wide character: it stays on its row, no empty
  // rows in between.
  Rows tiny;
  const wchar_t wide_first[] = {0x3042, L'x'};
  layout_print(wide_first, 2, 0, cw, cw, tiny);
  CHECK(tiny.rows == Texts{std::wstring(1, 0x3042), L"x"});
}
