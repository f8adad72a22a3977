// The window information report: a list of all framework windows printed
// into a text window, and program text that rebuilds the present layout
// through the public calls, for the clipboard. Works on a snapshot that the
// platform side takes of its windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// X and Y are the screen position of a window's outer top-left corner.
struct ImageWindowInfo {
  int slot = 0, bits = 32;
  int screen_limited = 1;      // 0 for a slot made with loose size limits (the FL calls)
  std::string title;
  int x = 0, y = 0, width = 0, height = 0, zoom = 100;  // image size in pixels, zoom in percent
};
struct TextWindowInfo {
  int index = 0, x = 0, y = 0, width = 0, height = 0;  // client size
};
struct InputBoxInfo {
  int x = 0, y = 0, items = 0, label_width = 0, edit_width = 0;
  std::vector<std::string> labels;   // item 0 first
};
struct ButtonBoxInfo {
  int x = 0, y = 0, columns = 0, rows = 0, width = 0, height = 0;  // client size
  std::vector<std::string> captions; // button 0 first
};
struct WindowSnapshot {
  std::vector<ImageWindowInfo> images;       // slots in use, in slot order
  std::vector<TextWindowInfo> text_windows;  // open text windows, in index order
  std::optional<InputBoxInfo> input_box;
  std::optional<ButtonBoxInfo> button_box;
};

// Where the report goes: the text window's colour stack and print, and the clipboard.
class ReportOutput {
public:
  virtual ~ReportOutput() = default;
  virtual void push_colours(std::uint32_t back, std::uint32_t text) = 0;
  virtual void pop_colours() = 0;
  virtual void print(std::string_view text) = 0;   // any length, printed as it is
  virtual bool copy_to_clipboard(const std::string& source) = 0;  // true once handed over
};

constexpr std::size_t layout_source_size = 30000;  // the source and its zero
// "The layout source list has been saved to the clipboard.", in Japanese,
// for code pages that have its characters; the English line stands in elsewhere.
constexpr wchar_t clipboard_saved_text[] =
    L"\x30AF\x30EA\x30C3\x30D7\x30DC\x30FC\x30C9\x306B\x30EC\x30A4\x30A2\x30A6\x30C8"
    L"\x4F5C\x6210\x30BD\x30FC\x30B9\x30EA\x30B9\x30C8\x3092\x4FDD\x5B58\x3057\x307E"
    L"\x3057\x305F\xFF0E\n";
constexpr char clipboard_saved_fallback[] = "Layout source saved to the clipboard.\n";
constexpr char clipboard_alloc_failed_text[] = "GlobalAlloc() failed. (ID_INFO)";  // captioned "Pause"

void run_window_report(const WindowSnapshot& windows, ReportOutput& out, std::string_view saved_message);
std::string layout_source(const WindowSnapshot& windows);   // at most layout_source_size - 1 bytes
std::string c_string_literal(std::string_view text);        // quoted and escaped
