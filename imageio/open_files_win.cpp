// Files dropped on the main window, and files named on the command line,
// become image windows: a job the worker runs, as it owns the image windows
// and the current image. Win32 for full path names and code pages.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "image/slots.h"
#include "imageio/imageio_win.h"
#include "qellib.h"
#include "shell/run_control.h"

namespace {

bool to_ansi(const wchar_t* wide, char* out, int size)
{
  BOOL lossy = FALSE;
  return WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, nullptr, &lossy) && !lossy;
}

// One file: a 32-bit image window of the picture's size in the first slot
// from `cursor` on that is free, titled with the slot number and the file's
// name, with the picture loaded and shown; the current image is the same
// afterwards. Files that are no image, pictures beyond the decode budget and
// files that the system code page cannot name are passed over.
void open_as_image_window(const wchar_t* name, int& cursor)
{
  wchar_t full[MAX_PATH];
  wchar_t* file_part = nullptr;
  const DWORD length = GetFullPathNameW(name, MAX_PATH, full, &file_part);
  if (length == 0 || length >= MAX_PATH || !file_part || !*file_part)
    return;
  // The header gives the size without decoding; a picture too big to decode
  // gets no window.
  const PictureHeader header = read_file_header(full);
  if (!fits_decode_budget(header))
    return;
  char path[path_size], file_name[path_size];
  if (!to_ansi(full, path, path_size) || !to_ansi(file_part, file_name, path_size))
    return;
  while (cursor < slot_count) {
    const int slot = cursor++;
    char title[line_size];
    std::snprintf(title, sizeof title, "%03d %s", slot, file_name);
    const int result = create_image(slot, title, -1, -1, header.width, header.height, 32, 100, 1);
    if (result == QEL_OK) {
      // Creation made the slot current; the restore gives the user program
      // back the image it had. The header looked like a picture: a file
      // that still does not decode gives its slot back to the next file.
      if (QEL_LoadImage(path, 0, 0) == QEL_LOADED) {
        QEL_ShowImage(slot);
      } else {
        QEL_DestroyImage(slot);
        cursor = slot;
      }
      QEL_RestoreImage();
      return;
    }
    if (result != QEL_SLOT_IN_USE)   // only a taken slot lets the next one be tried
      return;
  }
}

} // namespace

int open_files_as_image_windows(void* names)
{
  int cursor = 0;
  for (const std::wstring& name : *static_cast<const std::vector<std::wstring>*>(names)) {
    // Once Exit is under way the rest of the files are left alone.
    if (exit_state.load(std::memory_order_acquire) != 0)
      break;
    open_as_image_window(name.c_str(), cursor);
  }
  return 0;
}
