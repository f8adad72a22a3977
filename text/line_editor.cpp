#include "text/line_editor.h"

#include "text/print_layout.h"

namespace {

constexpr wchar_t ideographic_space = 0x3000;

} // namespace

void LineEditor::draw_caret(int caret_phase)
{
  canvas_.put_glyph(caret_phase ? L'_' : L' ', canvas_.cursor_x(), canvas_.cursor_y(), 1);
}

void LineEditor::next_row()
{
  canvas_.cursor_x() = 0;
  canvas_.cursor_y() += canvas_.cell_height();
  canvas_.scroll_if_needed();
}

void LineEditor::wrap_row(int row_end)
{
  // Two wraps per character at most, so the table cannot fill; the bound
  // stays as a guard for the index.
  if (rows_ < max_rows)
    row_end_[++rows_] = row_end;
  next_row();
}

void LineEditor::type(wchar_t ch, int caret_phase)
{
  if (ch == L'\t')
    ch = L' ';
  if (ch == 8)
    backspace();
  else if (ch != 0 && length_ < max_length)
    append(ch);
  else
    return;
  // Drawing the caret at once also covers a narrow character just erased.
  draw_caret(caret_phase);
}

void LineEditor::backspace()
{
  if (length_ == 0)
    return;
  int& x = canvas_.cursor_x();
  int& y = canvas_.cursor_y();
  const int cw = canvas_.cell_width();
  const int ch = canvas_.cell_height();
  draw_caret(0);
  --length_;
  const int cells = cells_of(line_[length_]);
  line_[length_] = 0;
  if (rows_ > 0 && x == 0) {
    // The removed character ended the previous row.
    x = row_end_[rows_];
    y -= ch;
    --rows_;
  } else {
    x -= cells * cw;
  }
  if (cells == 2) {
    canvas_.put_glyph(ideographic_space, x, y, 2);
    // A wide character that did not fit had been moved to a new row of its
    // own: the cursor goes back to where it stood before that move.
    if (rows_ > 0 && x == 0 && row_end_[rows_] >= canvas_.width()) {
      x = row_end_[rows_] - 2 * cw;
      y -= ch;
      --rows_;
    }
  }
}

void LineEditor::append(wchar_t ch)
{
  int& x = canvas_.cursor_x();
  const int cw = canvas_.cell_width();
  const int cells = cells_of(ch);
  if (cells == 2 && x > canvas_.width() - 2 * cw) {
    draw_caret(0);
    wrap_row(x + 2 * cw);
  }
  canvas_.put_glyph(ch, x, canvas_.cursor_y(), cells);
  // With no whole cell left after the character for the caret, the line
  // continues on the next row.
  if (x + cells * cw > canvas_.width() - cw)
    wrap_row(x);
  else
    x += cells * cw;
  line_[length_++] = ch;
  line_[length_] = 0;
}

void LineEditor::finish()
{
  draw_caret(0);
  next_row();
}
