// Formatted output into the current text window: runs of characters drawn
// on its memory surface in the current colours, then the window is
// refreshed and the calling thread's messages pumped.
// Win32 for the code-page conversion, text output and message pumps.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "qellib.h"
#include "shell/shell_win.h"
#include "text/print_layout.h"
#include "text/text_windows.h"

namespace {

// Draws the layout's runs on window n and moves its cursor down at line ends.
class SurfaceSink : public PrintSink {
public:
  explicit SurfaceSink(int n) : n_(n), tw_(text_window(n)) {}
  void draw_run(int x, const wchar_t* text, int count) override
  {
    TextOutW(tw_.memory_dc, x, tw_.cursor_y, text, count);
  }
  void new_line() override
  {
    tw_.cursor_y += tw_.cell_height;
    tw_.cursor_x = 0;
    scroll_if_needed(n_);
  }

private:
  int n_;
  TextWindow& tw_;
};

} // namespace

// The worker pumps with QEL_DoEvents; any other thread (the main window's
// dialogues run on the GUI thread) pumps its own queue and keeps a quit
// message for its own loop.
void pump_messages()
{
  if (GetCurrentThreadId() == worker_thread_id)
    QEL_DoEvents();
  else
    gui_pump();
}

void QEL_Printf(const char* format, ...)
{
  const int n = current_text_window();
  if (!current_text_window_open() || !format)
    return;
  TextWindow& tw = text_window(n);

  // Output longer than the buffer is cut at its end.
  char text[print_buffer_size];
  va_list args;
  va_start(args, format);
  const int formatted = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (formatted < 0)
    return;
  const int length = static_cast<int>(std::strlen(text));
  if (tw.log_state == 1)
    log_write(n, text, static_cast<std::size_t>(length));

  wchar_t wide[print_buffer_size];
  const int count =
      length > 0 ? MultiByteToWideChar(CP_ACP, 0, text, length, wide, print_buffer_size) : 0;
  SurfaceSink sink(n);
  tw.cursor_x = layout_print(wide, count, tw.cursor_x, tw.width, tw.cell_width, sink);
  invalidate_text_window(n);
  pump_messages();
}

void put_glyph(int n, wchar_t ch, int x, int y, int cells)
{
  TextWindow& tw = text_window(n);
  if (!tw.open.load(std::memory_order_acquire))
    return;
  TextOutW(tw.memory_dc, x, y, &ch, 1);
  RECT cell{x, y, x + cells * tw.cell_width, y + tw.cell_height};
  InvalidateRect(tw.window, &cell, FALSE);
}

