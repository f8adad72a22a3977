// The clipboard's ANSI text; "" when there is none or the clipboard is busy.
// Header-only: programs built without the test harness use it too.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

inline std::string clipboard_text()
{
  std::string text;
  if (!OpenClipboard(nullptr))
    return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      // The block may lack its terminator: stay within its size.
      text.assign(bytes, strnlen(bytes, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}
