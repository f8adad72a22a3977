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

struct Framework {
  Framework()
  {
    test_hooks.setup = nullptr;
    test_hooks.main = nullptr;
    started = start_framework();
  }
  ~Framework() { stop_framework(); }
  bool started = false;
};

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
  bool wait(int timeout_ms = 5000)
  {
    return wait_until([this] { return done.load() && user_running.load() == 0; }, timeout_ms);
  }
  bool run(std::function<void()> work, int timeout_ms = 5000)
  {
    start(std::move(work));
    return wait(timeout_ms);
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

// Whether any pixel of the cell (column, row) differs from `colour`.
inline bool cell_differs(int n, int column, int row, COLORREF colour)
{
  const TextWindow& tw = text_window(n);
  for (int y = row * tw.cell_height; y < (row + 1) * tw.cell_height; ++y)
    for (int x = column * tw.cell_width; x < (column + 1) * tw.cell_width; ++x)
      if (GetPixel(tw.memory_dc, x, y) != colour)
        return true;
  return false;
}

inline bool cell_has_ink(int n, int column, int row)
{
  return cell_differs(n, column, row, RGB(0, 0, 0));
}

inline bool cell_contains(int n, int column, int row, COLORREF colour)
{
  const TextWindow& tw = text_window(n);
  for (int y = row * tw.cell_height; y < (row + 1) * tw.cell_height; ++y)
    for (int x = column * tw.cell_width; x < (column + 1) * tw.cell_width; ++x)
      if (GetPixel(tw.memory_dc, x, y) == colour)
        return true;
  return false;
}

// A character of the ANSI code page that takes two cells, as one string.
inline std::string wide_ansi_char()
{
  char text[8] = {};
  const wchar_t candidates[] = {0x00E9, 0x3042};
  for (wchar_t ch : candidates) {
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, &ch, 1, text, sizeof text - 1, nullptr, &lossy) > 0 &&
        !lossy)
      return text;
  }
  return "\xE9";
}

} // namespace text_test
