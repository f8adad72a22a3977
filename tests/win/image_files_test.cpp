// Loading and saving image files through the platform codec, checked against
// ImageMagick as the independent reader and writer; the file dialogs driven
// as a user drives them; and a corpus of broken files that must fail cleanly.
#include <doctest/doctest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hostile_files.h"
#include "image/slots.h"
#include "image_files.h"
#include "imageio/imageio_win.h"
#include "qel_test.h"

namespace {

using Colour = std::function<std::uint32_t(int, int)>;

std::wstring in_folder(const std::wstring& name)
{
  static const std::wstring folder = fresh_test_folder(L"image_files_work");
  return folder + L"\\" + name;
}

std::string ansi_in_folder(const std::wstring& name) { return ansi(in_folder(name)); }

// Smooth in both directions (JPEG stays close), red and blue run differently
// (a channel swap shows), every pixel differs from its neighbours.
std::uint32_t smooth(int x, int y)
{
  return static_cast<std::uint32_t>(30 * x + 10) << 16 | static_cast<std::uint32_t>(40 * y + 20) << 8 |
         static_cast<std::uint32_t>(200 - 15 * (x + y));
}

// 16 colours, no two alike, in an asymmetric arrangement.
std::uint32_t sixteen(int x, int y)
{
  static const std::uint32_t colours[16] = {
      0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x800000, 0x008000,
      0x000080, 0x808000, 0x008080, 0x800080, 0xC0C0C0, 0x404040, 0xFFFFFF, 0x102030};
  return colours[(x * 3 + y * 5 + (x > y ? 1 : 0)) % 16];
}

RgbPicture picture_of(int width, int height, const Colour& colour)
{
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.push_back(colour(x, y));
  return p;
}

// Fills the current 32-bit image with `colour`, the top byte set on purpose.
void fill32(const Colour& colour)
{
  const SlotPixels& p = slot_pixels[qel_current_image];
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.pixels32[y * p.stride + x] = 0xAB000000u | colour(x, y);
}

std::vector<std::uint32_t> palette_of(int slot)
{
  std::vector<std::uint32_t> entries(256);
  QEL_SelectImage(slot);
  QEL_GetPalette(entries.data());
  QEL_RestoreImage();
  return entries;
}

// A slot's words, an 8-bit image's through its palette. On the worker.
RgbPicture slot_picture(int slot)
{
  const SlotPixels& p = slot_pixels[slot];
  const std::vector<std::uint32_t> palette = palette_of(slot);
  return picture_of(p.width, p.height, [&](int x, int y) {
    return p.bits == 8 ? palette[p.pixels8[y * p.stride + x]] : p.pixels32[y * p.stride + x];
  });
}

// The largest difference of any byte between `got` and `expected`; 256 when
// the size is not width x height.
int worst_difference(const RgbPicture& got, int width, int height, const Colour& expected)
{
  if (got.width != width || got.height != height)
    return 256;
  int worst = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int shift = 0; shift <= 24; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>((got.at(x, y) >> shift) & 0xFF) -
                                         static_cast<int>((expected(x, y) >> shift) & 0xFF)));
  return worst;
}

} // namespace

// First in the file, while the process's peak memory is still that of its
// start: a decode that should not happen shows in it.
TEST_CASE("loading: the decode budget; every format, clipped at each edge; broken files fail cleanly; palette files")
{
  write_bytes(in_folder(L"huge.bmp"), tiny_bmp_of_size(16384, 16384));   // 1 GiB decoded
  write_bytes(in_folder(L"budget.bmp"), tiny_bmp_of_size(8192, 8192));   // 256 MiB, the budget
  REQUIRE(magick_write(picture_of(9, 7, sixteen), {}, in_folder(L"sixteen.png"), "PNG8:"));
  const std::vector<std::uint32_t> file_map = magick_colormap(in_folder(L"sixteen.png"));
  REQUIRE(file_map.size() == 16);
  REQUIRE(magick_write({3, 1, {0xFF0000, 0xFFFFFF, 0x0A0A0A}}, {"-type", "TrueColor"}, in_folder(L"colours.png"), "PNG24:"));
  const auto peak = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
  };
  Started<Framework> framework;
  const RgbPicture source = picture_of(24, 18, [](int x, int y) { return x < 12 ? sixteen(x, y) : smooth(x % 8, y % 6); });
  struct Format {
    const wchar_t* name;
    std::vector<std::string> options;
    std::string prefix;
    int tolerance;   // JPEG decoders differ a little
  };
  const Format formats[] = {
      {L"s.bmp", {}, "", 0},
      {L"s_rle.bmp", {"-colors", "200", "-compress", "RLE"}, "BMP3:", 0},
      {L"s.gif", {}, "", 0},
      {L"s.png", {}, "", 0},
      // At 300 dpi a codec that scales by resolution would cover a quarter of the area.
      {L"dense.png", {"-units", "PixelsPerInch", "-density", "300"}, "", 0},
      {L"s8.png", {"-colors", "64"}, "PNG8:", 0},
      {L"s.jpg", {}, "", 6},
      {L"s.tif", {"-compress", "LZW"}, "", 0},
      {L"s.ico", {}, "", 0},
  };
  std::vector<std::wstring> corpus;
  std::minstd_rand random(12345);
  for (const Format& format : formats) {
    const std::wstring path = in_folder(format.name);
    REQUIRE(magick_write(source, format.options, path, format.prefix));
    const std::string bytes = file_text(ansi(path));
    REQUIRE(bytes.size() > 64);
    const auto add = [&](const std::vector<char>& variant) {
      corpus.push_back(path + L"." + std::to_wstring(corpus.size()) + L".bad");
      write_bytes(corpus.back(), variant);
    };
    const auto cut = [&](size_t length) { add({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)}); };
    // Truncations: the empty file, inside the header, and spread over the rest.
    for (const size_t length : {0, 1, 4, 13, 30, 54})
      cut(length);
    for (size_t i = 1; i < 16; ++i)
      cut(bytes.size() * i / 16);
    // Mutations: header bytes set to extremes, then random bytes anywhere.
    for (int i = 0; i < 40; ++i) {
      std::vector<char> v(bytes.begin(), bytes.end());
      if (i < 20) {
        const size_t at = random() % 64;
        v[at] = static_cast<char>(i % 2 ? 0xFF : random());
        if (i % 3 == 0)
          v[at + 1] = static_cast<char>(0x7F);
      } else {
        for (int k = 0; k < 1 + i % 8; ++k)
          v[random() % v.size()] = static_cast<char>(random());
      }
      add(v);
    }
  }
  // The RLE case must really be compressed (BI_RLE8 = 1 at offset 30).
  CHECK(file_text(ansi_in_folder(L"s_rle.bmp"))[30] == 1);

  // Each file placed so that it is clipped on the left and at the bottom,
  // then on the right and at the top.
  const std::pair<int, int> places[] = {{-5, 20}, {30, -10}};
  std::vector<RgbPicture> loaded;
  int loaded_count = 0, failed = 0, other = 0, changed_on_failure = 0;
  const SIZE_T peak_before = peak();
  SIZE_T peak_after = 0;   // the two loads that must not decode, and nothing else
  REQUIRE(as_user_program([&] {
    REQUIRE(QEL_CreateImage(0, "c32", 0, 0, 40, 30, 100) == 0);
    fill32([](int, int) { return 0x112233u; });
    const RgbPicture before = slot_picture(0);
    CHECK(QEL_LoadImage(ansi_in_folder(L"huge.bmp").c_str(), 0, 0) == QEL_NOT_AN_IMAGE);
    CHECK(QEL_LoadImage(ansi_in_folder(L"budget.bmp").c_str(), 40, -10) == QEL_LOADED);
    CHECK(slot_picture(0).pixels == before.pixels);
    peak_after = peak();
    for (const Format& format : formats)
      for (const auto& [x, y] : places) {
        fill32([](int, int) { return 0x112233u; });
        CHECK(QEL_LoadImage(ansi_in_folder(format.name).c_str(), x, y) == 0);
        loaded.push_back(slot_picture(0));
      }
    for (const wchar_t* name : {L"missing.png", L""})   // no such file, a folder
      CHECK(QEL_LoadImage(ansi_in_folder(name).c_str(), 0, 0) == 1);

    REQUIRE(QEL_CreateImage8(1, "c8", 0, 0, 40, 30, 100) == 0);
    for (size_t i = 0; i < corpus.size(); ++i) {
      const int slot = static_cast<int>(i % 2);
      QEL_SelectImage(slot);
      const RgbPicture before = slot_picture(slot);
      const std::vector<std::uint32_t> palette_before = palette_of(slot);
      const int result = QEL_LoadImage(ansi(corpus[i]).c_str(), 3, 2);
      loaded_count += result == 0;
      failed += result == 1;
      other += result != 0 && result != 1;
      if (result == 1 && (slot_picture(slot).pixels != before.pixels || palette_of(slot) != palette_before)) {
        ++changed_on_failure;
        MESSAGE("changed on failure: " << ansi(corpus[i]));
      }
      QEL_RestoreImage();
    }

    // Into an 8-bit image a palette file brings as many entries as it has,
    // a full-colour one none (the nearest entries are tested natively).
    REQUIRE(QEL_CreateImage8(2, "p", 0, 0, 9, 7, 100) == 0);
    const std::vector<std::uint32_t> ramp = palette_of(2);
    CHECK(QEL_LoadImage(ansi_in_folder(L"sixteen.png").c_str(), 0, 0) == 0);
    const std::vector<std::uint32_t> now = palette_of(2);
    for (int i = 0; i < 256; ++i)
      CHECK(now[i] == (i < 16 ? file_map[i] : ramp[i]));
    CHECK(worst_difference(slot_picture(2), 9, 7, sixteen) == 0);
    REQUIRE(QEL_CreateImage8(3, "c", 0, 0, 3, 1, 100) == 0);
    CHECK(QEL_LoadImage(ansi_in_folder(L"colours.png").c_str(), 0, 0) == 0);
    CHECK(palette_of(3) == ramp);
  }, 110000));
  CHECK(peak_after < peak_before + (std::size_t{64} << 20));

  for (size_t i = 0; i < loaded.size(); ++i) {
    const Format& format = formats[i / 2];
    const std::string name = ansi(format.name);
    CAPTURE(name);
    const RgbPicture expected = magick_read(in_folder(format.name));
    REQUIRE(expected.width == 24);
    const auto [at_x, at_y] = places[i % 2];
    CHECK(worst_difference(loaded[i], 40, 30, [&](int x, int y) {
            const int sx = x - at_x, sy = y - at_y;
            return sx < 0 || sy < 0 || sx >= 24 || sy >= 18 ? 0xAB112233u : expected.at(sx, sy);
          }) <= format.tolerance);
  }
  MESSAGE(corpus.size() << " broken files: " << loaded_count << " loaded, " << failed << " refused");
  CHECK((other == 0 && changed_on_failure == 0));
  CHECK(failed > 100);
}

TEST_CASE("saving: 24-bit RGB, 8-bit indexed at 72 dpi, every format, odd widths, padding; bad calls write nothing")
{
  Started<Framework> framework;
  std::vector<std::uint32_t> palette(256);
  for (std::uint32_t i = 0; i < 256; ++i)
    palette[i] = i << 16 | (255 - i) << 8 | ((i * 7) & 0xFF);
  const auto index_at = [](int x, int y) { return (x * 37 + y * 101 + 3) & 0xFF; };
  // Images 5 x 5 and 7 x 5 in slots 5 and 7, 32-bit; 5 x 5 in slot 8, 8-bit.
  struct Save {
    int slot, width, height, format;
  };
  const auto file_of = [](size_t i) { return in_folder(L"save" + std::to_wstring(i)); };
  std::vector<Save> saves{{5, 9, 7, 3}, {8, 9, 7, 0}};   // blocks larger than the image
  for (int format = 0; format < 5; ++format) {
    saves.insert(saves.end(), {{5, 5, 5, format}, {7, 7, 5, format}});
    if (format != QEL_JPEG)
      saves.push_back({8, 5, 5, format});
  }
  REQUIRE(as_user_program([&] {
    for (const int width : {5, 7}) {
      REQUIRE(QEL_CreateImage(width, "rgb", 0, 0, width, 5, 100) == 0);
      fill32(smooth);
    }
    REQUIRE(QEL_CreateImage8(8, "indexed", 0, 0, 5, 5, 100) == 0);
    REQUIRE(QEL_SetPalette(palette.data(), 256) == 0);
    for (int i = 0; i < 25; ++i)
      QEL_PutPixel(i % 5, i / 5, static_cast<std::uint32_t>(index_at(i % 5, i / 5)));
    for (size_t i = 0; i < saves.size(); ++i) {
      QEL_SelectImage(saves[i].slot);
      CHECK(QEL_SaveImage(saves[i].width, saves[i].height, saves[i].format, ansi(file_of(i)).c_str()) == 0);
    }
    CHECK(QEL_SaveImage(10, 0, 3, ansi_in_folder(L"empty").c_str()) == 2);
    CHECK(QEL_SaveImage(0, 10, 0, ansi_in_folder(L"empty").c_str()) == 2);
    CHECK(QEL_SaveImage(4, 4, 5, ansi_in_folder(L"noformat").c_str()) == 1);
    // A current image that is free, or out of range.
    qel_current_image = 200;
    CHECK(QEL_SaveImage(4, 4, 3, ansi_in_folder(L"free").c_str()) == 3);
    qel_current_image = -1;
    CHECK(QEL_LoadImage(ansi(file_of(0) + L".png").c_str(), 0, 0) == 2);
    qel_current_image = 5;
  }));
  for (const wchar_t* name : {L"empty", L"empty.png", L"empty.bmp", L"noformat", L"free", L"free.png"})
    CHECK(GetFileAttributesW(in_folder(name).c_str()) == INVALID_FILE_ATTRIBUTES);

  const char* const format_names[] = {"BMP", "JPEG", "GIF", "PNG", "TIFF"};
  const wchar_t* const extensions[] = {L".bmp", L".jpg", L".gif", L".png", L".tif"};
  for (size_t i = 0; i < saves.size(); ++i) {
    const Save& s = saves[i];
    const std::wstring file = file_of(i) + extensions[s.format];
    const std::string name = ansi(file);
    CAPTURE(name);
    std::string format, alpha, unit;
    double density = 0;
    std::istringstream(magick_info(file, "%m %A %x %U")) >> format >> alpha >> density >> unit;
    CHECK(format.rfind(format_names[s.format], 0) == 0);   // BMP comes with its header's version: BMP3
    CHECK(alpha != "True");   // without an alpha channel the top byte 0xAB has nowhere to go
    // JPEG is lossy, but the picture recognisably the same; ImageMagick reads
    // TIFF colour maps through 16-bit values: one lower at times.
    const bool indexed = s.slot == 8;
    const int tolerance = s.format == QEL_JPEG ? 48 : indexed && s.format == QEL_TIFF ? 1 : 0;
    CHECK(worst_difference(magick_read(file), s.width, s.height, [&](int x, int y) {
            const bool inside = x < (indexed ? 5 : s.slot) && y < 5;
            return indexed ? palette[inside ? index_at(x, y) : 0] : inside ? smooth(x, y) : 0;
          }) <= tolerance);
    if (!indexed)
      continue;
    const std::vector<std::uint32_t> map = magick_colormap(file);
    REQUIRE(map.size() == 256);
    CHECK(worst_difference({256, 1, map}, 256, 1, [&](int i, int) { return palette[i]; }) <= tolerance);
    // ImageMagick keeps the file's own unit: pixels per centimetre in BMP and PNG.
    if (s.format == QEL_BMP || s.format == QEL_PNG)
      CHECK((unit == "PixelsPerCentimeter" ? density * 2.54 : density) == doctest::Approx(72.0).epsilon(0.002));
  }
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

// A user program that opens a file dialog, run from a thread of its own so
// that the test can work the dialog meanwhile. A dialog still open when the
// object goes is cancelled; the program has ended once the object is gone.
struct DialogCall {
  DialogCall(const wchar_t* title, std::function<void()> body)
      : user([body = std::move(body)] { as_user_program(body); }), dialog(wait_for_dialog(title))
  {
  }
  ~DialogCall()
  {
    if (dialog && IsWindow(dialog))
      press_dialog_button(dialog, IDCANCEL);
    user.join();
  }
  std::thread user;
  HWND dialog;
};

} // namespace

TEST_CASE("file dialogs: types, initial name; the chosen type and folder remembered; Save as keeps the JPEG quality")
{
  Started<Framework> framework;
  const std::wstring sub = in_folder(L"dialogs");
  CreateDirectoryW(sub.c_str(), nullptr);
  REQUIRE(magick_write(picture_of(6, 4, sixteen), {}, sub + L"\\pick.png"));
  const std::wstring start_dir = open_dir;
  int result = -1;
  char chosen[path_size] = "unchanged";
  const auto open = [&] { result = OpenImageDialog(chosen); };
  {
    DialogCall call(L"Load image file", open);
    REQUIRE(call.dialog);
    CHECK(window_text(file_name_box(call.dialog)) == "*.BMP;*.RLE;*.DIB");
    CHECK(send(file_type_box(call.dialog), CB_GETCOUNT) == 9);
    CHECK(send(file_type_box(call.dialog), CB_GETCURSEL) == 1);
  }   // cancelled
  CHECK((result == 1 && std::string(chosen) == "unchanged"));
  CHECK((load_filter_index == 2 && std::wstring(open_dir) == start_dir));
  {
    DialogCall call(L"Load image file", open);
    REQUIRE(call.dialog);
    choose_type(call.dialog, 5);
    SetWindowTextW(file_name_box(call.dialog), (sub + L"\\pick.png").c_str());
    CHECK(press_dialog_button(call.dialog, IDOK));
  }
  CHECK((result == 0 && std::string(chosen) == ansi(sub + L"\\pick.png")));
  CHECK((load_filter_index == 5 && std::wstring(open_dir) == sub + L"\\"));

  // Next time the dialog starts with the PNG pattern, and the command loads.
  RgbPicture loaded;
  {
    DialogCall call(L"Load image file", [&] {
      REQUIRE(QEL_CreateImage(3, "target", 0, 0, 6, 4, 100) == 0);
      load_image_file_command(3);
      loaded = slot_picture(3);
    });
    REQUIRE(call.dialog);
    CHECK(window_text(file_name_box(call.dialog)) == "*.PNG");
    SetWindowTextW(file_name_box(call.dialog), L"pick.png");   // relative to the remembered folder
    CHECK(press_dialog_button(call.dialog, IDOK));
  }
  CHECK(worst_difference(loaded, 6, 4, sixteen) == 0);

  // Save as: its own name and types; the JPEG type saves JPEG at full
  // quality, and the program's own quality comes back afterwards.
  int quality_after = -1;
  {
    DialogCall call(L"Save as", [&] {
      qel_jpeg_quality = 40;
      save_image_as_command(3);
      quality_after = qel_jpeg_quality;
      qel_jpeg_quality = 100;
    });
    REQUIRE(call.dialog);
    CHECK(window_text(file_name_box(call.dialog)) == "noname");
    CHECK(send(file_type_box(call.dialog), CB_GETCOUNT) == 6);
    choose_type(call.dialog, 3);
    SetWindowTextW(file_name_box(call.dialog), (sub + L"\\saved").c_str());
    CHECK(press_dialog_button(call.dialog, IDOK));
  }
  CHECK(quality_after == 40);
  CHECK((save_filter_index == 3 && std::wstring(save_dir) == sub + L"\\"));
  CHECK(magick_info(sub + L"\\saved.jpg", "%m") == "JPEG");
}
