// Line input in the current text window: characters come from the key ring
// that the window's procedure fills, are echoed with a blinking caret, and
// the finished line is handed back in the ANSI code page. Runs on the
// worker thread, which owns the text windows.
// Win32 for the clipboard, code-page conversion and messages.
#include <windows.h>

#include <cstring>

#include "qellib.h"
#include "shell/app_win.h"
#include "shell/run_control.h"
#include "text/key_ring.h"
#include "text/line_editor.h"
#include "text/log_file.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"

int pending_key_action = key_action_none;

namespace {

constexpr std::uint32_t caret_half_period_ms = 200;

// The most recently entered line, retyped by Up (worker thread's).
wchar_t last_line[line_size];

// Retypes the last line through the window's own character handling.
void recall_last_line(HWND window)
{
  for (const wchar_t* p = last_line; *p; ++p)
    SendMessageW(window, WM_CHAR, *p, 1);
}

void run_pending_key_action(HWND window)
{
  const int action = pending_key_action;
  pending_key_action = key_action_none;
  switch (action) {
  case key_action_recall: recall_last_line(window); break;
  case key_action_paste: SendMessageW(window, msg_paste_keys, 0, 0); break;
  default: break;
  }
}

} // namespace

void reset_line_input()
{
  key_ring().reset();
  pending_key_action = key_action_none;
  last_line[0] = 0;
}

void paste_line_to_keys()
{
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
    return;
  if (!OpenClipboard(static_cast<HWND>(text_backend_window(current_text_window()))))
    return;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    // The clipboard's block may lack its terminator: stay within its size.
    const SIZE_T limit = GlobalSize(data) / sizeof(wchar_t);
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      for (SIZE_T i = 0; i < limit; ++i) {
        const wchar_t ch = text[i];
        if (ch == 0 || ch == L'\r' || ch == L'\n' || !key_ring().put(ch))
          break;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
}

void QEL_Gets(char* buffer)
{
  const int n = current_text_window();
  if (!buffer || !current_text_window_open() || !on_worker_thread())
    return;
  const HWND window = static_cast<HWND>(text_backend_window(n));
  SetForegroundWindow(window);
  buffer[0] = 0;
  set_status_text("Input text");

  TextWindowCanvas canvas(n);
  LineEditor editor(canvas);
  std::uint32_t blink_time = ms_clock();
  int caret_phase = 1;
  bool caret_pending = true;
  bool finished = false;
  line_input_owner.store(n + 1, std::memory_order_release);

  for (;;) {
    QEL_DoEvents();
    // Exit or closing the window ends the wait; the window may be gone now.
    // Exit may have come before this line was asked for.
    if (line_input_owner.load(std::memory_order_acquire) == 0 || qel_exit_requested())
      break;
    const wchar_t ch = key_ring().take();
    if (ch == L'\r') {
      finished = true;
      break;
    }
    run_pending_key_action(window);
    if (ch)
      editor.type(ch, caret_phase);
    if (caret_pending) {
      editor.draw_caret(caret_phase);
      caret_pending = false;
    }
    if (ms_clock() - blink_time > caret_half_period_ms) {
      blink_time = ms_clock();
      caret_phase ^= 1;
      caret_pending = true;
    }
    // Waiting costs a millisecond per pass, not a whole core.
    if (!ch)
      Sleep(1);
  }

  int mine = n + 1;
  line_input_owner.compare_exchange_strong(mine, 0);
  if (finished) {
    editor.finish();
    std::memcpy(last_line, editor.text(), sizeof(wchar_t) * (editor.length() + 1));
    wide_to_ansi(editor.text(), buffer, line_size);
    write_log_line(n, buffer);
  }
  show_display_status();
}
