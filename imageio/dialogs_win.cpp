// The open and save file dialogs of image windows and the two commands that
// use them. Win32 for the common dialogs and full path names.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "image/slots.h"
#include "imageio/extension.h"
#include "imageio/imageio_win.h"
#include "qellib.h"
#include "shell/app_win.h"

int load_filter_index = 2;
int save_filter_index = 2;

namespace {

struct FilterRow {
  const wchar_t* text;
  const wchar_t* pattern;
};

// The save dialog offers the first six rows, the formats that can be written.
constexpr FilterRow filter_rows[] = {
    {L"All Files (*.*)", L"*.*"},
    {L"BMP (*.BMP;*.RLE;*.DIB)", L"*.BMP;*.RLE;*.DIB"},
    {L"JPEG (*.JPG;*.JPEG;*.JPE)", L"*.JPG;*.JPEG;*.JPE"},
    {L"CompuServe GIF (*.GIF)", L"*.GIF"},
    {L"PNG (*.PNG)", L"*.PNG"},
    {L"TIFF (*.TIF;*.TIFF)", L"*.TIF;*.TIFF"},
    {L"WMF (*.WMF)", L"*.WMF"},
    {L"EMF (*.EMF)", L"*.EMF"},
    {L"ICO (*.ICO)", L"*.ICO"},
};
constexpr int open_filter_count = 9;
constexpr int save_filter_count = 6;

// "text\0pattern\0...\0\0" as the dialogs take it.
std::wstring filter_list(int rows)
{
  std::wstring list;
  for (int i = 0; i < rows; ++i) {
    list.append(filter_rows[i].text).push_back(L'\0');
    list.append(filter_rows[i].pattern).push_back(L'\0');
  }
  list.push_back(L'\0');
  return list;
}

// The chosen name goes to the caller in ANSI; the folder it lies in becomes
// the dialog's start folder next time. A name the code page cannot hold
// counts as no choice.
bool take_choice(const wchar_t* name, char* buffer, wchar_t* folder)
{
  char narrow[path_size];
  BOOL lossy = FALSE;
  if (!WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, narrow, path_size, nullptr,
                           &lossy) ||
      lossy)
    return false;
  std::memcpy(buffer, narrow, path_size);
  wchar_t full[MAX_PATH];
  wchar_t* file_part = nullptr;
  const DWORD length = GetFullPathNameW(name, MAX_PATH, full, &file_part);
  if (length > 0 && length < MAX_PATH && file_part) {
    *file_part = 0;
    std::wcscpy(folder, full);
  }
  return true;
}

OPENFILENAMEW dialog_setup(const wchar_t* title, const std::wstring& filters, int index,
                           wchar_t* name, const wchar_t* folder)
{
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = nullptr;
  ofn.lpstrFilter = filters.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(index);
  ofn.lpstrFile = name;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder;
  ofn.lpstrTitle = title;
  return ofn;
}

} // namespace

// The dialogs leave the process's current directory alone: the user program
// writes its charts into the working directory.
int OpenImageDialog(char* buffer)
{
  wchar_t name[MAX_PATH] = L"";
  if (load_filter_index >= 1 && load_filter_index <= open_filter_count)
    std::wcscpy(name, filter_rows[load_filter_index - 1].pattern);
  const std::wstring filters = filter_list(open_filter_count);
  OPENFILENAMEW ofn = dialog_setup(L"Load image file", filters, load_filter_index, name, open_dir);
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn) || !take_choice(name, buffer, open_dir))
    return 1;
  load_filter_index = static_cast<int>(ofn.nFilterIndex);
  return 0;
}

int SaveImageDialog(char* buffer)
{
  wchar_t name[MAX_PATH] = L"noname";
  const std::wstring filters = filter_list(save_filter_count);
  OPENFILENAMEW ofn = dialog_setup(L"Save as", filters, save_filter_index, name, save_dir);
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn) || !take_choice(name, buffer, save_dir))
    return 1;
  save_filter_index = static_cast<int>(ofn.nFilterIndex);
  return 0;
}

void load_image_file_command(int slot)
{
  char path[path_size];
  if (OpenImageDialog(path) != 0 || QEL_SelectImage(slot) != 0)
    return;
  QEL_LoadImage(path, 0, 0);
  QEL_RestoreImage();
  QEL_ShowImage(slot);
}

// "Save as" always writes JPEG at full quality; the user program's own
// setting comes back afterwards.
void save_image_as_command(int slot)
{
  char path[path_size];
  if (SaveImageDialog(path) != 0)
    return;
  const int format = save_format_for_filter(save_filter_index);
  if (format < 0 || QEL_SelectImage(slot) != 0)
    return;
  const int kept_quality = qel_jpeg_quality;
  if (filter_forces_full_quality(save_filter_index))
    qel_jpeg_quality = 100;
  QEL_SaveImage(image_slots[slot].width, image_slots[slot].height, format, path);
  qel_jpeg_quality = kept_quality;
  QEL_RestoreImage();
}
