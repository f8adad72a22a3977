// Test hooks of the headless text backend: what a text window would show,
// kept as a grid of character cells, and a switch to make windows fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int headless_cell_width = 6;
constexpr int headless_cell_height = 11;

struct HeadlessCell {
  wchar_t ch = 0;                 // 0: black, never drawn on
  std::uint32_t text = 0, back = 0;
};

struct HeadlessTextWindow {
  bool open = false;
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;
  int columns = 0, rows = 0;
  std::vector<HeadlessCell> cells;   // rows x columns, top row first
  int invalidations = 0;
  int foregrounds = 0;

  const HeadlessCell& at(int column, int row) const { return cells[row * columns + column]; }
  std::wstring row_text(int row) const;   // the row's characters, black cells as blanks, trailing blanks cut
};

const HeadlessTextWindow& headless_text_window(int n);
void headless_fail_text_windows(bool fail);   // make text_backend_open fail
