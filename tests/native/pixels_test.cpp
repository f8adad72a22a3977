// Pixel access on the current image: layout, clipping, the pen, and images
// destroyed under a program that is still drawing (AddressSanitizer watches
// for any touch of a released buffer).
#include <doctest/doctest.h>

#include <cstdint>
#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "fresh_slots.h"
#include "imgproc/pixels.h"
#include "qellib.h"

namespace {

// A value for every pixel that differs from its neighbours and from 0.
std::uint32_t pattern(int x, int y) { return 0x10000u * (y + 1) + 0x100u * (x + 1) + 7; }

void fill_pattern(int width, int height)
{
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      QEL_PutPixel(x, y, pattern(x, y));
}

std::vector<std::uint32_t> words_of(int slot)
{
  const SlotPixels& p = slot_pixels[slot];
  return {p.pixels32, p.pixels32 + static_cast<std::size_t>(p.stride) * p.height};
}

} // namespace

TEST_CASE_FIXTURE(FreshSlots, "32-bit pixels: whole words, row by row, outside ignored")
{
  REQUIRE(QEL_CreateImage(1, "rgb", 0, 0, 7, 5, 100) == 0);
  QEL_PutPixel(3, 2, 0xAABBCCDDu);
  CHECK(slot_pixels[1].pixels32[2 * 7 + 3] == 0xAABBCCDDu);
  CHECK(QEL_GetPixel(3, 2) == 0xAABBCCDDu);   // the top byte comes back too

  const std::vector<std::uint32_t> before = words_of(1);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {7, 0}, {0, 5}, {INT32_MIN, 2}, {3, INT32_MAX}})
    QEL_PutPixel(x, y, 0x123456);
  CHECK(words_of(1) == before);

  QEL_PutPixel(-1, 0, 0x123456);               // the pen moves even outside
  PutPixelQuiet(4, 4, 0x654321);
  CHECK((pen_x == -1 && pen_y == 0));
  CHECK(QEL_GetPixel(4, 4) == 0x654321);

  CHECK(QEL_GetPixel(7, 0) == 0);
  CHECK(GetPixelOrNone(0, -1) == -1);
  QEL_PutPixel(0, 0, 0xFFFFFFFFu);             // a word -1 must not be mistaken for
  CHECK(GetPixelOrNone(0, 0) == 0xFFFFFFFFll);
}

TEST_CASE_FIXTURE(FreshSlots, "8-bit pixels: low byte, padded rows")
{
  REQUIRE(QEL_CreateImage8(0, "idx", 0, 0, 3, 2, 100) == 0);
  QEL_PutPixel(0, 1, 0x123456);
  QEL_PutPixel(2, 0, 0xFF);
  QEL_PutPixel(3, 0, 0xEE);                    // the padding byte is outside
  const std::uint8_t* bytes = slot_pixels[0].pixels8;
  CHECK(std::vector(bytes, bytes + 5) == std::vector<std::uint8_t>{0, 0, 0xFF, 0, 0x56});   // stride 4
  CHECK(QEL_GetPixel(0, 1) == 0x56);
  CHECK(GetPixelOrNone(3, 0) == -1);
}

TEST_CASE_FIXTURE(FreshSlots, "XOR inverts the colour bits and twice restores")
{
  REQUIRE(QEL_CreateImage(0, "rgb", 0, 0, 4, 4, 100) == 0);
  QEL_PutPixel(1, 1, 0xAB123456u);
  QEL_XorPixel(1, 1);
  CHECK(QEL_GetPixel(1, 1) == 0xABEDCBA9u);    // top byte kept
  CHECK(pen_x == 1);
  XorPixelQuiet(1, 1);
  CHECK(QEL_GetPixel(1, 1) == 0xAB123456u);
  QEL_XorPixel(-2, 9);                         // outside: only the pen moves
  CHECK((pen_x == -2 && pen_y == 9));

  REQUIRE(QEL_CreateImage8(1, "idx", 0, 0, 4, 4, 100) == 0);
  QEL_PutPixel(2, 3, 10);
  QEL_XorPixel(2, 3);
  CHECK(QEL_GetPixel(2, 3) == 245);
}

TEST_CASE_FIXTURE(FreshSlots, "rows and blocks read outside parts as 0")
{
  REQUIRE(QEL_CreateImage(0, "rgb", 0, 0, 7, 5, 100) == 0);
  fill_pattern(7, 5);

  std::uint32_t row[10];
  QEL_GetRow(row, 2, 10);
  for (int i = 0; i < 10; ++i)
    CHECK(row[i] == (i < 7 ? pattern(i, 2) : 0));

  // A block hanging over every edge, compared with a slow reference.
  const int x0 = -2, y0 = 3, w = 11, h = 4;
  std::vector<std::uint32_t> block(static_cast<std::size_t>(w) * h, 0xDEADBEEFu);
  QEL_GetBlock(block.data(), x0, y0, w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const int x = x0 + i, y = y0 + j;
      const bool inside = x >= 0 && x < 7 && y >= 0 && y < 5;
      CHECK(block[j * w + i] == (inside ? pattern(x, y) : 0));
    }
  // Origins far away do not wrap back into the image.
  std::uint32_t far[4] = {1, 1, 1, 1};
  QEL_GetBlock(far, INT32_MAX - 1, INT32_MAX - 1, 2, 2);
  CHECK((far[0] | far[1] | far[2] | far[3]) == 0);
}

TEST_CASE_FIXTURE(FreshSlots, "8-bit rows and blocks are bytes")
{
  REQUIRE(QEL_CreateImage8(0, "idx", 0, 0, 5, 3, 100) == 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      QEL_PutPixel(x, y, 16 * y + x + 1);
  std::vector<std::uint8_t> row(7, 9);
  QEL_GetRow(row.data(), 1, 6);
  CHECK(row == std::vector<std::uint8_t>{17, 18, 19, 20, 21, 0, 9});   // past count: untouched
  std::vector<std::uint8_t> block(6);
  QEL_GetBlock(block.data(), 3, 1, 3, 2);
  CHECK(block == std::vector<std::uint8_t>{20, 21, 0, 36, 37, 0});
}

TEST_CASE_FIXTURE(FreshSlots, "clearing covers the padding of 8-bit rows")
{
  REQUIRE(QEL_CreateImage8(4, "idx", 0, 0, 5, 3, 100) == 0);
  std::uint8_t* bytes = slot_pixels[4].pixels8;
  std::fill(bytes, bytes + 8 * 3, 0xAA);
  QEL_ClearImage(4);
  CHECK(std::vector(bytes, bytes + 8 * 3) == std::vector<std::uint8_t>(8 * 3, 0));
  for (int slot : {5, -1, 256})               // free or no slot: nothing
    QEL_ClearImage(slot);
}

TEST_CASE_FIXTURE(FreshSlots, "a destroyed current image reads as 0 x 0")
{
  REQUIRE(QEL_CreateImage(2, "closed", 0, 0, 16, 16, 100) == 0);
  QEL_PutPixel(5, 5, 0x112233);
  REQUIRE(QEL_DestroyImage(2) == 0);
  REQUIRE(qel_current_image == 2);
  // Under AddressSanitizer each of these would stop the test if it touched
  // the freed buffer.
  QEL_PutPixel(5, 5, 0x445566);
  QEL_XorPixel(5, 5);
  CHECK(pen_x == 5);
  CHECK(QEL_GetPixel(5, 5) == 0);
  CHECK(GetPixelOrNone(5, 5) == -1);
  std::uint32_t out[4] = {7, 7, 7, 7};
  QEL_GetRow(out, 5, 4);
  QEL_GetBlock(out, 4, 4, 2, 2);
  QEL_ClearImage(2);
  CHECK(out[0] == 7);                          // nothing written for a free slot

  // A current image index out of range behaves like a free slot.
  qel_current_image = 300;
  QEL_PutPixel(0, 0, 1);
  CHECK(QEL_GetPixel(0, 0) == 0);
  qel_current_image = -1;
  QEL_XorPixel(0, 0);
  QEL_GetRow(out, 0, 4);
  CHECK(out[0] == 7);
}
