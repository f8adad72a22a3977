// Decoding a PNG file that is held in memory (the clipboard's "PNG" format)
// through GDI+. Win32 for the codec and the stream interface it reads from.
//
// GDI+ decodes from a file or from a stream. The system's stream over memory
// lives in a COM library that this program does not load, and a temporary
// file would mean disk traffic, a name to pick and a file to clean up after
// a failure; so the stream here is the program's own: read-only, over the
// caller's bytes.
#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "imageio/gdiplus_win.h"
#include "imageio/picture_header.h"

namespace {

using namespace Gdiplus;

// It lives on its user's stack and outlives the image decoded from it (the
// image may read on while it exists), so counting references only reports:
// nothing is deleted when the count drops.
class ByteStream final : public IStream {
public:
  ByteStream(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
  {
    if (!out)
      return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(ISequentialStream) || id == __uuidof(IStream)) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // A read at or past the end gives what is left, possibly nothing.
  HRESULT STDMETHODCALLTYPE Read(void* out, ULONG count, ULONG* read) override
  {
    if (!out)
      return STG_E_INVALIDPOINTER;
    const std::uint64_t left = position_ < size_ ? size_ - position_ : 0;
    const ULONG n = static_cast<ULONG>(std::min<std::uint64_t>(count, left));
    if (n)
      std::memcpy(out, bytes_ + position_, n);
    position_ += n;
    if (read)
      *read = n;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
  {
    std::int64_t base = 0;
    if (origin == STREAM_SEEK_CUR)
      base = static_cast<std::int64_t>(position_);
    else if (origin == STREAM_SEEK_END)
      base = static_cast<std::int64_t>(size_);
    else if (origin != STREAM_SEEK_SET)
      return STG_E_INVALIDFUNCTION;
    // The base is a memory size and the move any value: a backward move
    // cannot overflow the sum, a forward one is checked before adding.
    if ((move.QuadPart < 0 && base + move.QuadPart < 0) ||
        (move.QuadPart > 0 && move.QuadPart > INT64_MAX - base))
      return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(base + move.QuadPart);
    if (position)
      position->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override
  {
    if (!stat)
      return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    stat->grfMode = STGM_READ;
    return S_OK;
  }

  // Nothing else is asked of a stream that is only read.
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
  const std::uint8_t* bytes_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  ULONG references_ = 1;
};

} // namespace

bool decode_png_bytes(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture)
{
  *picture = DecodedPicture{};
  // The header says how big the picture is before the codec allocates for it.
  const PictureHeader header = picture_header_from_bytes(bytes, size);
  if (header.format != PictureFormat::png || !fits_decode_budget(header))
    return false;

  ByteStream stream(bytes, size);
  GdipImage image;   // declared after the stream, so it is disposed of first
  ImageType type = ImageTypeUnknown;
  UINT width = 0, height = 0;
  if (gdip::GdipLoadImageFromStream(&stream, &image.image) != Ok || !image.image ||
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
