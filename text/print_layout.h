// How printed text falls into the cells of a text window: runs of
// characters that fit on the current row, broken at line feeds and at the
// last whole cell. Kept free of drawing so that the wrapping rule can be
// checked on its own.
#pragma once

// Characters below 128 take one cell, all others two.
constexpr int cells_of(wchar_t ch) { return static_cast<unsigned>(ch) < 128 ? 1 : 2; }

// Receives the layout: a run to draw on the current row, or a move to the
// start of the next row (which may scroll the window).
class PrintSink {
public:
  virtual ~PrintSink() = default;
  virtual void draw_run(int x, const wchar_t* text, int count) = 0;
  virtual void new_line() = 0;
};

// Lays out `count` characters starting at pixel column `cursor_x` of a row
// `width` pixels wide. Returns the column after the last character.
int layout_print(const wchar_t* text, int count, int cursor_x, int width, int cell_width,
                 PrintSink& sink);
