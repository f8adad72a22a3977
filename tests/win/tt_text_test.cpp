// TrueType text in an image: it lands inside its cell, in the TrueType text
// colour, at the size asked for, leaves the background as it was, and moves
// the text cursor on.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>

#include "image/slots.h"
#include "qel_test.h"
#include "worker_jobs.h"

TEST_CASE("TrueType text at the size asked for stays in its cell, in its colour, keeps the background and advances")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  constexpr std::uint32_t background = 0x102030, ink = 0x00FF80;
  // Changed pixels inside and outside the cell, those in the ink itself, the highest row changed.
  int advance = 0, inside = 0, outside = 0, inked = 0, top = 60;
  on_worker([&] {
    REQUIRE(QEL_TTSetFontSize(20, 24) == 0);   // cells 10 wide, lines 24 high
    REQUIRE(QEL_CreateImage(0, "tt", 0, 0, 120, 60, 100) == 0);
    QEL_FillBox(0, 0, 119, 59, background, background);
    qel_tttc = ink;
    text_x = text_margin = 20;
    text_y = 40;   // bottom row of the cell
    QEL_TTPutChar('W');
    advance = text_x - 20;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        const std::uint32_t pixel = QEL_GetPixel(x, y) & 0xFFFFFF;
        if (pixel == background)
          continue;
        ++(x >= 20 && x < 20 + advance && y > 40 - 24 && y <= 40 ? inside : outside);
        inked += pixel == ink;
        top = std::min(top, y);
      }
  });
  CHECK(advance > 0);
  CHECK(advance <= 2 * 10 + 2);
  CHECK(inside > 5);
  CHECK(outside == 0);
  CHECK(inked > 0);
  CHECK(top <= 40 - 16);   // taller than the 16-pixel lines of the default size

  // A new line returns to the margin one line lower; style controls draw nothing.
  on_worker([] {
    QEL_TTPutChar(3);
    QEL_TTPutChar(10);
  });
  CHECK(text_x == 20);
  CHECK(text_y == 40 + 24);

  // Text sent to a closed image draws nowhere and does not crash.
  on_worker([] {
    QEL_DestroyImage(0);
    QEL_TTPutString("abc");
  });
}
