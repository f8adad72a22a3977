// Save formats and file-name extensions of image files.
#include "imageio/extension.h"

#include <cwchar>

namespace {

const SaveFormat formats[save_format_count] = {
    {L"image/bmp", L".bmp"},  {L"image/jpeg", L".jpg"}, {L"image/gif", L".gif"},
    {L"image/png", L".png"},  {L"image/tiff", L".tif"},
};

// Save dialog type index (1-based) -> save format. "All Files" saves BMP.
constexpr int filter_formats[] = {0, 0, 1, 2, 3, 4};

constexpr wchar_t fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

} // namespace

const SaveFormat* save_format(int format)
{
  if (format < 0 || format >= save_format_count)
    return nullptr;
  return &formats[format];
}

int save_format_for_filter(int filter_index)
{
  constexpr int count = sizeof filter_formats / sizeof filter_formats[0];
  if (filter_index < 1 || filter_index > count)
    return -1;
  return filter_formats[filter_index - 1];
}

bool filter_forces_full_quality(int filter_index)
{
  return save_format_for_filter(filter_index) == QEL_JPEG;
}

// Only the last four characters are looked at, so ".jpeg" and ".tiff" do
// not count as ".jpg" and ".tif": such names get the short form appended.
bool AppendExtension(wchar_t* name, std::size_t capacity, const wchar_t* extension)
{
  const std::size_t length = std::wcslen(name);
  if (length >= 4) {
    wchar_t ending[5];
    for (int i = 0; i < 4; ++i)
      ending[i] = fold(name[length - 4 + i]);
    ending[4] = 0;
    if (std::wcsstr(ending, extension))
      return true;
  }
  const std::size_t extra = std::wcslen(extension);
  if (length + extra + 1 > capacity)
    return false;
  std::wmemcpy(name + length, extension, extra + 1);
  return true;
}
