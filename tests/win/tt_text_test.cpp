// TrueType text in an image: it lands inside its cell, in the TrueType text
// colour, leaves the background as it was, and moves the text cursor on.
#include <doctest/doctest.h>

#include <cstdint>

#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

struct CellScan {
  int inside = 0;        // changed pixels inside the cell
  int outside = 0;       // pixels changed outside the cell
};

} // namespace

TEST_CASE("TrueType text stays in its cell, keeps the background and advances")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  constexpr std::uint32_t background = 0x102030;
  constexpr std::uint32_t ink = 0x00FF80;
  int advance = 0;
  CellScan scan;
  on_worker([&] {
    REQUIRE(QEL_CreateImage(0, "tt", 0, 0, 120, 60, 100) == 0);
    QEL_FillBox(0, 0, 119, 59, background, background);
    qel_tttc = ink;
    text_x = 20;
    text_margin = 20;
    text_y = 40;                                  // bottom row of the cell
    QEL_TTPutChar('W');
    advance = text_x - 20;
    // The cell: from (20, 40 - tt_line_height + 1) to (20 + advance, 40).
    const int top = 40 - tt_line_height + 1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        const std::uint32_t pixel = QEL_GetPixel(x, y) & 0xFFFFFF;
        if (pixel == background)
          continue;
        const bool in_cell = x >= 20 && x < 20 + advance && y >= top && y <= 40;
        (in_cell ? scan.inside : scan.outside)++;
      }
  });
  CHECK(advance > 0);
  CHECK(advance <= 2 * tt_cell_width + 2);
  CHECK(scan.inside > 5);
  CHECK(scan.outside == 0);

  // A new line returns to the margin one line lower; style controls draw nothing.
  on_worker([&] {
    QEL_TTPutChar(3);
    QEL_TTPutChar(10);
  });
  CHECK(text_x == 20);
  CHECK(text_y == 40 + tt_line_height);

  // Text sent to a closed image draws nowhere and does not crash.
  on_worker([&] {
    QEL_DestroyImage(0);
    QEL_TTPutString("abc");
  });
}

TEST_CASE("font size: half the cell width, the full height")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  int result = -1;
  on_worker([&] { result = QEL_TTSetFontSize(20, 24); });
  CHECK(result == 0);
  CHECK(tt_cell_width == 10);
  CHECK(tt_line_height == 24);
}
