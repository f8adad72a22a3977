// Small Win32 routines every window kind uses: menu item insertion, the
// status line, reading a window's text as ANSI, and the "Pause" message box.
#include <windows.h>

#include <cstring>

#include "qellib.h"
#include "shell/shell_win.h"

void insert_menu_item(HMENU menu, UINT position, const wchar_t* text, UINT id, bool enabled)
{
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE;
  item.fType = MFT_STRING;
  item.fState = enabled ? MFS_ENABLED : (MFS_GRAYED | MFS_DISABLED);
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, position, TRUE, &item);
}

void insert_menu_separator(HMENU menu, UINT position)
{
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE;
  item.fType = MFT_SEPARATOR;
  InsertMenuItemW(menu, position, TRUE, &item);
}

void insert_submenu(HMENU menu, UINT position, const wchar_t* text, HMENU submenu)
{
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
  item.fType = MFT_STRING;
  item.hSubMenu = submenu;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, position, TRUE, &item);
}

void set_status_text(const char* text)
{
  // At most 63 characters, preceded by enough blanks to stand roughly centred.
  char line[18 + 64];
  const int length = static_cast<int>(strnlen(text, 63));
  const int pad = length / 2 < 18 ? 18 - length / 2 : 0;
  std::memset(line, ' ', static_cast<size_t>(pad));
  std::memcpy(line + pad, text, static_cast<size_t>(length));
  line[pad + length] = 0;
  wchar_t wide[sizeof line];
  MultiByteToWideChar(CP_ACP, 0, line, -1, wide, static_cast<int>(sizeof line));
  if (status_line)
    SetWindowTextW(status_line, wide);
}

int read_window_text(HWND window, char* buffer, int size)
{
  if (size <= 0)
    return 0;
  if (size > line_size)
    size = line_size;
  wchar_t wide[line_size];
  GetWindowTextW(window, wide, size);
  // Each wide character takes at most two ANSI bytes; the result is cut to the caller's size.
  char ansi[line_size * 2];
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr) <= 0)
    ansi[0] = 0;
  const size_t length = strnlen(ansi, static_cast<size_t>(size - 1));
  std::memcpy(buffer, ansi, length);
  buffer[length] = 0;
  return static_cast<int>(length);
}

void QEL_Pause(const char* text)
{
  char line[line_size];
  std::strncpy(line, text ? text : "", line_size - 1);
  line[line_size - 1] = 0;
  wchar_t wide[line_size];
  MultiByteToWideChar(CP_ACP, 0, line, -1, wide, line_size);
  MessageBoxW(nullptr, wide, L"Pause", MB_OK);
}
