// Shared by the text window tests: a framework per test case, running code
// as the user program on the worker, typing, and reading the text surface.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "qel_test.h"
#include "text/text_windows.h"

namespace text_test {

// Runs `body` as user_main on the worker thread; `done` turns true after it.
struct UserRun {
  std::atomic<bool> done{false};
  std::function<void()> body;

  void start(std::function<void()> work)
  {
    body = std::move(work);
    done = false;
    test_hooks.main = [this] {
      body();
      done = true;
    };
    post(main_window, WM_COMMAND, cmd_start);
  }
  bool wait()
  {
    return wait_until([this] { return done.load() && user_running.load() == 0; });
  }
  bool run(std::function<void()> work)
  {
    start(std::move(work));
    return wait();
  }
};

inline bool line_input_waits()
{
  return wait_until([] { return line_input_owner.load() != 0; });
}

// Characters as the keyboard would deliver them to the window.
inline void type_text(HWND window, const std::string& text)
{
  for (unsigned char c : text)
    post(window, WM_CHAR, c, 1);
}

// How many pixels of the cell (column, row) of window n are `colour`.
inline int cell_pixels(int n, int column, int row, COLORREF colour)
{
  const TextWindow& tw = text_window(n);
  int count = 0;
  for (int y = row * tw.cell_height; y < (row + 1) * tw.cell_height; ++y)
    for (int x = column * tw.cell_width; x < (column + 1) * tw.cell_width; ++x)
      count += GetPixel(text_surface_dc(n), x, y) == colour;
  return count;
}

inline bool cell_contains(int n, int column, int row, COLORREF colour)
{
  return cell_pixels(n, column, row, colour) > 0;
}

inline bool cell_has_ink(int n, int column, int row)
{
  const TextWindow& tw = text_window(n);
  return cell_pixels(n, column, row, RGB(0, 0, 0)) < tw.cell_width * tw.cell_height;
}

// A character of the ANSI code page that takes two cells, as one string.
inline std::string wide_ansi_char()
{
  char text[8] = {};
  for (wchar_t ch : {wchar_t(0x00E9), wchar_t(0x3042)}) {
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, &ch, 1, text, sizeof text - 1, nullptr, &lossy) > 0 &&
        !lossy)
      return text;
  }
  return "\xE9";
}

} // namespace text_test
