// Pixel access on the current image: layout, clipping, the pen, and images
// destroyed under a program that is still drawing (AddressSanitizer watches
// for any touch of a released buffer).
#include <doctest/doctest.h>

#include <cstdint>
#include <algorithm>
#include <utility>
#include <vector>

#include "fresh_slots.h"
#include "imgproc/pixels.h"
#include "qellib.h"

namespace {

// A value for every pixel that differs from its neighbours in the low byte
// and has every byte set.
std::uint32_t pattern(int x, int y) { return 0xA0B0C000u + 16 * y + x + 1; }

} // namespace

TEST_CASE_FIXTURE(FreshSlots, "both depths: buffer layout, outside ignored, rows and blocks, clearing; single pixels")
{
  // 7 wide: 8-bit rows are padded to 8 bytes.
  REQUIRE(QEL_CreateImage(0, "rgb", 0, 0, 7, 5, 100) == 0);
  REQUIRE(QEL_CreateImage8(1, "idx", 0, 0, 7, 5, 100) == 0);
  for (int slot : {0, 1}) {
    CAPTURE(slot);
    const SlotPixels& p = slot_pixels[slot];
    const std::uint32_t mask = slot ? 0xFFu : 0xFFFFFFFFu;   // 8-bit images keep the low byte
    auto expected = [&](int x, int y) { return x >= 0 && x < 7 && y >= 0 && y < 5 ? pattern(x, y) & mask : 0u; };
    auto stored = [&](int i) { return slot ? std::uint32_t{p.pixels8[i]} : p.pixels32[i]; };
    REQUIRE(QEL_SelectImage(slot) == 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        QEL_PutPixel(x, y, pattern(x, y));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {7, 0}, {0, 5}, {INT32_MIN, 2}, {3, INT32_MAX}})
      QEL_PutPixel(x, y, 0x123456);
    CHECK(p.stride == (slot ? 8 : 7));
    for (int i = 0; i < p.stride * 5; ++i)
      CHECK(stored(i) == expected(i % p.stride, i / p.stride));   // the padding stays 0

    // A row past the width and a block hanging over every edge; nothing past count.
    auto read_back = [&](auto element) {
      using T = decltype(element);
      std::vector<T> row(11, 9);
      QEL_GetRow(row.data(), 2, 10);
      for (int i = 0; i < 11; ++i)
        CHECK(row[i] == (i < 10 ? expected(i, 2) : 9));
      const int x0 = -2, y0 = 3, w = 11, h = 4;
      std::vector<T> block(w * h, 0xEF);
      QEL_GetBlock(block.data(), x0, y0, w, h);
      for (int i = 0; i < w * h; ++i)
        CHECK(block[i] == expected(x0 + i % w, y0 + i / w));
      // Origins far away do not wrap back into the image.
      QEL_GetBlock(block.data(), INT32_MAX - 1, INT32_MAX - 1, 2, 2);
      CHECK((block[0] | block[1] | block[2] | block[3]) == 0);
    };
    slot ? read_back(std::uint8_t{}) : read_back(std::uint32_t{});

    // Clearing covers the padding of 8-bit rows too.
    const int bytes = p.stride * 5 * (slot ? 1 : 4);
    std::fill(p.pixels8, p.pixels8 + bytes, 0xAA);
    QEL_ClearImage(slot);
    CHECK(std::count(p.pixels8, p.pixels8 + bytes, 0) == bytes);
  }
  // Single pixels: the pen, quiet writes, the edge told from any colour, XOR
  // keeps the top byte; a destroyed current image reads as 0 x 0.
  REQUIRE(QEL_CreateImage(3, "rgb", 0, 0, 7, 5, 100) == 0);
  QEL_PutPixel(-1, 0, 0x123456);   // the pen moves even outside
  PutPixelQuiet(4, 4, 0x654321);
  CHECK((pen_x == -1 && pen_y == 0 && QEL_GetPixel(4, 4) == 0x654321));
  CHECK((QEL_GetPixel(7, 0) == 0 && GetPixelOrNone(0, -1) == -1));
  QEL_PutPixel(0, 0, 0xFFFFFFFFu);   // a word -1 must not be mistaken for the edge
  CHECK(GetPixelOrNone(0, 0) == 0xFFFFFFFFll);

  QEL_PutPixel(1, 1, 0xAB123456u);
  QEL_XorPixel(1, 1);
  CHECK((QEL_GetPixel(1, 1) == 0xABEDCBA9u && pen_x == 1));
  XorPixelQuiet(1, 1);
  CHECK(QEL_GetPixel(1, 1) == 0xAB123456u);
  QEL_XorPixel(-2, 9);             // outside: only the pen moves
  CHECK((pen_x == -2 && pen_y == 9));

  REQUIRE(QEL_CreateImage8(4, "idx", 0, 0, 3, 2, 100) == 0);
  CHECK(GetPixelOrNone(3, 0) == -1);   // the padding byte is outside

  // A destroyed current image reads as 0 x 0, and a current index out of
  // range behaves like it. Under AddressSanitizer each of these would stop
  // the test if it touched the freed buffer.
  REQUIRE(QEL_CreateImage(2, "closed", 0, 0, 16, 16, 100) == 0);
  QEL_PutPixel(5, 5, 0x112233);
  REQUIRE(QEL_DestroyImage(2) == 0);
  REQUIRE(qel_current_image == 2);
  for (int current : {2, slot_count, -1}) {
    CAPTURE(current);
    qel_current_image = current;
    QEL_PutPixel(5, 5, 0x445566);
    QEL_XorPixel(5, 5);
    CHECK((pen_x == 5 && QEL_GetPixel(5, 5) == 0 && GetPixelOrNone(5, 5) == -1));
    std::uint32_t out[4] = {7, 7, 7, 7};
    QEL_GetRow(out, 5, 4);
    QEL_GetBlock(out, 4, 4, 2, 2);
    QEL_ClearImage(current);   // a free slot or none: nothing
    CHECK(out[0] == 7);        // nothing written for a free slot
  }
}
