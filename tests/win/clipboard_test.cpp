// Images through the real clipboard: the blocks Copy and Cut leave there,
// pastes at a point and by a click, a palette picture's colour table, the
// main window's Paste, and the exchange with an X11 program (xclip) that
// Wine's clipboard bridge makes possible, checked with ImageMagick.
#include <doctest/doctest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "image/image_win.h"
#include "image/slots.h"
#include "image_files.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Neighbours differ, and red and blue run differently.
std::uint32_t pattern(int x, int y)
{
  return (37u * x + 11u * y) % 256 << 16 | (5u * y + x) % 256 << 8 | (250u - 3 * x) % 256;
}

RgbPicture pattern_picture(int w, int h)
{
  RgbPicture p{w, h, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.pixels.push_back(pattern(x, y));
  return p;
}

std::uint32_t at(int slot, int x, int y) { return slot_pixels[slot].pixels32[y * slot_pixels[slot].stride + x]; }
std::uint32_t u32(const Bytes& b, size_t i) { return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | b[i + 3] << 24; }

using Colours = std::function<std::uint32_t(int, int)>;

// A 32-bit w x h image in `slot` with those colours.
void make_image(int slot, int w, int h, const Colours& colour = pattern)
{
  REQUIRE(worker_value([=] { return QEL_CreateImage(slot, "c", 0, 0, w, h, 100); }) == 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      slot_pixels[slot].pixels32[y * slot_pixels[slot].stride + x] = colour(x, y);
}

void copy_pattern(int slot, int w, int h)
{
  make_image(slot, w, h);
  REQUIRE(worker_value([=] { return QEL_CopyImage(slot); }) == QEL_COPIED);
}

// Pixels of `slot` that differ from expected(x, y).
int wrong(int slot, const Colours& expected)
{
  int count = 0;
  for (int y = 0; y < slot_pixels[slot].height; ++y)
    for (int x = 0; x < slot_pixels[slot].width; ++x)
      count += at(slot, x, y) != expected(x, y);
  return count;
}

bool shows_pattern(int slot, int w, int h)
{
  return image_slots[slot].in_use && image_slots[slot].width == w && image_slots[slot].height == h &&
         wrong(slot, pattern) == 0;
}

Bytes clipboard_dib()
{
  Bytes bytes;
  if (!OpenClipboard(nullptr))
    return bytes;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(data));
    bytes.assign(p, p + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

} // namespace

TEST_CASE("Copy of a 5-wide image: rows of 16 bytes, bottom first; Cut of an 8-bit one: 1024 bytes of palette, rows of 8")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  make_image(0, 5, 3);
  press_key(slot_window(0), 'C', true);
  REQUIRE(wait_until([] { return clipboard_dib().size() == 40 + 3 * 16; }));
  Bytes b = clipboard_dib();
  CHECK(b[14] == 24);
  CHECK((u32(b, 40 + 2 * 16 + 3 * 4) & 0xFFFFFF) == pattern(4, 0));   // the top row stored last

  REQUIRE(worker_value([] { return QEL_CreateImage8(1, "c", 0, 0, 5, 3, 100); }) == 0);
  slot_pixels[1].pixels8[4] = 77;
  post(slot_window(1), WM_COMMAND, img_cmd_cut);
  REQUIRE(wait_until([] { return clipboard_dib().size() == 40 + 1024 + 3 * 8; }));
  b = clipboard_dib();
  CHECK(b[14] == 8);
  CHECK(u32(b, 40 + 4 * 200) == 0xC8C8C8);   // the grey ramp of a new 8-bit image
  CHECK(b[40 + 1024 + 2 * 8 + 4] == 77);
  CHECK(wait_until([] { return slot_pixels[1].pixels8[4] == 0; }));   // cleared once copied
}

TEST_CASE("paste: the copy back exactly at (0, 0); at (90, 90) only that corner; by a click centred, a right click cancels")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  copy_pattern(0, 7, 5);
  on_worker([] { QEL_ClearImage(0); });
  press_key(slot_window(0), 'V', true);
  CHECK(wait_until([] { return shows_pattern(0, 7, 5); }));

  copy_pattern(1, 100, 100);
  make_image(2, 120, 120, [](int, int) { return 0x123456u; });
  REQUIRE(worker_value([] { return QEL_PasteImage(2, 90, 90); }) == QEL_PASTED);
  CHECK(wrong(2, [](int x, int y) { return x >= 90 && y >= 90 ? pattern(x - 90, y - 90) : 0x123456u; }) == 0);

  copy_pattern(3, 10, 6);
  make_image(4, 200, 100, [](int, int) { return 0x00FF00u; });   // at 100 %: clicks land on image pixels
  {
    WaitingCall paste([] { return QEL_PasteImage(4, -1, -1); });
    REQUIRE(paste.waiting());
    right_click(slot_window(4), 30, 20);
    CHECK(paste.finish() == QEL_PASTE_CANCELLED);
    CHECK(wrong(4, [](int, int) { return 0x00FF00u; }) == 0);
  }
  WaitingCall paste([] { return QEL_PasteImage(4, -1, -1); });
  REQUIRE(paste.waiting());
  left_click(slot_window(4), 2, 1);   // the picture's corner at (-3, -2)
  CHECK(paste.finish() == QEL_PASTED);
  CHECK(wrong(4, [](int x, int y) { return x < 7 && y < 4 ? pattern(x + 3, y + 2) : 0x00FF00u; }) == 0);
}

TEST_CASE("an 8-bit picture with a 16-entry colour table replaces palette entries 0-15 only")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  // 6 x 4, rows of 8 bytes bottom first, index (x + 2y) % 16 at (x, y); no entry is a grey.
  Bytes dib(40 + 16 * 4 + 4 * 8, 0);
  std::uint32_t header[10 + 16] = {40, 6, 4, 1 | 8 << 16, 0, 0, 0, 0, 16, 0};
  for (int i = 0; i < 16; ++i)
    header[10 + i] = 0x0A0000u * i + 0x15 + (i % 3) * 0x4000;
  std::memcpy(dib.data(), header, sizeof header);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      dib[40 + 64 + (3 - y) * 8 + x] = static_cast<std::uint8_t>((x + 2 * y) % 16);
  REQUIRE(OpenClipboard(main_window));
  EmptyClipboard();
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
  std::memcpy(GlobalLock(block), dib.data(), dib.size());
  GlobalUnlock(block);
  SetClipboardData(CF_DIB, block);
  CloseClipboard();

  std::vector<std::uint32_t> palette(256);
  REQUIRE(worker_value([&] {
    QEL_CreateImage8(0, "c", 0, 0, 8, 8, 100);
    const int pasted = QEL_PasteImage(0, 0, 0);
    QEL_GetPalette(palette.data());
    return pasted;
  }) == QEL_PASTED);
  int differ = 0;
  for (int i = 0; i < 256; ++i)
    differ += palette[i] != (i < 16 ? u32(dib, 40 + 4 * i) : 0x010101u * i);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      differ += slot_pixels[0].pixels8[y * 8 + x] != (x < 6 && y < 4 ? (x + 2 * y) % 16 : 0);
  CHECK(differ == 0);
}

TEST_CASE("the main window's Paste is ignored while the program runs")
{
  JobsFramework framework;
  REQUIRE(framework.started);
  copy_pattern(0, 9, 4);
  std::atomic<bool> release{false};
  test_hooks.main = [&] { wait_until([&] { return release.load(); }, 20000); };
  press_key(main_window, 'S');
  REQUIRE(wait_until([] { return user_running.load() == 1; }));
  // Served, the paste would hold the main window until the run ends.
  DWORD_PTR ignored = 0;
  CHECK(SendMessageTimeoutW(main_window, WM_COMMAND, cmd_paste, 0, SMTO_NORMAL, 2000, &ignored) != 0);
  release = true;
  REQUIRE(wait_until([] { return user_running.load() == 0; }));
  CHECK_FALSE(image_slots[1].in_use);
}

TEST_CASE("X11: xclip reads our copy as image/bmp; its image/png and image/bmp paste as new image windows in free slots")
{
  const std::wstring folder = fresh_test_folder(L"clipboard_work");
  JobsFramework framework;
  REQUIRE(framework.started);
  copy_pattern(0, 9, 7);
  const std::wstring out = folder + L"\\out.bmp";
  REQUIRE(run_unix({"/bin/sh", "-c", "exec /usr/bin/xclip -selection clipboard -t image/bmp -o > $0", unix_path(out)}) == 0);
  const RgbPicture read = magick_read(out);
  CHECK(read.width == 9);
  CHECK(read.pixels == pattern_picture(9, 7).pixels);

  const UINT png = RegisterClipboardFormatW(L"PNG");
  const int widths[] = {13, 6}, heights[] = {11, 17};
  const char* types[] = {"image/png", "image/bmp"};
  for (int i = 0; i < 2; ++i) {
    CAPTURE(types[i]);
    const std::wstring file = folder + (i == 0 ? L"\\in.png" : L"\\in.bmp");
    REQUIRE(magick_write(pattern_picture(widths[i], heights[i]), {}, file));
    // xclip stays in the background as the selection's owner until another takes it.
    REQUIRE(run_unix({"/usr/bin/xclip", "-selection", "clipboard", "-t", types[i], "-i", unix_path(file)}) == 0);
    // Wine offers X11's image/png as "PNG" alone, image/bmp as a device-independent bitmap.
    REQUIRE(wait_until([&] { return (IsClipboardFormatAvailable(png) != 0) == (i == 0) && IsClipboardFormatAvailable(i == 0 ? png : CF_DIB); }));
    press_key(main_window, 'V', true);
    CHECK(wait_until([&] { return shows_pattern(1 + i, widths[i], heights[i]); }));
  }
  CHECK(window_text(slot_window(2)).rfind("002", 0) == 0);
  // Our own copy takes the selection back, and the waiting xclip ends.
  CHECK(worker_value([] { return QEL_CopyImage(0); }) == QEL_COPIED);
}
