// The user program of the layout round trip, built twice. As the arranger it
// lays out windows of every kind by hand; rebuilt, its set-up is the source
// that the arranger's window report put on the clipboard (QEL_LAYOUT_SOURCE
// names the file). Either way it then runs the report as text window 0
// does, writes the source from the clipboard and the windows as the
// system shows them into the working folder, and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "clipboard_text.h"
#include "qellib.h"
#include "shell/app_win.h"
#include "text/text_win.h"

namespace {

#ifdef QEL_LAYOUT_SOURCE
const std::string output_name = "rebuilt";
void arrange()
{
#include QEL_LAYOUT_SOURCE
}
#else
const std::string output_name = "arranged";
void arrange()
{
  QEL_CreateImage(0, "plain \"q\" C:\\dir\\", 10, 10, 160, 120, 100);
  QEL_CreateImageFL(2, "loose\\", 200, 10, 100, 60, 200);
  QEL_CreateImage8(4, "eight \"8\"", 10, 220, 130, 90, 50);
  QEL_CreateImage8FL(9, "\\\"", 470, 10, 77, 33, 300);
  QEL_OpenTextWindow(0, 700, 10, 420, 260);
  QEL_OpenTextWindow(5, 700, 330, 300, 140);
  QEL_OpenInputBox(10, 400, 3);
  QEL_ResizeInputBox(110, 90);
  QEL_SetInputBoxTitle(0, "pitch \"p\"");
  QEL_SetInputBoxTitle(1, "C:\\lens\\");
  QEL_OpenButtonBox(300, 400, 3, 2);
  QEL_ResizeButtonBox(330, 110);
  QEL_SetButtonBoxTitle(0, "say \"cap\"");
  QEL_SetButtonBoxTitle(4, "two\nlines\\");
}
#endif

// Class, caption, place and client size of each framework window of this
// thread, in an order that does not depend on which came forward last.
BOOL CALLBACK add_window(HWND window, LPARAM shown)
{
  char name[32] = "", caption[300] = "", line[400];
  RECT outer{}, client{};
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, caption, sizeof caption);
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::snprintf(line, sizeof line, "%s '%s' at %ld,%ld client %ldx%ld", name, caption, outer.left,
                outer.top, client.right, client.bottom);
  if (IsWindowVisible(window) && std::strncmp(name, "qel_", 4) == 0)
    reinterpret_cast<std::set<std::string>*>(shown)->insert(line);
  return TRUE;
}

} // namespace

void user_setup()
{
  arrange();
  write_window_report(0);   // what text window 0's "Window Info." does
  std::ofstream(output_name + "_source.inc", std::ios::binary) << clipboard_text();
  std::set<std::string> shown;
  EnumThreadWindows(GetCurrentThreadId(), add_window, reinterpret_cast<LPARAM>(&shown));
  std::ofstream windows(output_name + "_windows.txt", std::ios::binary);
  for (const std::string& line : shown)
    windows << line << "\n";
  windows.close();
  PostMessageW(main_window, WM_COMMAND, cmd_exit, 0);
}

void user_main() {}
