// Emptying the summary window before each summary. Win32 for the text
// window's drawing surface.
#include <windows.h>

#include <cstdio>

#include "lenticular/program.h"
#include "text/text_windows.h"

void ClearTextWindow()
{
  if (!current_text_window_open())
    return;
  TextWindow& t = text_window(current_text_window());
  // The surface's own brush is the black stock brush.
  PatBlt(t.memory_dc, 0, 0, t.width, t.height, PATCOPY);
  t.cursor_x = 0;
  t.cursor_y = 0;
  InvalidateRect(t.window, nullptr, FALSE);
  // A running log marks each new summary with an empty line.
  if (t.log_state == 1 && t.log_file)
    std::fputc('\n', t.log_file);
}
