// The clipboard's ANSI text as a program reads it back; "" when there is none
// or another holder has the clipboard open. Header-only, so that programs
// built apart from the test harness can use it too.
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
