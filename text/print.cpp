// Formatted output into the current text window: runs of characters drawn
// on its surface in the current colours, then the window is refreshed and
// the worker's messages pumped.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "qellib.h"
#include "text/log_file.h"
#include "text/print_layout.h"
#include "text/text_backend.h"
#include "text/text_windows.h"

namespace {

// Draws the layout's runs on window n and moves its cursor down at line ends.
class SurfaceSink : public PrintSink {
public:
  explicit SurfaceSink(int n) : n_(n) {}
  void draw_run(int x, const wchar_t* text, int count) override
  {
    text_backend_draw_run(n_, x, text_window(n_).cursor_y, text, count);
  }
  void new_line() override
  {
    TextWindowCanvas canvas(n_);
    canvas.cursor_y() += canvas.cell_height();
    canvas.cursor_x() = 0;
    scroll_if_needed(n_);
  }

private:
  int n_;
};

} // namespace

void QEL_Printf(const char* format, ...)
{
  const int n = current_text_window();
  if (!current_text_window_open() || !format || !text_backend_on_owner_thread())
    return;

  // Output longer than the buffer is cut at its end.
  char text[print_buffer_size];
  va_list args;
  va_start(args, format);
  const int formatted = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (formatted < 0)
    return;
  const int length = static_cast<int>(std::strlen(text));
  write_log(n, text, static_cast<std::size_t>(length));

  wchar_t wide[print_buffer_size];
  const int count = length > 0 ? text_backend_to_wide(text, length, wide, print_buffer_size) : 0;
  SurfaceSink sink(n);
  TextWindowCanvas canvas(n);
  const TextWindow& tw = text_window(n);
  canvas.cursor_x() = layout_print(wide, count, tw.cursor_x, tw.width, tw.cell_width, sink);
  text_backend_invalidate(n, 0, 0, -1, -1);
  QEL_DoEvents();
}
