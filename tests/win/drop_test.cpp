// Image files dropped on the main window, or named at start-up, become image
// windows in the first free slots, titled with their names. (The real
// program's command line is the end-to-end test's way in.)
#include <doctest/doctest.h>

#include <atomic>
#include <string>
#include <vector>

#include "hostile_files.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "image_files.h"
#include "imageio/imageio_win.h"
#include "qel_test.h"

namespace {

std::wstring folder();

std::uint32_t pattern(int x, int y) { return static_cast<std::uint32_t>(x * 40) << 16 | static_cast<std::uint32_t>(y * 60) << 8 | 0x33; }

struct TestFile {
  std::wstring name;
  int width, height;
  std::wstring path() const { return folder() + L"\\" + name; }
};

const TestFile files[] = {{L"a.png", 6, 4}, {L"b.bmp", 5, 3}, {L"c.gif", 7, 2}};

// Writes the pictures, and files that only look like pictures, into `folder`.
std::wstring with_files(const std::wstring& folder)
{
  for (const TestFile& f : files) {
    RgbPicture p{f.width, f.height, {}};
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x)
        p.pixels.push_back(pattern(x, y));
    REQUIRE(magick_write(p, {}, folder + L"\\" + f.name));
  }
  const std::string text = "not a picture";
  write_bytes(folder + L"\\notes.png", {text.begin(), text.end()});
  // Too big to decode (1 GiB of pixels), and a PNG header over a broken body.
  write_bytes(folder + L"\\huge.bmp", tiny_bmp_of_size(16384, 16384));
  const char broken[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x06\0\0\0\x04\x08\x02\0\0\0broken";
  write_bytes(folder + L"\\broken.png", {broken, broken + sizeof broken - 1});
  return folder;
}

// The test folder with its files, made on first use.
std::wstring folder()
{
  static const std::wstring path = with_files(fresh_test_folder(L"drop_work"));
  return path;
}

// The slot holds the file's picture, in a window titled "NNN name".
bool shows_file(int slot, const TestFile& f)
{
  char title[16 + MAX_PATH];
  wsprintfA(title, "%03d %s", slot, ansi(f.name).c_str());
  const ImageSlot& s = image_slots[slot];
  if (!s.in_use || s.title != title || s.width != f.width || s.height != f.height || s.bits != 32)
    return false;
  const SlotPixels& p = slot_pixels[slot];
  return (p.pixels32[0] & 0xFFFFFF) == pattern(0, 0) &&
         (p.pixels32[(f.height - 1) * p.stride + f.width - 1] & 0xFFFFFF) == pattern(f.width - 1, f.height - 1);
}

} // namespace

TEST_CASE("three files dropped on the main window open in slots 0, 1 and 2, others passed over, before a Start at once runs")
{
  test_hooks.setup = [] { QEL_CreateImage(5, "mine", 0, 0, 8, 8, 100); };   // current image 5
  std::atomic<bool> loaded{false};
  std::atomic<int> current{-1};
  test_hooks.main = [&] {
    loaded = shows_file(0, files[0]) && shows_file(1, files[1]) && shows_file(2, files[2]);
    current = qel_current_image;
  };
  const HDROP drop = make_drop({files[0].path(), folder() + L"\\notes.png", folder() + L"\\broken.png",
                                files[1].path(), folder() + L"\\missing.png", folder() + L"\\huge.bmp",
                                files[2].path()});
  Started<Framework> framework;
  // A command of the main window still in service when the drop and the
  // Start arrive: the drop's job then waits behind it, and so must Start.
  post(main_window, WM_COMMAND, cmd_text_window);
  post(main_window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
  post(main_window, WM_KEYDOWN, 'S', 1);
  REQUIRE(wait_until([&] { return current.load() != -1; }));
  CHECK(loaded.load());
  CHECK(current.load() == 5);   // the drop gave back the image the program had
  CHECK_FALSE(image_slots[3].in_use);
  CHECK(window_text(static_cast<HWND>(backend_window_handle(1))).rfind("001 b.bmp", 0) == 0);
}

TEST_CASE("files named at start-up open as a drop would once the main window is up; a later drop takes the next free slot")
{
  set_startup_files({files[1].path(), files[0].name});   // a relative name is taken from the working folder
  SetCurrentDirectoryW(folder().c_str());
  Started<Framework> framework;
  CHECK(wait_until([] { return shows_file(0, files[1]) && shows_file(1, files[0]); }));
  post(main_window, WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop({files[2].path()})));
  CHECK(wait_until([] { return shows_file(2, files[2]); }));
  CHECK((shows_file(0, files[1]) && shows_file(1, files[0])));
  CHECK_FALSE(image_slots[3].in_use);
}

TEST_CASE("Exit during a drop of 300 files ends within 1 s: the files left are passed over")
{
  // 300 copies of one picture large enough that opening them all takes
  // seconds.
  const std::wstring many = folder() + L"\\many";
  CreateDirectoryW(many.c_str(), nullptr);
  RgbPicture picture{400, 300, std::vector<std::uint32_t>(400 * 300, 0x336699)};
  REQUIRE(magick_write(picture, {}, many + L"\\0.png"));
  std::vector<std::wstring> paths;
  for (int i = 0; i < 300; ++i) {
    paths.push_back(many + L"\\" + std::to_wstring(i) + L".png");
    REQUIRE((i == 0 || CopyFileW(paths[0].c_str(), paths.back().c_str(), FALSE)));
  }
  REQUIRE(start_framework());
  post(main_window, WM_DROPFILES, reinterpret_cast<WPARAM>(make_drop(paths)));
  REQUIRE(wait_until([] { return image_slots[1].in_use; }));
  const std::uint32_t since = ms_clock();
  press_key(main_window, 'X');
  CHECK(stop_framework() == 0);
  const std::uint32_t took = ms_clock() - since;
  MESSAGE("Exit during the drop took " << took << " ms");
  CHECK(took < 1000);
}
