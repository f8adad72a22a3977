// Saving the current image through the GDI+ encoders. Win32 for the codec;
// the format table, extensions and colour reduction are portable.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "image/slots.h"
#include "imageio/colour_reduce.h"
#include "imageio/extension.h"
#include "imageio/gdiplus_win.h"
#include "imageio/imageio_win.h"
#include "qellib.h"

int qel_jpeg_quality = 100;

namespace {

using namespace Gdiplus;

// Encoder parameter "quality", as a 32-bit unsigned value 0..100.
constexpr GUID quality_parameter = {0x1d5be4b5, 0xfa4a, 0x452d,
                                    {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
constexpr ULONG value_type_long = 4;

// 2834 pixels per metre, the 72 dots per inch of 8-bit images.
constexpr REAL indexed_dpi = 2834.0f * 0.0254f;

// Every buffer made here is below 2 GiB, like the images themselves.
constexpr std::int64_t max_picture_bytes = INT32_MAX;

// A bitmap over pixel memory that must outlive it.
struct Picture {
  std::vector<std::uint8_t> pixels;
  GdipImage bitmap;
};

bool wrap(Picture& picture, int width, int height, int stride, PixelFormat format)
{
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(width, height, stride, format, picture.pixels.data(),
                                      &bitmap) != Ok)
    return false;
  picture.bitmap.image = bitmap;
  return true;
}

bool set_palette(Picture& picture, const std::uint32_t* colours, int count)
{
  std::vector<std::uint8_t> block(sizeof(ColorPalette) + sizeof(ARGB) * 256);
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  palette->Flags = 0;
  palette->Count = static_cast<UINT>(count);
  for (int i = 0; i < count; ++i)
    palette->Entries[i] = 0xFF000000u | (colours[i] & 0xFFFFFFu);
  return gdip::GdipSetImagePalette(picture.bitmap.image, palette) == Ok;
}

// Rows of `width` indices into a bitmap whose rows are padded to 4 bytes.
bool make_indexed(Picture& picture, int width, int height, const std::uint8_t* indices,
                  const std::uint32_t* colours, int count)
{
  const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
  picture.pixels.assign(stride * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    std::memcpy(picture.pixels.data() + stride * y, indices + static_cast<std::size_t>(width) * y,
                static_cast<std::size_t>(width));
  return wrap(picture, width, height, static_cast<int>(stride), PixelFormat8bppIndexed) &&
         set_palette(picture, colours, count) &&
         gdip::GdipBitmapSetResolution(static_cast<GpBitmap*>(picture.bitmap.image), indexed_dpi, indexed_dpi) == Ok;
}

// 24-bit RGB: the top byte of the image's words has nowhere to go.
bool make_rgb(Picture& picture, int width, int height, const std::uint32_t* words)
{
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  picture.pixels.assign(stride * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.pixels.data() + stride * y;
    const std::uint32_t* from = words + static_cast<std::size_t>(width) * y;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(from[x]);
      row[3 * x + 1] = static_cast<std::uint8_t>(from[x] >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(from[x] >> 16);
    }
  }
  return wrap(picture, width, height, static_cast<int>(stride), PixelFormat24bppRGB);
}

bool build_picture(Picture& picture, int width, int height, int format)
{
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (slot_pixels[qel_current_image].bits == 8) {
    std::vector<std::uint8_t> block(count);
    QEL_GetBlock(block.data(), 0, 0, width, height);
    std::uint32_t palette[256];
    QEL_GetPalette(palette);
    return make_indexed(picture, width, height, block.data(), palette, 256);
  }
  std::vector<std::uint32_t> block(count);
  QEL_GetBlock(block.data(), 0, 0, width, height);
  // The GIF encoder takes indexed pictures only: given full colour it writes
  // a broken file and still reports success.
  if (format == QEL_GIF) {
    const IndexedPicture reduced = reduce_colours(block.data(), count);
    return make_indexed(picture, width, height, reduced.indices.data(), reduced.palette.data(),
                        static_cast<int>(reduced.palette.size()));
  }
  return make_rgb(picture, width, height, block.data());
}

// The BMP encoder leaves the palette out of the file size in the header of
// indexed bitmaps, and strict readers refuse such files: put the real size in.
bool repair_bmp_size(const wchar_t* path)
{
  HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  LARGE_INTEGER size{};
  unsigned char header[6] = {};
  DWORD done = 0;
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= UINT32_MAX &&
            ReadFile(file, header, sizeof header, &done, nullptr) && done == sizeof header &&
            header[0] == 'B' && header[1] == 'M';
  const auto actual = static_cast<std::uint32_t>(size.QuadPart);
  const std::uint32_t stated = header[2] | header[3] << 8 | header[4] << 16 |
                               static_cast<std::uint32_t>(header[5]) << 24;
  if (ok && stated != actual) {
    const unsigned char fixed[4] = {static_cast<unsigned char>(actual), static_cast<unsigned char>(actual >> 8),
                                    static_cast<unsigned char>(actual >> 16),
                                    static_cast<unsigned char>(actual >> 24)};
    ok = SetFilePointer(file, 2, nullptr, FILE_BEGIN) == 2 &&
         WriteFile(file, fixed, sizeof fixed, &done, nullptr) && done == sizeof fixed;
  }
  CloseHandle(file);
  return ok;
}

// A save counts as done only when the file decodes again at its size.
bool file_reads_back(const wchar_t* path, int width, int height)
{
  int w = 0, h = 0;
  return read_picture_size(path, &w, &h) && w == width && h == height;
}

} // namespace

bool FindEncoder(const wchar_t* mime_type, CLSID* clsid)
{
  UINT count = 0, size = 0;
  if (gdip::GdipGetImageEncodersSize(&count, &size) != Ok || count == 0 ||
      size < count * sizeof(ImageCodecInfo))
    return false;
  std::vector<std::uint8_t> block(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(block.data());
  if (gdip::GdipGetImageEncoders(count, size, codecs) != Ok)
    return false;
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mime_type) == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  return false;
}

int QEL_SaveImage(int w, int h, int format, const char* file)
{
  if (!slot_in_use(qel_current_image))
    return 3;
  if (w <= 0 || h <= 0)
    return 2;
  // The encoder needs the whole block at once: 4 bytes a pixel at most.
  if (std::int64_t{w} * h > max_picture_bytes / 4)
    return 1;
  const SaveFormat* target = save_format(format);
  CLSID encoder;
  if (!target || !FindEncoder(target->mime_type, &encoder))
    return 1;
  wchar_t path[path_size];
  if (!file || !MultiByteToWideChar(CP_ACP, 0, file, -1, path, path_size) ||
      !AppendExtension(path, path_size, target->extension))
    return 1;

  Picture picture;
  if (!build_picture(picture, w, h, format))
    return 1;
  ULONG quality = static_cast<ULONG>(qel_jpeg_quality);
  EncoderParameters parameters{};
  parameters.Count = 1;
  parameters.Parameter[0].Guid = quality_parameter;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Type = value_type_long;
  parameters.Parameter[0].Value = &quality;
  if (gdip::GdipSaveImageToFile(picture.bitmap.image, path, &encoder,
                                format == QEL_JPEG ? &parameters : nullptr) != Ok)
    return 1;
  if (format == QEL_BMP && !repair_bmp_size(path))
    return 1;
  return file_reads_back(path, w, h) ? 0 : 1;
}
