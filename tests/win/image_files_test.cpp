// Loading and saving image files through the platform codec, checked against
// ImageMagick as the independent reader and writer; the file dialogs driven
// as a user drives them; and a corpus of broken files that must fail cleanly.
#include <doctest/doctest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "hostile_files.h"
#include "image/slots.h"
#include "image_files.h"
#include "imageio/imageio_win.h"
#include "qel_test.h"

namespace {

std::wstring folder()
{
  static const std::wstring path = fresh_test_folder(L"image_files_work");
  return path;
}

std::wstring in_folder(const std::wstring& name) { return folder() + L"\\" + name; }
std::string ansi_in_folder(const std::wstring& name) { return ansi(in_folder(name)); }

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Smooth in both directions (JPEG stays close), red and blue run differently
// (a channel swap shows), every pixel differs from its neighbours.
std::uint32_t smooth(int x, int y)
{
  return static_cast<std::uint32_t>(30 * x + 10) << 16 | static_cast<std::uint32_t>(40 * y + 20) << 8 |
         static_cast<std::uint32_t>(200 - 15 * (x + y));
}

RgbPicture picture_of(int width, int height, std::uint32_t (*colour)(int, int))
{
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.push_back(colour(x, y));
  return p;
}

// 16 colours, no two alike, in an asymmetric arrangement.
std::uint32_t sixteen(int x, int y)
{
  static const std::uint32_t colours[16] = {
      0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x800000, 0x008000,
      0x000080, 0x808000, 0x008080, 0x800080, 0xC0C0C0, 0x404040, 0xFFFFFF, 0x102030};
  return colours[(x * 3 + y * 5 + (x > y ? 1 : 0)) % 16];
}

// Fills the current 32-bit image with `colour`, the top byte set on purpose.
void fill32(std::uint32_t (*colour)(int, int))
{
  const SlotPixels& p = slot_pixels[qel_current_image];
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.pixels32[y * p.stride + x] = 0xAB000000u | colour(x, y);
}

int max_difference(std::uint32_t a, std::uint32_t b)
{
  int worst = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return worst;
}

std::vector<std::uint8_t> slot_bytes(int slot)
{
  const SlotPixels& p = slot_pixels[slot];
  const size_t size = static_cast<size_t>(p.stride) * p.height * (p.bits == 8 ? 1 : 4);
  return {p.pixels8, p.pixels8 + size};
}

std::vector<std::uint32_t> palette_of(int slot)
{
  std::vector<std::uint32_t> entries(256);
  QEL_SelectImage(slot);
  QEL_GetPalette(entries.data());
  QEL_RestoreImage();
  return entries;
}

std::vector<char> file_bytes(const std::wstring& path)
{
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const format_names[] = {"BMP", "JPEG", "GIF", "PNG", "TIFF"};
const wchar_t* const format_extensions[] = {L".bmp", L".jpg", L".gif", L".png", L".tif"};

} // namespace

// First in the file, while the process's peak memory is still that of its
// start: a decode that should not happen shows in it.
TEST_CASE("pictures beyond the decode budget are refused, and pictures that land outside are not decoded")
{
  write_bytes(in_folder(L"huge.bmp"), tiny_bmp_of_size(16384, 16384));   // 1 GiB decoded
  write_bytes(in_folder(L"budget.bmp"), tiny_bmp_of_size(8192, 8192));   // 256 MiB, the budget
  const auto peak = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
  };
  Framework framework;
  REQUIRE(framework.started);
  const SIZE_T peak_before = peak();
  int huge = -1, outside = -1;
  bool unchanged = false;
  REQUIRE(as_user_program([&] {
    QEL_CreateImage(0, "000", 0, 0, 64, 48, 100);
    fill32(smooth);
    const std::vector<std::uint8_t> before = slot_bytes(0);
    huge = QEL_LoadImage(ansi_in_folder(L"huge.bmp").c_str(), 0, 0);
    outside = QEL_LoadImage(ansi_in_folder(L"budget.bmp").c_str(), 64, -10);
    unchanged = slot_bytes(0) == before;
  }));
  CHECK(huge == QEL_NOT_AN_IMAGE);
  CHECK(outside == QEL_LOADED);
  CHECK(unchanged);
  CHECK(peak() < peak_before + (std::size_t{64} << 20));
}

TEST_CASE("32-bit images save as 24-bit RGB in every format, odd widths, top byte dropped")
{
  Framework framework;
  REQUIRE(framework.started);
  for (const int width : {5, 7}) {
    CAPTURE(width);
    REQUIRE(as_user_program([&] {
      REQUIRE(QEL_CreateImage(0, "src", 0, 0, width, 5, 100) == 0);
      fill32(smooth);
      for (int format = 0; format < 5; ++format) {
        const std::string name = ansi_in_folder(L"rgb_" + std::to_wstring(width) + L"_" + std::to_wstring(format));
        CHECK(QEL_SaveImage(width, 5, format, name.c_str()) == 0);
      }
      QEL_DestroyImage(0);
    }));
    for (int format = 0; format < 5; ++format) {
      CAPTURE(format_names[format]);
      const std::wstring file = in_folder(L"rgb_" + std::to_wstring(width) + L"_" + std::to_wstring(format)) +
                                format_extensions[format];
      REQUIRE(exists(file));
      // ImageMagick names BMP files with the version of their header (BMP3).
      CHECK(magick_info(file, "%m").rfind(format_names[format], 0) == 0);
      // Without the alpha channel the top byte 0xAB has nowhere to go.
      CHECK(magick_info(file, "%A") != "True");
      const RgbPicture read = magick_read(file);
      REQUIRE(read.width == width);
      REQUIRE(read.height == 5);
      int worst = 0;
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < width; ++x)
          worst = std::max(worst, max_difference(read.at(x, y), smooth(x, y)));
      if (format == 1)
        CHECK(worst <= 48);   // lossy, but the picture is recognisably the same
      else
        CHECK(worst == 0);
    }
  }
}

TEST_CASE("8-bit images save indexed with all 256 entries, rows aligned, at 72 dpi")
{
  Framework framework;
  REQUIRE(framework.started);
  std::vector<std::uint32_t> palette(256);
  for (std::uint32_t i = 0; i < 256; ++i)
    palette[i] = i << 16 | (255 - i) << 8 | ((i * 7) & 0xFF);
  auto index_at = [](int x, int y) { return (x * 37 + y * 101 + 3) & 0xFF; };
  REQUIRE(as_user_program([&] {
    REQUIRE(QEL_CreateImage8(0, "src8", 0, 0, 5, 4, 100) == 0);
    REQUIRE(QEL_SetPalette(palette.data(), 256) == 0);
    const SlotPixels& p = slot_pixels[0];
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        p.pixels8[y * p.stride + x] = static_cast<std::uint8_t>(index_at(x, y));
    for (int format = 0; format < 5; ++format)
      if (format != 1)
        CHECK(QEL_SaveImage(5, 4, format, ansi_in_folder(L"idx_" + std::to_wstring(format)).c_str()) == 0);
    QEL_DestroyImage(0);
  }));
  for (const int format : {0, 2, 3, 4}) {
    CAPTURE(format_names[format]);
    const std::wstring file = in_folder(L"idx_" + std::to_wstring(format)) + format_extensions[format];
    REQUIRE(exists(file));
    // ImageMagick reads TIFF colour maps through 16-bit values: one lower at times.
    const int tolerance = format == 4 ? 1 : 0;
    const RgbPicture read = magick_read(file);
    REQUIRE(read.width == 5);
    REQUIRE(read.height == 4);
    int worst = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        worst = std::max(worst, max_difference(read.at(x, y), palette[index_at(x, y)]));
    CHECK(worst <= tolerance);
    const std::vector<std::uint32_t> map = magick_colormap(file);
    REQUIRE(map.size() == 256);
    int map_worst = 0;
    for (int i = 0; i < 256; ++i)
      map_worst = std::max(map_worst, max_difference(map[i], palette[i]));
    CHECK(map_worst <= tolerance);
  }
  for (const int format : {0, 3}) {
    const std::wstring file = in_folder(L"idx_" + std::to_wstring(format)) + format_extensions[format];
    // ImageMagick keeps the file's own unit: pixels per centimetre in BMP and PNG.
    const std::string info = magick_info(file, "%x %U");
    const double per_unit = std::atof(info.c_str());
    const double dpi = info.find("PixelsPerCentimeter") != std::string::npos ? per_unit * 2.54 : per_unit;
    CHECK(dpi == doctest::Approx(72.0).epsilon(0.002));
  }
}

TEST_CASE("a block larger than the image pads with black or index 0; bad calls write nothing")
{
  Framework framework;
  REQUIRE(framework.started);
  REQUIRE(as_user_program([&] {
    REQUIRE(QEL_CreateImage(0, "w", 0, 0, 4, 4, 100) == 0);
    fill32([](int, int) -> std::uint32_t { return 0xFFFFFF; });
    CHECK(QEL_SaveImage(10, 10, 3, ansi_in_folder(L"pad32").c_str()) == 0);
    CHECK(QEL_SaveImage(10, 0, 3, ansi_in_folder(L"empty").c_str()) == 2);
    CHECK(QEL_SaveImage(0, 10, 0, ansi_in_folder(L"empty").c_str()) == 2);
    CHECK(QEL_SaveImage(4, 4, 5, ansi_in_folder(L"noformat").c_str()) == 1);
    CHECK(QEL_SaveImage(4, 4, -1, ansi_in_folder(L"noformat").c_str()) == 1);

    REQUIRE(QEL_CreateImage8(1, "w8", 0, 0, 4, 4, 100) == 0);
    const std::uint32_t entries[2] = {0x123456, 0xFFFFFF};
    QEL_SetPalette(entries, 2);
    const SlotPixels& p = slot_pixels[1];
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        p.pixels8[y * p.stride + x] = 1;
    CHECK(QEL_SaveImage(10, 10, 0, ansi_in_folder(L"pad8").c_str()) == 0);

    // A current image that is free, or out of range.
    qel_current_image = 200;
    CHECK(QEL_SaveImage(4, 4, 3, ansi_in_folder(L"free").c_str()) == 3);
    CHECK(QEL_LoadImage(ansi_in_folder(L"pad32.png").c_str(), 0, 0) == 2);
    qel_current_image = 256;
    CHECK(QEL_SaveImage(4, 4, 3, ansi_in_folder(L"free").c_str()) == 3);
    qel_current_image = -1;
    CHECK(QEL_LoadImage(ansi_in_folder(L"pad32.png").c_str(), 0, 0) == 2);
    qel_current_image = 0;
    QEL_DestroyImage(0);
    QEL_DestroyImage(1);
  }));
  for (const wchar_t* name : {L"empty", L"empty.png", L"empty.bmp", L"noformat", L"free", L"free.png"})
    CHECK_FALSE(exists(in_folder(name)));

  const RgbPicture pad32 = magick_read(in_folder(L"pad32.png"));
  REQUIRE(pad32.width == 10);
  REQUIRE(pad32.height == 10);
  const RgbPicture pad8 = magick_read(in_folder(L"pad8.bmp"));
  REQUIRE(pad8.width == 10);
  REQUIRE(pad8.height == 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x < 4 && y < 4;
      CHECK(pad32.at(x, y) == (inside ? 0xFFFFFFu : 0u));
      CHECK(pad8.at(x, y) == (inside ? 0xFFFFFFu : 0x123456u));
    }
}

TEST_CASE("loading draws the picture at its own pixel size and changes nothing else")
{
  Framework framework;
  REQUIRE(framework.started);
  const RgbPicture source = picture_of(100, 100, [](int x, int y) -> std::uint32_t {
    return static_cast<std::uint32_t>(x * 2) << 16 | static_cast<std::uint32_t>(y * 2) << 8 | 0x40;
  });
  REQUIRE(magick_write(source, {}, in_folder(L"hundred.png")));
  // At 300 dpi a codec that scales by resolution would cover a third of it.
  REQUIRE(magick_write(source, {"-units", "PixelsPerInch", "-density", "300"}, in_folder(L"dense.png")));
  write_bytes(in_folder(L"text.png"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});

  REQUIRE(as_user_program([&] {
    for (const wchar_t* name : {L"hundred.png", L"dense.png"}) {
      REQUIRE(QEL_CreateImage(0, "l", 0, 0, 120, 120, 100) == 0);
      fill32([](int, int) -> std::uint32_t { return 0x112233; });
      CHECK(QEL_LoadImage(ansi_in_folder(name).c_str(), 50, 50) == 0);
      const SlotPixels& p = slot_pixels[0];
      int wrong = 0;
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) {
          const std::uint32_t expected = x < 50 || y < 50 ? 0xAB112233u : source.at(x - 50, y - 50);
          wrong += p.pixels32[y * p.stride + x] != expected;
        }
      CHECK(wrong == 0);
      // Negative positions clip the picture's top-left part away.
      CHECK(QEL_LoadImage(ansi_in_folder(name).c_str(), -90, -95) == 0);
      CHECK(p.pixels32[0] == source.at(90, 95));
      CHECK(p.pixels32[4 * p.stride + 9] == source.at(99, 99));
      CHECK(p.pixels32[4 * p.stride + 10] == 0xAB112233u);
      QEL_DestroyImage(0);
    }

    REQUIRE(QEL_CreateImage(0, "l", 0, 0, 20, 20, 100) == 0);
    fill32(smooth);
    const std::vector<std::uint8_t> before = slot_bytes(0);
    CHECK(QEL_LoadImage(ansi_in_folder(L"text.png").c_str(), 0, 0) == 1);
    CHECK(QEL_LoadImage(ansi_in_folder(L"missing.png").c_str(), 0, 0) == 1);
    CHECK(QEL_LoadImage(ansi(folder()).c_str(), 0, 0) == 1);
    CHECK(slot_bytes(0) == before);
    QEL_DestroyImage(0);
  }));
}

TEST_CASE("BMP with RLE, GIF, TIFF, ICO, JPEG and PNG load as ImageMagick reads them")
{
  Framework framework;
  REQUIRE(framework.started);
  const RgbPicture source = picture_of(13, 11, sixteen);
  struct Case {
    const wchar_t* name;
    std::vector<std::string> options;
    std::string prefix;
    int tolerance;
  };
  const Case cases[] = {
      {L"rle8.bmp", {"-type", "Palette", "-compress", "RLE"}, "BMP3:", 0},
      {L"plain.gif", {}, "", 0},
      {L"lzw.tif", {"-compress", "LZW"}, "", 0},
      {L"icon.ico", {}, "", 0},
      {L"photo.jpg", {"-quality", "90"}, "", 6},
      {L"pal.png", {}, "PNG8:", 0},
  };
  for (const Case& c : cases)
    REQUIRE(magick_write(source, c.options, in_folder(c.name), c.prefix));
  // The RLE case must really be compressed (BI_RLE8 = 1 at offset 30).
  const std::vector<char> rle = file_bytes(in_folder(L"rle8.bmp"));
  REQUIRE(rle.size() > 34);
  CHECK(rle[30] == 1);

  for (const Case& c : cases) {
    const std::string file_name = ansi(c.name);
    CAPTURE(file_name);
    const RgbPicture expected = magick_read(in_folder(c.name));
    REQUIRE(expected.width == 13);
    REQUIRE(as_user_program([&] {
      REQUIRE(QEL_CreateImage(0, "f", 0, 0, 13, 11, 100) == 0);
      CHECK(QEL_LoadImage(ansi_in_folder(c.name).c_str(), 0, 0) == 0);
      const SlotPixels& p = slot_pixels[0];
      int worst = 0;
      for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
          worst = std::max(worst, max_difference(p.pixels32[y * p.stride + x], expected.at(x, y)));
      CHECK(worst <= c.tolerance);
      QEL_DestroyImage(0);
    }));
  }
}

TEST_CASE("8-bit images: a palette file replaces as many entries as it has; colours go nearest")
{
  Framework framework;
  REQUIRE(framework.started);
  const RgbPicture source = picture_of(9, 7, sixteen);
  REQUIRE(magick_write(source, {}, in_folder(L"sixteen.png"), "PNG8:"));
  const std::vector<std::uint32_t> file_map = magick_colormap(in_folder(L"sixteen.png"));
  REQUIRE(file_map.size() == 16);
  const RgbPicture colours{3, 1, {0xFF0000, 0xFFFFFF, 0x0A0A0A}};
  REQUIRE(magick_write(colours, {"-type", "TrueColor"}, in_folder(L"colours.png"), "PNG24:"));

  REQUIRE(as_user_program([&] {
    REQUIRE(QEL_CreateImage8(0, "p", 0, 0, 9, 7, 100) == 0);
    const std::vector<std::uint32_t> ramp = palette_of(0);
    for (std::uint32_t i = 0; i < 256; ++i)
      REQUIRE(ramp[i] == i * 0x010101u);
    CHECK(QEL_LoadImage(ansi_in_folder(L"sixteen.png").c_str(), 0, 0) == 0);
    const std::vector<std::uint32_t> now = palette_of(0);
    for (int i = 0; i < 256; ++i)
      CHECK(now[i] == (i < 16 ? file_map[i] : ramp[i]));
    const SlotPixels& p = slot_pixels[0];
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        CHECK(now[p.pixels8[y * p.stride + x]] == source.at(x, y));
    QEL_DestroyImage(0);

    // A full-colour file brings no palette (the nearest entry is tested natively).
    REQUIRE(QEL_CreateImage8(0, "c", 0, 0, 3, 1, 100) == 0);
    CHECK(QEL_LoadImage(ansi_in_folder(L"colours.png").c_str(), 0, 0) == 0);
    CHECK(palette_of(0) == ramp);
    QEL_DestroyImage(0);
  }));
}

TEST_CASE("truncated and corrupted files of every format fail cleanly or load")
{
  Framework framework;
  REQUIRE(framework.started);
  const RgbPicture source = picture_of(24, 18, [](int x, int y) -> std::uint32_t {
    return x < 12 ? sixteen(x, y) : smooth(x % 8, y % 6);
  });
  struct Seed {
    const wchar_t* name;
    std::vector<std::string> options;
    std::string prefix;
  };
  const Seed seeds[] = {
      {L"s.bmp", {}, ""},          {L"s_rle.bmp", {"-colors", "200", "-compress", "RLE"}, "BMP3:"},
      {L"s.gif", {}, ""},          {L"s.png", {}, ""},
      {L"s.jpg", {}, ""},          {L"s.tif", {"-compress", "LZW"}, ""},
      {L"s.ico", {}, ""},          {L"s8.png", {"-colors", "64"}, "PNG8:"},
  };
  std::vector<std::wstring> corpus;
  std::uint32_t state = 12345;
  auto random = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  for (const Seed& seed : seeds) {
    const std::wstring path = in_folder(seed.name);
    REQUIRE(magick_write(source, seed.options, path, seed.prefix));
    const std::vector<char> bytes = file_bytes(path);
    REQUIRE(bytes.size() > 64);
    int n = 0;
    auto add = [&](const std::vector<char>& variant) {
      const std::wstring name = path + L"." + std::to_wstring(n++) + L".bad";
      write_bytes(name, variant);
      corpus.push_back(name);
    };
    // Truncations: the empty file, inside the header, and spread over the rest.
    for (const size_t length : {size_t{0}, size_t{1}, size_t{4}, size_t{13}, size_t{30}, size_t{54}})
      add({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size() - 1))});
    for (int i = 1; i < 16; ++i)
      add({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() * i / 16)});
    // Mutations: header bytes set to extremes, and random bytes anywhere.
    for (int i = 0; i < 20; ++i) {
      std::vector<char> v = bytes;
      const size_t at = random(std::min<std::uint32_t>(64, static_cast<std::uint32_t>(v.size())));
      v[at] = static_cast<char>(i % 2 ? 0xFF : random(256));
      if (i % 3 == 0)
        v[(at + 1) % v.size()] = static_cast<char>(0x7F);
      add(v);
    }
    for (int i = 0; i < 20; ++i) {
      std::vector<char> v = bytes;
      for (int k = 0; k < 1 + i % 8; ++k)
        v[random(static_cast<std::uint32_t>(v.size()))] = static_cast<char>(random(256));
      add(v);
    }
  }
  REQUIRE(corpus.size() >= 400);

  int loaded = 0, failed = 0, other = 0, changed_on_failure = 0;
  REQUIRE(as_user_program([&] {
    REQUIRE(QEL_CreateImage(0, "c32", 0, 0, 40, 30, 100) == 0);
    REQUIRE(QEL_CreateImage8(1, "c8", 0, 0, 40, 30, 100) == 0);
    for (size_t i = 0; i < corpus.size(); ++i) {
      const int slot = static_cast<int>(i % 2);
      QEL_SelectImage(slot);
      const std::vector<std::uint8_t> before = slot_bytes(slot);
      const std::vector<std::uint32_t> palette_before = palette_of(slot);
      const int result = QEL_LoadImage(ansi(corpus[i]).c_str(), 3, 2);
      if (result == 0) {
        ++loaded;
      } else if (result == 1) {
        ++failed;
        if (slot_bytes(slot) != before || palette_of(slot) != palette_before) {
          ++changed_on_failure;
          MESSAGE("changed on failure: " << ansi(corpus[i]));
        }
      } else {
        ++other;
      }
      QEL_RestoreImage();
    }
    QEL_DestroyImage(0);
    QEL_DestroyImage(1);
  }, 110000));
  MESSAGE(corpus.size() << " broken files: " << loaded << " loaded, " << failed << " refused");
  CHECK(other == 0);
  CHECK(changed_on_failure == 0);
  CHECK(failed > 100);
}

namespace {

HWND file_type_box(HWND dialog) { return GetDlgItem(dialog, 0x470); }

void choose_type(HWND dialog, int index)
{
  HWND types = file_type_box(dialog);
  send(types, CB_SETCURSEL, static_cast<WPARAM>(index - 1));
  // As a mouse choice ends: the dialog takes the type when the selection is confirmed.
  send(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
  send(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

std::vector<std::string> type_list(HWND dialog)
{
  std::vector<std::string> texts;
  HWND types = file_type_box(dialog);
  const int count = static_cast<int>(send(types, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    send(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    texts.push_back(ansi(text));
  }
  return texts;
}

} // namespace

TEST_CASE("the open dialog: title, types, initial name, remembered folder and type")
{
  Framework framework;
  REQUIRE(framework.started);
  const std::wstring sub = in_folder(L"opened");
  CreateDirectoryW(sub.c_str(), nullptr);
  REQUIRE(magick_write(picture_of(6, 4, sixteen), {}, sub + L"\\pick.png"));
  const std::wstring start_dir = open_dir;
  CHECK(load_filter_index == 2);

  int result = -1;
  char chosen[path_size] = "unchanged";
  std::thread user([&] { as_user_program([&] { result = OpenImageDialog(chosen); }); });
  HWND dialog = wait_for_dialog(L"Load image file");
  if (!dialog)
    user.join();
  REQUIRE(dialog);
  CHECK(window_text(file_name_box(dialog)) == "*.BMP;*.RLE;*.DIB");
  CHECK(type_list(dialog) == std::vector<std::string>{
                                 "All Files (*.*)", "BMP (*.BMP;*.RLE;*.DIB)", "JPEG (*.JPG;*.JPEG;*.JPE)",
                                 "CompuServe GIF (*.GIF)", "PNG (*.PNG)", "TIFF (*.TIF;*.TIFF)", "WMF (*.WMF)",
                                 "EMF (*.EMF)", "ICO (*.ICO)"});
  CHECK(send(file_type_box(dialog), CB_GETCURSEL) == 1);
  CHECK(press_dialog_button(dialog, IDCANCEL));
  user.join();
  CHECK(result == 1);
  CHECK(std::string(chosen) == "unchanged");
  CHECK(load_filter_index == 2);
  CHECK(std::wstring(open_dir) == start_dir);

  user = std::thread([&] { as_user_program([&] { result = OpenImageDialog(chosen); }); });
  dialog = wait_for_dialog(L"Load image file");
  if (!dialog)
    user.join();
  REQUIRE(dialog);
  choose_type(dialog, 5);
  SetWindowTextW(file_name_box(dialog), (sub + L"\\pick.png").c_str());
  CHECK(press_dialog_button(dialog, IDOK));
  user.join();
  CHECK(result == 0);
  CHECK(std::string(chosen) == ansi(sub + L"\\pick.png"));
  CHECK(load_filter_index == 5);
  CHECK(std::wstring(open_dir) == sub + L"\\");

  // Next time the dialog starts with the PNG pattern, and the command loads.
  bool loaded = false;
  user = std::thread([&] {
    as_user_program([&] {
      REQUIRE(QEL_CreateImage(3, "target", 0, 0, 6, 4, 100) == 0);
      load_image_file_command(3);
      loaded = slot_pixels[3].pixels32[0] == sixteen(0, 0) && slot_pixels[3].pixels32[5 + 3 * 6] == sixteen(5, 3);
      QEL_DestroyImage(3);
    });
  });
  dialog = wait_for_dialog(L"Load image file");
  if (!dialog)
    user.join();
  REQUIRE(dialog);
  CHECK(window_text(file_name_box(dialog)) == "*.PNG");
  SetWindowTextW(file_name_box(dialog), L"pick.png");   // relative to the remembered folder
  CHECK(press_dialog_button(dialog, IDOK));
  user.join();
  CHECK(loaded);
}

TEST_CASE("the save dialog: types, noname, and the format each type saves")
{
  Framework framework;
  REQUIRE(framework.started);
  const std::wstring sub = in_folder(L"saved");
  CreateDirectoryW(sub.c_str(), nullptr);
  CHECK(save_filter_index == 2);

  auto save_as = [&](int type, const std::wstring& name) {
    std::thread user([&] {
      as_user_program([&] {
        REQUIRE(QEL_CreateImage(4, "s", 0, 0, 6, 5, 100) == 0);
        fill32(smooth);
        qel_jpeg_quality = 40;
        save_image_as_command(4);
        CHECK(qel_jpeg_quality == 40);
        qel_jpeg_quality = 100;
        QEL_DestroyImage(4);
      });
    });
    HWND dialog = wait_for_dialog(L"Save as");
    if (!dialog)
      user.join();
    REQUIRE(dialog);
    CHECK(window_text(file_name_box(dialog)) == "noname");
    CHECK(type_list(dialog).size() == 6);
    choose_type(dialog, type);
    SetWindowTextW(file_name_box(dialog), (sub + L"\\" + name).c_str());
    CHECK(press_dialog_button(dialog, IDOK));
    user.join();
  };
  save_as(1, L"all.JPG");
  CHECK(magick_info(sub + L"\\all.JPG.bmp", "%m").rfind("BMP", 0) == 0);
  CHECK(save_filter_index == 1);
  CHECK(std::wstring(save_dir) == sub + L"\\");
  save_as(3, L"quality");
  CHECK(magick_info(sub + L"\\quality.jpg", "%m") == "JPEG");
  save_as(4, L"reduced");
  const RgbPicture gif = magick_read(sub + L"\\reduced.gif");
  REQUIRE(gif.width == 6);
  CHECK(gif.at(5, 4) == smooth(5, 4));
  save_as(6, L"scan.TIF");
  CHECK(magick_info(sub + L"\\scan.TIF", "%m") == "TIFF");
  CHECK(save_filter_index == 6);
}

