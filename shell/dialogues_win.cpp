// The main window's commands that ask questions in a text window or create
// windows. They run on the worker thread as jobs of the request channel, so
// that the text window they print into and read from, and the windows they
// create, are touched only by the thread that owns them. Win32 only to post
// the report command to a text window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "image/slots.h"
#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_backend.h"
#include "text/text_windows.h"

namespace {

bool exiting() { return exit_state.load(std::memory_order_acquire) != 0; }

// Text window 0 for the questions: opened if needed, else only brought forward.
void open_prompt_window()
{
  if (text_window_is_open(0))
    text_backend_foreground(0);
  else
    QEL_OpenTextWindow(0, -1, -1, -1, -1);
}

// Reads a line in the current text window and converts it like atoi.
// Returns false when Exit was chosen while the line was awaited.
bool ask_number(const char* prompt, int& value)
{
  char line[line_size] = "";
  QEL_Printf("%s", prompt);
  QEL_Gets(line);
  if (exiting())
    return false;
  value = std::atoi(line);
  return true;
}

} // namespace

int image_window_dialogue(void*)
{
  open_prompt_window();
  QEL_Printf("Creating ImageWindow...\n");
  int width = 0, height = 0, bits = 0;
  if (!ask_number(" Width=", width) || !ask_number("Height=", height) ||
      !ask_number("Bit[32 or 8]=", bits))
    return 0;
  if (bits != 32 && bits != 8)
    return 0;
  const int slot = first_free_image_slot();
  if (slot < 0)
    return 0;
  char title[8];
  std::snprintf(title, sizeof title, "%03d", slot);
  const int zoom = 100;
  return bits == 8 ? QEL_CreateImage8(slot, title, -1, -1, width, height, zoom)
                   : QEL_CreateImage(slot, title, -1, -1, width, height, zoom);
}

int text_window_command(void*)
{
  for (int n = 0; n < text_window_count; ++n)
    if (!text_window_is_open(n))
      return QEL_OpenTextWindow(n, -1, -1, -1, -1);
  return 0;
}

int input_box_dialogue(void*)
{
  open_prompt_window();
  QEL_Printf("Creating InpuxBox...\n");
  int items = 0;
  if (!ask_number("How many items? >", items))
    return 0;
  QEL_CloseInputBox();
  QEL_OpenInputBox(0, 0, items);
  return 0;
}

int button_box_dialogue(void*)
{
  open_prompt_window();
  QEL_Printf("Creating ButtonBox...\n");
  int columns = 0, rows = 0;
  if (!ask_number("Number[X]=>", columns) || !ask_number("Number[Y]=>", rows))
    return 0;
  QEL_CloseButtonBox();
  QEL_OpenButtonBox(0, 0, columns, rows);
  return 0;
}

// The report is written by the current text window; text window 0 stands in
// when none is open.
int window_info_command(void*)
{
  if (!current_text_window_open())
    open_prompt_window();
  if (current_text_window_open())
    PostMessageW(static_cast<HWND>(text_backend_window(current_text_window())), WM_COMMAND,
                 cmd_window_info, 0);
  return 0;
}
