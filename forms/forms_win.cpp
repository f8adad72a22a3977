// Pieces both boxes share: the dialog-key step of the worker's pump, window
// texts in the ANSI code page, the one-entry pop-up menus and the rename
// question. Win32 for IsDialogMessageW, window texts and menus.
#include <windows.h>

#include <cstring>

#include "forms/forms_win.h"
#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_windows.h"

// Tab and Shift+Tab move between the input box's fields and Enter finishes
// one; the button box takes its keys through its own window procedure.
bool forms_take_dialog_message(MSG& message)
{
  if (HWND box = input_box_window(); box && IsDialogMessageW(box, &message))
    return true;
  if (HWND box = button_box_window(); box && IsDialogMessageW(box, &message))
    return true;
  return false;
}

void set_window_text_ansi(HWND window, const char* text)
{
  if (!window)
    return;
  const int length = static_cast<int>(strnlen(text, line_size - 1));
  wchar_t wide[line_size];
  const int count = MultiByteToWideChar(CP_ACP, 0, text, length, wide, line_size - 1);
  wide[count > 0 ? count : 0] = 0;
  SetWindowTextW(window, wide);
}

void show_single_item_menu(HWND owner, const wchar_t* text, UINT id)
{
  POINT cursor;
  GetCursorPos(&cursor);
  HMENU menu = CreatePopupMenu();
  insert_menu_item(menu, 0, text, id, true);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  DestroyMenu(menu);
}

void ask_for_name(int index, const char* current, char* line)
{
  ensure_text_window();
  QEL_Printf("%d '%s' ->", index, current);
  QEL_Gets(line);
}
