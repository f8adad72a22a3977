// The editing rules of line input: echoing typed characters, wrapping the
// line over rows, and backspace that walks back across wrapped rows. The
// text window behind it is reached through LineCanvas so that the rules can
// be checked without one.
#pragma once

class LineCanvas {
public:
  virtual ~LineCanvas() = default;
  // Cursor (top-left of the next cell) and geometry of the window typed into.
  virtual int& cursor_x() = 0;
  virtual int& cursor_y() = 0;
  virtual int width() const = 0;
  virtual int cell_width() const = 0;
  virtual int cell_height() const = 0;
  // Draws one character over `cells` cells at (x, y).
  virtual void put_glyph(wchar_t ch, int x, int y, int cells) = 0;
  // Called after the cursor moved down one row: scrolls when it left the window.
  virtual void scroll_if_needed() = 0;
};

class LineEditor {
public:
  static constexpr int max_length = 255;

  explicit LineEditor(LineCanvas& canvas) : canvas_(canvas) {}

  // One typed character (not the line end): backspace removes, others are
  // appended while the line has room. Redraws the caret in `caret_phase`.
  void type(wchar_t ch, int caret_phase);
  // The caret: "_" in phase 1, a blank in phase 0, one cell at the cursor.
  void draw_caret(int caret_phase);
  // Ends the line: caret blanked, cursor to the start of the next row.
  void finish();

  const wchar_t* text() const { return line_; }
  int length() const { return length_; }

private:
  void backspace();
  void append(wchar_t ch);
  void next_row();
  void wrap_row(int row_end);   // remembers where the row ended, then next_row

  // Each character may move to a new row at most twice (before and after it).
  static constexpr int max_rows = 2 * max_length + 1;

  LineCanvas& canvas_;
  wchar_t line_[max_length + 1] = {};
  int length_ = 0;
  int rows_ = 0;                       // rows wrapped so far within this line
  int row_end_[max_rows + 1] = {};     // cursor column to return to, per row from 1
};
