#include "hostile_files.h"

#include <windows.h>

#include <cstddef>
#include <fstream>

#include "image_files.h"

TestDisk::TestDisk(const wchar_t* name, const char* mount_options) : folder(fresh_test_folder(name))
{
  // A disk left mounted by a run that was killed goes first.
  if (run_unix({"/bin/mountpoint", "-q", unix_path(folder)}) == 0)
    run_unix({"/bin/umount", unix_path(folder)});
  mounted = run_unix({"/bin/mount", "-t", "tmpfs", "-o", mount_options, "qel_test_disk",
                      unix_path(folder)}) == 0;
}

TestDisk::~TestDisk()
{
  if (mounted)
    run_unix({"/bin/umount", unix_path(folder)});
}

void write_bytes(const std::wstring& path, const std::vector<char>& bytes)
{
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> tiny_bmp_of_size(int width, int height)
{
  struct {
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    RGBQUAD colours[2];
    char data[2];   // RLE8: end of bitmap
  } __attribute__((packed)) bmp{};
  bmp.file = {0x4D42, sizeof bmp, 0, 0, offsetof(decltype(bmp), data)};
  bmp.info = {sizeof bmp.info, width, height, 1, 8, BI_RLE8, sizeof bmp.data, 2835, 2835, 2, 0};
  bmp.colours[1] = {255, 255, 255, 0};
  bmp.data[1] = 1;
  const char* bytes = reinterpret_cast<const char*>(&bmp);
  return {bytes, bytes + sizeof bmp};
}
