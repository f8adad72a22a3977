// Files dropped on the main window and files named on the command line: the
// GUI thread collects their names and hands them to the worker as one job.
// Win32 for the drop handle and the command line.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "imageio/imageio_win.h"
#include "shell/shell_win.h"

namespace {

std::vector<std::wstring> startup_files;   // GUI thread's

} // namespace

void open_dropped_files(HDROP drop)
{
  std::vector<std::wstring> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH];
    if (DragQueryFileW(drop, i, name, MAX_PATH))
      names.emplace_back(name);
  }
  DragFinish(drop);
  post_job(open_files_as_image_windows, &names);
}

void remember_startup_files(const wchar_t* command_line)
{
  startup_files.clear();
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(command_line, &count);
  if (!arguments)
    return;
  for (int i = 1; i < count; ++i)
    startup_files.emplace_back(arguments[i]);
  LocalFree(arguments);
}

void set_startup_files(std::vector<std::wstring> files)
{
  startup_files = std::move(files);
}

// The same path as a drop of all the files at once; each list opens once.
void open_startup_files()
{
  std::vector<std::wstring> files = std::move(startup_files);
  startup_files.clear();
  post_job(open_files_as_image_windows, &files);
}
