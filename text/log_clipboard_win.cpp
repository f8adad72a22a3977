// The text window's log commands that need the platform: the box shown when
// a log cannot be created, and the copy of a log file to the clipboard as
// ANSI text (the hand-over of text there is shared with the window report).
// Win32 for message boxes, the clipboard and global memory.
#include <windows.h>

#include <cstring>

#include "qellib.h"
#include "shell/app_win.h"
#include "text/log_file.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"

namespace {

wchar_t* widen(const char* text, wchar_t* out, int size)
{
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, size) <= 0)
    out[0] = 0;
  return out;
}

} // namespace

// The clipboard must be open and emptied; on failure it holds nothing new.
bool give_clipboard_text(const std::string& text)
{
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block)
    return false;
  if (void* bytes = GlobalLock(block)) {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (SetClipboardData(CF_TEXT, block))
      return true;
  }
  GlobalFree(block);
  return false;
}

int start_log_command(int n)
{
  const int result = start_log(n, text_window_is_open(n));
  if (result == 2) {
    wchar_t text[64], caption[16];
    MessageBoxW(static_cast<HWND>(text_backend_window(n)),
                widen(log_create_failed_text, text, 64),
                widen(log_create_failed_caption, caption, 16), MB_OK);
  }
  return result;
}

// The log file as it stands on disk goes to the clipboard; a running or
// paused log carries on in the same file afterwards.
int copy_log_to_clipboard(int n)
{
  if (!text_window_is_open(n))
    return 4;
  if (!OpenClipboard(static_cast<HWND>(text_backend_window(n))))
    return 1;
  LogContent content = read_log_for_copy(n, true);
  if (content.result == 0) {
    EmptyClipboard();
    if (!give_clipboard_text(content.text))
      content.result = 3;
  }
  CloseClipboard();
  // The message waits for a person: the clipboard is closed before it shows.
  if (const char* failure = log_copy_failure_text(content.result))
    QEL_Pause(failure);
  return content.result;
}
