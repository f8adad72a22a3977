// Files dropped on the main window, and files named on the command line,
// become image windows. Win32 for the drop handle and full path names; runs
// on the GUI thread and reaches the worker's windows through requests.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "imageio/imageio_win.h"
#include "qellib.h"
#include "shell/shell_win.h"

namespace {

std::vector<std::wstring> startup_files;

bool to_ansi(const wchar_t* wide, char* out, int size)
{
  BOOL lossy = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, size, nullptr, &lossy) &&
         !lossy;
}

// One file: a 32-bit image window of the picture's size in the first slot
// from `cursor` on that is free, titled with the slot number and the file's
// name, with the picture loaded and shown. Files that are no image, or that
// the system code page cannot name, are passed over.
void open_as_image_window(const wchar_t* name, int& cursor)
{
  wchar_t full[MAX_PATH];
  wchar_t* file_part = nullptr;
  const DWORD length = GetFullPathNameW(name, MAX_PATH, full, &file_part);
  if (length == 0 || length >= MAX_PATH || !file_part || !*file_part)
    return;
  int width = 0, height = 0;
  if (!read_picture_size(full, &width, &height))
    return;
  char path[path_size], file_name[path_size];
  if (!to_ansi(full, path, path_size) || !to_ansi(file_part, file_name, path_size))
    return;
  while (cursor < slot_count && exit_state.load(std::memory_order_acquire) == 0) {
    const int slot = cursor++;
    char title[line_size];
    std::snprintf(title, sizeof title, "%03d %s", slot, file_name);
    const int result = post_create_image(slot, title, width, height, 32);
    if (result == 0) {
      post_load_image(slot, path);
      post_redraw_image(slot);
      QEL_RestoreImage();
      return;
    }
    if (result != 1)   // only a taken slot lets the next one be tried
      return;
  }
}

} // namespace

void handle_dropped_files(HDROP drop)
{
  int cursor = 0;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH];
    if (DragQueryFileW(drop, i, name, MAX_PATH))
      open_as_image_window(name, cursor);
  }
  DragFinish(drop);
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
  const std::vector<std::wstring> files = std::move(startup_files);
  startup_files.clear();
  int cursor = 0;
  for (const std::wstring& name : files)
    open_as_image_window(name.c_str(), cursor);
}
