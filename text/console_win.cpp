// The one-shot command console of a text window: the prompt, one line, and
// what its command does. Win32 to post the run-control keys to the main
// window and the About command to the text window.
#include <windows.h>

#include "qellib.h"
#include "shell/app_win.h"
#include "text/console.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"

int run_console()
{
  QEL_Printf("%s", console_prompt);
  char line[line_size] = "";
  QEL_Gets(line);
  const ConsoleCommand command = console_command(line);
  switch (command) {
  case ConsoleCommand::exit:
    // Exit runs on the GUI thread; the short sleep lets it begin before the
    // worker carries on.
    PostMessageW(main_window, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(1);
    break;
  case ConsoleCommand::start: PostMessageW(main_window, WM_KEYDOWN, 'S', 0); break;
  case ConsoleCommand::ver:
    PostMessageW(static_cast<HWND>(text_backend_window(current_text_window())), WM_COMMAND,
                 text_cmd_about, 0);
    break;
  default: QEL_Printf("%s", console_text(command).c_str()); break;
  }
  return console_result(command);
}
