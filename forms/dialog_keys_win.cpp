// The dialog-key step of the worker's pump. Win32 for IsDialogMessageW.
#include "forms/forms_win.h"

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
