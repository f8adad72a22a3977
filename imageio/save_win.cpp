// Saving the current image through the GDI+ encoders. Win32 for the codec;
// the format table, extensions and colour reduction are portable.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/slots.h"
#include "imageio/colour_reduce.h"
#include "imageio/extension.h"
#include "imageio/gdiplus_win.h"
#include "imageio/imageio_win.h"
#include "imageio/memory_stream_win.h"
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

// A save counts as done only when its bytes decode again at its size.
bool decodes_at_size(IStream* stream, int width, int height)
{
  const LARGE_INTEGER start{};
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
    return false;
  GdipImage decoded;
  UINT w = 0, h = 0;
  return gdip::GdipLoadImageFromStream(stream, &decoded.image) == Ok && decoded.image &&
         gdip::GdipGetImageWidth(decoded.image, &w) == Ok &&
         gdip::GdipGetImageHeight(decoded.image, &h) == Ok && w == static_cast<UINT>(width) &&
         h == static_cast<UINT>(height);
}

// The BMP encoder leaves the palette out of the file size in the header of
// indexed bitmaps, and strict readers refuse such files: put the real size in.
void repair_bmp_size(std::uint8_t* bytes, std::uint64_t size)
{
  if (size < 6 || size > UINT32_MAX || bytes[0] != 'B' || bytes[1] != 'M')
    return;
  for (int i = 0; i < 4; ++i)
    bytes[2 + i] = static_cast<std::uint8_t>(size >> 8 * i);
}

// All of `size` bytes into a new file at `path`; ERROR_SUCCESS, or why not.
// A failed write removes what it made. A write that takes no more bytes
// means the disk is full.
DWORD write_file(const wchar_t* path, const std::uint8_t* bytes, std::uint64_t size)
{
  const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError();
  DWORD error = ERROR_SUCCESS;
  while (size > 0 && error == ERROR_SUCCESS) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size, 1u << 30));
    DWORD done = 0;
    if (!WriteFile(file, bytes, chunk, &done, nullptr))
      error = GetLastError();
    else if (done == 0)
      error = ERROR_DISK_FULL;
    bytes += done;
    size -= done;
  }
  if (!CloseHandle(file) && error == ERROR_SUCCESS)
    error = GetLastError();
  if (error != ERROR_SUCCESS)
    DeleteFileW(path);
  return error;
}

// The stream's bytes, BMP size repaired, written to `path`.
DWORD write_encoded(const wchar_t* path, IStream* stream, bool bmp)
{
  std::vector<std::uint8_t>& bytes = memory_stream_bytes_for_edit(stream);
  if (bmp)
    repair_bmp_size(bytes.data(), bytes.size());
  return write_file(path, bytes.data(), bytes.size());
}

// The save itself; on 1 `reason` says why.
int save_current_image(int w, int h, int format, const char* file, DWORD& reason)
{
  reason = ERROR_SUCCESS;
  if (!slot_in_use(qel_current_image))
    return 3;
  if (w <= 0 || h <= 0)
    return 2;
  const auto failed = [&reason](DWORD why) {
    reason = why;
    return 1;
  };
  // The encoder needs the whole block at once: 4 bytes a pixel at most.
  if (std::int64_t{w} * h > max_picture_bytes / 4)
    return failed(ERROR_NOT_ENOUGH_MEMORY);
  const SaveFormat* target = save_format(format);
  CLSID encoder;
  if (!target || !FindEncoder(target->mime_type, &encoder))
    return failed(ERROR_NOT_SUPPORTED);
  wchar_t path[path_size];
  if (!file || !MultiByteToWideChar(CP_ACP, 0, file, -1, path, path_size) ||
      !AppendExtension(path, path_size, target->extension))
    return failed(ERROR_FILENAME_EXCED_RANGE);

  Picture picture;
  if (!build_picture(picture, w, h, format))
    return failed(ERROR_NOT_ENOUGH_MEMORY);
  ULONG quality = static_cast<ULONG>(qel_jpeg_quality);
  EncoderParameters parameters{};
  parameters.Count = 1;
  parameters.Parameter[0].Guid = quality_parameter;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Type = value_type_long;
  parameters.Parameter[0].Value = &quality;
  // The encoded file stays in memory until its bytes are known good, so
  // nothing reaches the disk before then.
  const StreamRef encoded(new_memory_stream());
  if (gdip::GdipSaveImageToStream(picture.bitmap.image, encoded.stream, &encoder,
                                  format == QEL_JPEG ? &parameters : nullptr) != Ok ||
      !decodes_at_size(encoded.stream, w, h))
    return failed(ERROR_INVALID_DATA);
  if (const DWORD error = write_encoded(path, encoded.stream, format == QEL_BMP))
    return failed(error);
  return 0;
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

// The file is written only once the encoded bytes decode again, and a write
// that fails leaves no partial file: after 1 the thread's last error says why
// (access denied, disk full, no encoder, ...), set when all is released.
int QEL_SaveImage(int w, int h, int format, const char* file)
{
  DWORD reason = ERROR_SUCCESS;
  const int result = save_current_image(w, h, format, file, reason);
  if (result == 1)
    SetLastError(reason);
  return result;
}
