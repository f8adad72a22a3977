// Loading image files into the current image. Win32 for the GDI+ decoders;
// where the picture lands and how it mixes with the image is portable.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/slots.h"
#include "imageio/gdiplus_win.h"
#include "imageio/imageio_win.h"
#include "imageio/picture_header.h"
#include "imageio/place.h"
#include "qellib.h"

namespace {

using namespace Gdiplus;

bool open_picture(const wchar_t* path, GdipImage& picture, int* width, int* height)
{
  if (gdip::GdipLoadImageFromFile(path, &picture.image) != Ok || !picture.image)
    return false;
  UINT w = 0, h = 0;
  if (gdip::GdipGetImageWidth(picture.image, &w) != Ok ||
      gdip::GdipGetImageHeight(picture.image, &h) != Ok || w == 0 || h == 0 ||
      w > INT32_MAX || h > INT32_MAX)
    return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

// The picture's own pixels, read straight from the decoded bitmap: no
// scaling by the file's resolution can come in.
bool read_bitmap_part(GpImage* picture, const Placement& part, std::uint32_t* argb)
{
  GpRect rect(part.source_x, part.source_y, part.width, part.height);
  BitmapData data{};
  data.Width = static_cast<UINT>(part.width);
  data.Height = static_cast<UINT>(part.height);
  data.Stride = part.width * 4;
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = argb;
  if (gdip::GdipBitmapLockBits(static_cast<GpBitmap*>(picture), &rect,
                               ImageLockModeRead | ImageLockModeUserInputBuf,
                               PixelFormat32bppARGB, &data) != Ok)
    return false;
  return gdip::GdipBitmapUnlockBits(static_cast<GpBitmap*>(picture), &data) == Ok;
}

// Metafiles have no pixels: draw them at their pixel size, with an explicit
// rectangle so the file's resolution does not scale them, onto transparency.
bool draw_metafile_part(GpImage* picture, int width, int height, const Placement& part,
                        std::uint32_t* argb)
{
  GdipImage target;
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(part.width, part.height, part.width * 4,
                                      PixelFormat32bppARGB, reinterpret_cast<BYTE*>(argb),
                                      &bitmap) != Ok)
    return false;
  target.image = bitmap;
  GdipGraphics g;
  if (gdip::GdipGetImageGraphicsContext(target.image, &g.graphics) != Ok)
    return false;
  gdip::GdipSetInterpolationMode(g.graphics, InterpolationModeNearestNeighbor);
  gdip::GdipSetPixelOffsetMode(g.graphics, PixelOffsetModeHalf);
  return gdip::GdipDrawImageRectI(g.graphics, picture, -part.source_x, -part.source_y, width,
                                  height) == Ok;
}

// The file's own palette, alpha dropped; empty for pictures without one.
std::vector<std::uint32_t> picture_palette(GpImage* picture)
{
  std::vector<std::uint32_t> entries;
  PixelFormat format = 0;
  if (gdip::GdipGetImagePixelFormat(picture, &format) != Ok || !IsIndexedPixelFormat(format))
    return entries;
  INT size = 0;
  if (gdip::GdipGetImagePaletteSize(picture, &size) != Ok ||
      size < static_cast<INT>(sizeof(ColorPalette)))
    return entries;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(size));
  auto* palette = reinterpret_cast<ColorPalette*>(block.data());
  if (gdip::GdipGetImagePalette(picture, palette, size) != Ok)
    return entries;
  // The count comes from the file: keep it inside both the block and the 256 entries.
  const std::size_t room = (block.size() - offsetof(ColorPalette, Entries)) / sizeof(ARGB);
  const std::size_t count = std::min<std::size_t>({std::size_t{palette->Count}, room, std::size_t{256}});
  for (std::size_t i = 0; i < count; ++i)
    entries.push_back(palette->Entries[i] & 0xFFFFFFu);
  return entries;
}

// The part of the picture at (x, y) that lands inside `image`, as straight
// ARGB, and the file's palette. The decoded picture is released on return,
// before anything else is allocated for the load.
struct DecodedPart {
  Placement part;
  std::vector<std::uint32_t> argb;
  std::vector<std::uint32_t> palette;
};

bool decode_part(const wchar_t* path, int x, int y, const SlotPixels& image, DecodedPart& out)
{
  GdipImage picture;
  int width = 0, height = 0;
  if (!open_picture(path, picture, &width, &height))
    return false;
  out.part = clip_placement(width, height, x, y, image.width, image.height);
  out.argb.resize(static_cast<std::size_t>(out.part.width) * out.part.height);
  if (!out.argb.empty()) {
    ImageType type = ImageTypeUnknown;
    gdip::GdipGetImageType(picture.image, &type);
    const bool read = type == ImageTypeBitmap
                          ? read_bitmap_part(picture.image, out.part, out.argb.data())
                          : draw_metafile_part(picture.image, width, height, out.part, out.argb.data());
    if (!read)
      return false;
  }
  if (image.bits == 8)
    out.palette = picture_palette(picture.image);
  return true;
}

} // namespace

// Reads at any offset through one handle, so a header whose parts lie far
// apart (a TIFF directory at the end of the file) costs a few small reads.
PictureHeader read_file_header(const wchar_t* path)
{
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return {};
  const PictureHeader header = read_picture_header(
      [file](std::uint64_t offset, std::uint8_t* out, std::size_t size) -> std::size_t {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD done = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
        return ReadFile(file, out, wanted, &done, &at) ? done : 0;
      });
  CloseHandle(file);
  return header;
}

// The header decides before the codec sees the file: a picture whose decode
// would pass the budget is refused, and one that lands wholly outside the
// image is not decoded at all (0: like any drawing outside an image, it
// changes nothing, the palette included). The part that lands is copied out
// of the decoded picture before the image is touched, so a file that fails
// half way leaves the image as it was.
int QEL_LoadImage(const char* file, int x, int y)
{
  const int slot = qel_current_image;
  if (!slot_in_use(slot))
    return 2;
  wchar_t path[path_size];
  if (!file || !MultiByteToWideChar(CP_ACP, 0, file, -1, path, path_size))
    return 1;
  const PictureHeader header = read_file_header(path);
  if (!fits_decode_budget(header))
    return 1;
  const SlotPixels& image = slot_pixels[slot];
  if (clip_placement(header.width, header.height, x, y, image.width, image.height).width == 0)
    return 0;
  DecodedPart decoded;
  if (!decode_part(path, x, y, image, decoded))
    return 1;

  std::uint32_t palette[256] = {};
  if (image.bits == 8) {
    if (!decoded.palette.empty())
      QEL_SetPalette(decoded.palette.data(), static_cast<int>(decoded.palette.size()));
    QEL_GetPalette(palette);
  }
  GdiFlush();   // drawing still queued for the image's bitmap goes first
  composite_picture(image, decoded.part, decoded.argb.data(), palette);
  return 0;
}

// Pictures decoded from memory (the clipboard's) are read as files are.
bool read_whole_bitmap(GpImage* picture, DecodedPicture* out)
{
  Placement whole;
  whole.width = out->width;
  whole.height = out->height;
  out->argb.resize(static_cast<std::size_t>(whole.width) * static_cast<std::size_t>(whole.height));
  if (!read_bitmap_part(picture, whole, out->argb.data()))
    return false;
  out->palette = picture_palette(picture);
  return true;
}
