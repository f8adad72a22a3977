#include "text/print_layout.h"

int layout_print(const wchar_t* text, int count, int cursor_x, int width, int cell_width,
                 PrintSink& sink)
{
  int run_x = cursor_x;   // where the pending run starts
  int run_begin = 0;      // index of its first character
  int x = cursor_x;       // where the next character would go
  auto flush = [&](int end) {
    if (end > run_begin)
      sink.draw_run(run_x, text + run_begin, end - run_begin);
  };
  for (int i = 0; i < count; ++i) {
    const wchar_t ch = text[i];
    if (ch == L'\n') {
      flush(i);
      sink.new_line();
      run_x = x = 0;
      run_begin = i + 1;
      continue;
    }
    // A character that would overhang the right edge starts the next row;
    // on an empty row it stays, as a new row would be no wider.
    const int advance = cells_of(ch) * cell_width;
    if (x > 0 && x + advance > width) {
      flush(i);
      sink.new_line();
      run_x = x = 0;
      run_begin = i;
    }
    x += advance;
  }
  flush(count);
  return x;
}
