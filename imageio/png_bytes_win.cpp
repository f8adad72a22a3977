// Decoding a PNG file that is held in memory (the clipboard's "PNG" format)
// through GDI+, which reads it from a memory stream of our own: no disk
// traffic, no temporary file to name or clean up after a failure.
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "imageio/gdiplus_win.h"
#include "imageio/memory_stream_win.h"
#include "imageio/picture_header.h"

using namespace Gdiplus;

bool decode_png_bytes(std::vector<std::uint8_t> bytes, DecodedPicture* picture)
{
  *picture = DecodedPicture{};
  // The header says how big the picture is before the codec allocates for it.
  const PictureHeader header = picture_header_from_bytes(bytes.data(), bytes.size());
  if (header.format != PictureFormat::png || !fits_decode_budget(header))
    return false;

  const StreamRef stream(new_memory_stream(std::move(bytes)));
  GdipImage image;   // declared after the stream, so it is disposed of first
  ImageType type = ImageTypeUnknown;
  UINT width = 0, height = 0;
  if (gdip::GdipLoadImageFromStream(stream.stream, &image.image) != Ok || !image.image ||
      gdip::GdipGetImageType(image.image, &type) != Ok || type != ImageTypeBitmap ||
      gdip::GdipGetImageWidth(image.image, &width) != Ok ||
      gdip::GdipGetImageHeight(image.image, &height) != Ok)
    return false;
  // The codec must see the size the budget was checked for.
  if (width != static_cast<UINT>(header.width) || height != static_cast<UINT>(header.height))
    return false;

  DecodedPicture decoded;
  decoded.width = header.width;
  decoded.height = header.height;
  if (!read_whole_bitmap(image.image, &decoded))
    return false;
  *picture = std::move(decoded);
  return true;
}
