// The window information report on Win32: a snapshot of the framework's
// windows as they stand on the screen, the report printed into a text window
// through its colour stack, and the generated source handed to the
// clipboard. Also QEL_SetForeground, the call that the source ends with.
// Win32 for window rectangles, the clipboard and code-page conversion.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "forms/forms_win.h"
#include "image/slot_backend.h"
#include "image/slots.h"
#include "qellib.h"
#include "shell/app_win.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"
#include "text/window_report.h"

namespace {

POINT outer_top_left(HWND window)
{
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top};
}

void add_images(WindowSnapshot& windows)
{
  for (int slot = 0; slot < slot_count; ++slot) {
    if (!slot_in_use(slot))
      continue;
    const ImageSlot& s = image_slots[slot];
    ImageWindowInfo image{slot, s.bits, s.screen_limited, s.title, 0, 0, s.width, s.height, s.zoom};
    backend_window_position(slot, &image.x, &image.y);
    windows.images.push_back(std::move(image));
  }
}

void add_text_windows(WindowSnapshot& windows)
{
  for (int n = 0; n < text_window_count; ++n) {
    if (!text_window_is_open(n))
      continue;
    const POINT at = outer_top_left(static_cast<HWND>(text_backend_window(n)));
    windows.text_windows.push_back({n, at.x, at.y, text_window(n).width, text_window(n).height});
  }
}

void add_boxes(WindowSnapshot& windows)
{
  if (const int items = input_box_item_count(); items > 0) {
    InputBoxInfo box;
    const POINT at = outer_top_left(input_box_window());
    box.x = at.x;
    box.y = at.y;
    box.items = items;
    input_box_column_widths(&box.label_width, &box.edit_width);
    for (int i = 0; i < items; ++i)
      box.labels.push_back(input_box_label(i));
    windows.input_box = std::move(box);
  }
  int columns = 0, rows = 0;
  button_box_grid(&columns, &rows);
  if (columns > 0 && rows > 0) {
    ButtonBoxInfo box;
    const POINT at = outer_top_left(button_box_window());
    RECT client{};
    GetClientRect(button_box_window(), &client);
    box.x = at.x;
    box.y = at.y;
    box.columns = columns;
    box.rows = rows;
    box.width = client.right;
    box.height = client.bottom;
    for (int c = 0; c < columns * rows; ++c)
      box.captions.push_back(button_box_caption(c));
    windows.button_box = std::move(box);
  }
}

// Taken before anything is printed: each print pumps messages, and the
// report must describe one moment, not windows closing under it.
WindowSnapshot take_snapshot()
{
  WindowSnapshot windows;
  add_images(windows);
  add_text_windows(windows);
  add_boxes(windows);
  return windows;
}

// The confirmation in the system's code page; where the code page lacks its
// characters the English line stands in, rather than question marks.
std::string saved_message()
{
  char text[128];
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_ACP, 0, clipboard_saved_text, -1, text, sizeof text, nullptr,
                          &lossy) <= 0 ||
      lossy)
    return clipboard_saved_fallback;
  return text;
}

// The report goes into text window n even if the messages that every print
// pumps make another window current meanwhile; once n is closed, nowhere.
class TextWindowReport : public ReportOutput {
public:
  explicit TextWindowReport(int n) : n_(n) {}

  void push_colours(std::uint32_t back, std::uint32_t text) override
  {
    if (select())
      push_text_colours(back, text);
  }
  void pop_colours() override
  {
    if (select())
      pop_text_colours();
  }
  // QEL_Printf formats into print_buffer_size bytes: longer text goes in
  // pieces, each ending on a whole character of the code page.
  void print(std::string_view text) override
  {
    while (!text.empty() && select()) {
      std::size_t piece = 0;
      while (piece < text.size()) {
        const bool lead = IsDBCSLeadByte(static_cast<BYTE>(text[piece])) && piece + 1 < text.size();
        const std::size_t step = lead ? 2 : 1;
        if (piece + step >= static_cast<std::size_t>(print_buffer_size))
          break;
        piece += step;
      }
      QEL_Printf("%.*s", static_cast<int>(piece), text.data());
      text.remove_prefix(piece);
    }
  }
  // A busy clipboard gets nothing and no message; a block that cannot be
  // had is reported once the clipboard is closed again.
  bool copy_to_clipboard(const std::string& source) override
  {
    if (!OpenClipboard(static_cast<HWND>(text_backend_window(n_))))
      return false;
    EmptyClipboard();
    const bool handed_over = give_clipboard_text(source);
    CloseClipboard();
    if (!handed_over)
      QEL_Pause(clipboard_alloc_failed_text);
    return handed_over;
  }

private:
  bool select() { return QEL_SelectTextWindow(n_) == 0; }
  int n_;
};

} // namespace

void write_window_report(int n)
{
  if (QEL_SelectTextWindow(n) != 0)
    return;
  TextWindowReport out(n);
  run_window_report(take_snapshot(), out, saved_message());
}

// The main window belongs to the GUI thread: from the worker it is asked by
// a posted message, so the worker never waits for the GUI thread. Text
// windows are the worker's own.
int QEL_SetForeground(int window)
{
  if (window == QELMAINWINDOW)
    return bring_main_window_forward() ? 0 : 1;
  if (!on_worker_thread() || !text_window_is_open(window))
    return 1;
  text_backend_foreground(window);
  return 0;
}
