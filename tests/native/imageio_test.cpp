// Image file helpers that need no codec: extensions and save formats, colour
// reduction and nearest palette entries, and where a loaded picture lands.
#include <doctest/doctest.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "fresh_slots.h"
#include "imageio/colour_reduce.h"
#include "imageio/extension.h"
#include "imageio/place.h"

namespace {

std::wstring appended(const wchar_t* name, int format)
{
  wchar_t buffer[path_size];
  std::wcscpy(buffer, name);
  REQUIRE(AppendExtension(buffer, path_size, save_format(format)->extension));
  return buffer;
}

int distance2(std::uint32_t a, std::uint32_t b)
{
  auto d = [&](int shift) { return static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF); };
  return d(0) * d(0) + d(8) * d(8) + d(16) * d(16);
}

} // namespace

TEST_CASE("AppendExtension looks at the last four characters only, in any case, never past the buffer; save formats")
{
  CHECK(appended(L"chart.pNg", 3) == L"chart.pNg");
  CHECK(appended(L"chart", 3) == L"chart.png");
  CHECK(appended(L"photo.jpeg", 1) == L"photo.jpeg.jpg");
  CHECK(appended(L"a.gif", 0) == L"a.gif.bmp");   // another format's ending does not count
  CHECK(appended(L".bmp", 0) == L".bmp");          // exactly four characters
  CHECK(appended(L"bmp", 0) == L"bmp.bmp");        // shorter than four
  CHECK(appended(L"", 0) == L".bmp");
  // Only A-Z fold: other characters stay as they are.
  CHECK(appended(L"x.\u00C4MP", 0) == L"x.\u00C4MP.bmp");

  // Never past the buffer.
  std::vector<wchar_t> buffer(path_size, L'\0');
  std::wmemset(buffer.data(), L'n', path_size - 4);   // 255 characters: ".png" does not fit
  const std::wstring before(buffer.data());
  CHECK((!AppendExtension(buffer.data(), path_size, L".png") && std::wstring(buffer.data()) == before));
  buffer[path_size - 5] = 0;                            // 254 characters: it fits exactly
  CHECK((AppendExtension(buffer.data(), path_size, L".png") && std::wcslen(buffer.data()) == path_size - 1));
  // A name that already ends right needs no room.
  std::wmemcpy(buffer.data() + path_size - 5, L".PNG", 4);
  CHECK(AppendExtension(buffer.data(), path_size, L".png"));

  // Save formats outside 0..4, and the format each save dialog type saves.
  CHECK((save_format(-1) == nullptr && save_format(5) == nullptr));
  // Type index 1 "All Files" and 2 "BMP" save BMP; 3..6 JPEG, GIF, PNG, TIFF.
  const int expected[] = {-1, 0, 0, 1, 2, 3, 4, -1};
  for (int index = 0; index <= 7; ++index)
    CHECK((save_format_for_filter(index) == expected[index] && filter_forces_full_quality(index) == (index == 3)));
  CHECK(save_format_for_filter(-5) == -1);
}

TEST_CASE_FIXTURE(FreshSlots, "nearest palette entries, colour reduction; where a picture lands and how it is drawn")
{
  // The nearest palette entry: squared distance, lowest index among equals.
  const std::uint32_t palette[] = {0x000000, 0xFF0000, 0x0000FF, 0xFF0000, 0x808080};
  CHECK(nearest_palette_index(palette, 5, 0xFF0000) == 1);   // exact, first of two
  CHECK(nearest_palette_index(palette, 5, 0x1000F0) == 2);   // blue, not red: no channel swap
  CHECK(nearest_palette_index(palette, 5, 0xAB101010) == 0); // top byte ignored
  CHECK(nearest_palette_index(palette, 1, 0xFFFFFF) == 0);

  const std::uint32_t colours[] = {0x0000FE, 0xFF0000, 0x0000FE, 0x7F7F7F, 0x01000000};
  CHECK(map_to_palette(colours, 5, palette, 5) == std::vector<std::uint8_t>{2, 1, 2, 4, 0});

  // Colour reduction keeps pictures of up to 256 colours exact.
  for (const int distinct : {1, 2, 255, 256}) {
    CAPTURE(distinct);
    std::vector<std::uint32_t> pixels, colours;
    std::mt19937 random(7);
    for (int i = 0; i < distinct; ++i)
      colours.push_back(random() & 0xFFFFFF);
    // Repeats in a scattered order, top bytes set on some: they must not count.
    for (int i = 0; i < 1000; ++i)
      pixels.push_back(colours[(i * 37) % distinct] | (i % 3 ? 0xFF000000u : 0));
    const IndexedPicture picture = reduce_colours(pixels.data(), pixels.size());
    REQUIRE(picture.indices.size() == pixels.size());
    CHECK(picture.palette.size() == std::set<std::uint32_t>(colours.begin(), colours.end()).size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
      REQUIRE(picture.palette[picture.indices[i]] == (pixels[i] & 0xFFFFFF));
  }
  CHECK(reduce_colours(nullptr, 0).palette.empty());

  // Of many colours: 256 entries, every pixel on its nearest. A smooth
  // gradient of 64 x 64 x 16 colours plus a rare outlier.
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t i = 0; i < 64 * 64 * 16; ++i)   // red, green, blue from the high bits down
    pixels.push_back((i >> 10) * 4 << 16 | (i >> 4 & 63) * 4 << 8 | (i & 15) * 16);
  pixels.push_back(0xFFFFFF);
  const IndexedPicture picture = reduce_colours(pixels.data(), pixels.size());
  REQUIRE((picture.palette.size() == 256 && picture.indices.size() == pixels.size()));
  long long error = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 97) {
    const int chosen = distance2(picture.palette[picture.indices[i]], pixels[i]);
    const int best = distance2(
        picture.palette[nearest_palette_index(picture.palette.data(), 256, pixels[i])], pixels[i]);
    REQUIRE(chosen == best);
    error += chosen;
  }
  // Median cut spreads the entries over the cube: 256 even boxes of side ~40
  // give a mean squared error of about 3 * 40^2 / 12 = 400; a palette bunched
  // in one corner would leave errors in the thousands.
  CHECK(error / static_cast<long long>(pixels.size() / 97) < 800);

  // The palette stays within what max_colours asks.
  CHECK(reduce_colours(pixels.data(), pixels.size(), 16).palette.size() == 16);

  // clip_placement: the part of a picture inside the image (source x, y,
  // target x, y, width, height).
  auto parts = [](const Placement& p) {
    return std::vector{p.source_x, p.source_y, p.target_x, p.target_y, p.width, p.height};
  };
  CHECK(parts(clip_placement(100, 100, 50, 50, 120, 120)) == std::vector{0, 0, 50, 50, 70, 70});
  CHECK(parts(clip_placement(10, 8, -3, -2, 120, 120)) == std::vector{3, 2, 0, 0, 7, 6});
  CHECK(parts(clip_placement(10, 8, 0, 0, 4, 4)) == std::vector{0, 0, 0, 0, 4, 4});
  CHECK((clip_placement(10, 10, 120, 0, 120, 120).width == 0 && clip_placement(10, 10, -10, 0, 120, 120).width == 0));
  // Positions near the ends of int neither wrap nor land inside.
  CHECK((clip_placement(100, 100, 2147483600, 0, 120, 120).width == 0 &&
         clip_placement(2147483647, 100, -2147483647 - 1, 0, 120, 120).width == 0));
  CHECK(parts(clip_placement(2147483647, 5, -2147483600, 0, 120, 120)) == std::vector{2147483600, 0, 0, 0, 47, 5});

  // composite_picture, 32-bit: opaque replaces, transparent keeps, half
  // blends ((255*128 + c*127 + 127) / 255); the top byte ends 0.
  REQUIRE(QEL_CreateImage(0, "t", 0, 0, 7, 5, 100) == 0);
  const SlotPixels& rgb = slot_pixels[0];
  std::fill_n(rgb.pixels32, 35, 0x00204060u);
  const std::uint32_t four[] = {0xFFFF0000, 0x000000FF, 0x80FFFFFF, 0xFF0000FF};
  composite_picture(rgb, clip_placement(2, 2, 5, 3, 7, 5), four, nullptr);
  const std::uint32_t* row3 = rgb.pixels32 + 3 * 7;
  CHECK(std::vector{row3[5], row3[6], row3[7 + 5], row3[7 + 6]} ==
        std::vector<std::uint32_t>{0xFF0000, 0x204060, 0x90A0B0, 0x0000FF});
  CHECK(std::count(rgb.pixels32, rgb.pixels32 + 35, 0x204060u) == 35 - 3);

  // 8-bit: each colour becomes the nearest entry; rows at the padded stride.
  REQUIRE(QEL_CreateImage8(1, "t8", 0, 0, 7, 5, 100) == 0);
  std::vector<std::uint32_t> entries = grey_ramp();
  entries[10] = 0xFF0000;
  entries[20] = 0x0000FF;
  const SlotPixels& idx = slot_pixels[1];
  REQUIRE(idx.stride == 8);
  std::vector<std::uint32_t> argb(7 * 5), expected(7 * 5);
  for (int i = 0; i < 7 * 5; ++i) {
    const int x = i % 7, y = i / 7;
    argb[i] = x == y ? 0xFFFE0101 : x == 6 ? 0xFF0000FE : 0xFF050505;
    expected[i] = x == y ? 10 : x == 6 ? (y == 0 ? 0 : 20) : 5;
  }
  argb[6] = 0x0000FF00;     // transparent over index 0: stays 0
  idx.pixels8[7] = 99;      // padding byte of row 0
  composite_picture(idx, clip_placement(7, 5, 0, 0, 7, 5), argb.data(), entries.data());
  CHECK((pixels_of(idx) == expected && idx.pixels8[7] == 99));
}
