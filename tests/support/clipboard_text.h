// The clipboard's block of one format, and its ANSI text; empty when there is
// none or the clipboard is busy. Header-only: programs built without the test
// harness use it too.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> clipboard_bytes(UINT format)
{
  std::vector<std::uint8_t> bytes;
  if (!OpenClipboard(nullptr))
    return bytes;
  if (HANDLE data = GetClipboardData(format)) {
    if (const auto* p = static_cast<const std::uint8_t*>(GlobalLock(data))) {
      bytes.assign(p, p + GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

// The block may lack its terminator: the text stays within its size.
inline std::string clipboard_text()
{
  const std::vector<std::uint8_t> bytes = clipboard_bytes(CF_TEXT);
  return {bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0})};
}
