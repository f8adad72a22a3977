// Images through the real clipboard: the blocks Copy and Cut leave there,
// pastes at a point and by a click, a palette picture's colour table, the
// main window's Paste, and the exchange with an X11 program (xclip) that
// Wine's clipboard bridge makes possible, checked with ImageMagick. The
// block's layout and the placement arithmetic are the native tests'.
#include <doctest/doctest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clipboard_text.h"
#include "image/image_win.h"
#include "image/slots.h"
#include "image_files.h"
#include "qel_test.h"
#include "worker_jobs.h"

namespace {

// Neighbours differ, and red and blue run differently.
std::uint32_t pattern(int x, int y)
{
  return (37u * x + 11u * y) % 256 << 16 | (5u * y + x) % 256 << 8 | (250u - 3 * x) % 256;
}

RgbPicture pattern_picture(int w, int h)
{
  RgbPicture p{w, h, {}};
  for (int i = 0; i < w * h; ++i)
    p.pixels.push_back(pattern(i % w, i / w));
  return p;
}

std::uint32_t u32(const std::uint8_t* b) { return b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24; }

using Colours = std::function<std::uint32_t(int, int)>;

// A 32-bit w x h image in `slot` with those colours.
void make_image(int slot, int w, int h, const Colours& colour = pattern)
{
  REQUIRE(worker_value([=] { return QEL_CreateImage(slot, "c", 0, 0, w, h, 100); }) == 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      slot_pixels[slot].pixels32[y * slot_pixels[slot].stride + x] = colour(x, y);
}

// Pixels of `slot` that differ from expected(x, y).
int wrong(int slot, const Colours& expected)
{
  const SlotPixels& p = slot_pixels[slot];
  int count = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      count += p.pixels32[y * p.stride + x] != expected(x, y);
  return count;
}

bool shows_pattern(int slot, int w, int h)
{
  return image_slots[slot].in_use && image_slots[slot].width == w && image_slots[slot].height == h &&
         wrong(slot, pattern) == 0;
}

} // namespace

TEST_CASE("image windows: Copy and Cut leave exact blocks; pastes at (0, 0) and by a click; a 16-entry colour table")
{
  Started<JobsFramework> framework;
  make_image(0, 5, 3);
  press_key(slot_window(0), 'C', true);
  CHECK(wait_until([] { return clipboard_bytes(CF_DIB).size() == 40 + 3 * 16; }));   // rows of 16 bytes

  REQUIRE(worker_value([] { return QEL_CreateImage8(1, "c", 0, 0, 5, 3, 100); }) == 0);
  slot_pixels[1].pixels8[4] = 77;
  post(slot_window(1), WM_COMMAND, img_cmd_cut);
  REQUIRE(wait_until([] { return clipboard_bytes(CF_DIB).size() == 40 + 1024 + 3 * 8; }));
  const std::vector<std::uint8_t> b = clipboard_bytes(CF_DIB);
  CHECK(u32(&b[40 + 4 * 200]) == 0xC8C8C8);   // the grey ramp of a new 8-bit image
  CHECK(b[40 + 1024 + 2 * 8 + 4] == 77);      // the top row stored last
  CHECK(wait_until([] { return slot_pixels[1].pixels8[4] == 0; }));   // cleared once copied

  make_image(2, 7, 5);
  REQUIRE(worker_value([] { return QEL_CopyImage(2); }) == QEL_COPIED);
  on_worker([] { QEL_ClearImage(2); });
  press_key(slot_window(2), 'V', true);
  CHECK(wait_until([] { return shows_pattern(2, 7, 5); }));

  make_image(4, 200, 100, [](int, int) { return 0x00FF00u; });   // at 100 %: clicks land on image pixels
  for (const bool cancel : {true, false}) {
    WaitingCall paste([] { return QEL_PasteImage(4, -1, -1); });
    REQUIRE(paste.waiting());
    cancel ? right_click(slot_window(4), 30, 20) : left_click(slot_window(4), 0, 1);
    CHECK(paste.finish() == (cancel ? QEL_PASTE_CANCELLED : QEL_PASTED));
  }
  // The 7 x 5 picture's corner at (-3, -1): only its inside part lands.
  CHECK(wrong(4, [](int x, int y) { return x < 4 && y < 4 ? pattern(x + 3, y + 1) : 0x00FF00u; }) == 0);

  // An 8-bit picture, 4 x 1 with indices 0, 5, 10, 15, whose colour table of
  // 16 entries holds no grey, replaces palette entries 0-15 only.
  std::uint32_t dib[10 + 16 + 1] = {40, 4, 1, 1 | 8 << 16, 0, 0, 0, 0, 16, 0};
  for (int i = 0; i < 16; ++i)
    dib[10 + i] = 0x0A0000u * i + 0x15 + (i % 3) * 0x4000;
  dib[26] = 0x0F0A0500;
  REQUIRE(set_clipboard(CF_DIB, dib, sizeof dib));
  std::vector<std::uint32_t> palette(256);
  REQUIRE(worker_value([&] {
    QEL_CreateImage8(3, "c", 0, 0, 8, 8, 100);
    const int pasted = QEL_PasteImage(3, 0, 0);
    QEL_GetPalette(palette.data());
    return pasted;
  }) == QEL_PASTED);
  int differ = 0;
  for (int i = 0; i < 256; ++i)
    differ += palette[i] != (i < 16 ? dib[10 + i] : 0x010101u * i);
  for (int i = 0; i < 64; ++i)
    differ += slot_pixels[3].pixels8[i] != (i < 4 ? 5 * i : 0);
  CHECK(differ == 0);
}

TEST_CASE("the main window's Paste: ignored while the program runs; X11 programs' image/png and image/bmp, and ours to xclip")
{
  const std::wstring folder = fresh_test_folder(L"clipboard_work");
  Started<JobsFramework> framework;
  make_image(0, 9, 7);
  REQUIRE(worker_value([] { return QEL_CopyImage(0); }) == QEL_COPIED);
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

  // xclip reads our copy as image/bmp.
  const std::wstring out = folder + L"\\out.bmp";
  REQUIRE(run_unix({"/bin/sh", "-c", "exec /usr/bin/xclip -selection clipboard -t image/bmp -o > $0", unix_path(out)}) == 0);
  const RgbPicture read = magick_read(out);
  CHECK((read.width == 9 && read.pixels == pattern_picture(9, 7).pixels));

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
