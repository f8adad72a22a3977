// Image files for Windows tests, written and read back by ImageMagick: a
// codec independent of the one under test. ImageMagick is a Unix program;
// Wine starts it when given its Unix path, and it sees files by Unix path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Plain RGB pixels, 0x00RRGGBB, rows top-down.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A folder beside the test executable, emptied and created afresh.
std::wstring fresh_test_folder(const wchar_t* name);
std::string ansi(const std::wstring& wide);
std::string unix_path(const std::wstring& windows_path);

// Runs a Unix program (first argument: its absolute path); its exit code,
// or -1 when it could not start or did not end in time.
int run_unix(const std::vector<std::string>& arguments, int timeout_ms = 60000);

// Writes `picture` through ImageMagick (convert <picture> <options...>
// [prefix:]<target>) into `target`, format from the extension or the
// prefix, e.g. "BMP3:" or "PNG8:".
bool magick_write(const RgbPicture& picture, const std::vector<std::string>& options,
                  const std::wstring& target, const std::string& target_prefix = "");
// The first frame of a file as ImageMagick decodes it (empty when it cannot).
RgbPicture magick_read(const std::wstring& file);
// ImageMagick's -format escapes (for example "%w %h %[type]") for the first frame.
std::string magick_info(const std::wstring& file, const std::string& format);
// The colour map ImageMagick lists for a file: its entries as 0x00RRGGBB.
std::vector<std::uint32_t> magick_colormap(const std::wstring& file);

// Runs `body` as the user program on the worker thread (Start, then waits for
// the run to end). A REQUIRE failing inside ends the body; false then.
// No CAPTURE or INFO inside: doctest keeps those in thread_local storage, and
// tearing that down when the worker thread ends leaves the process heap
// locked here (MinGW thread_local on a CreateThread thread under Wine).
bool as_user_program(const std::function<void()>& body, int timeout_ms = 60000);
