// The memory stream. Only what GDI+ calls is more than a stub: reading,
// writing, seeking, sizing and its statistics; the rest answers E_NOTIMPL.
#include "imageio/memory_stream_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

class MemoryStream final : public IStream {
public:
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::vector<std::uint8_t> bytes_;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
  {
    if (!object)
      return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IStream) || id == __uuidof(ISequentialStream)) {
      *object = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override
  {
    const ULONG left = --references_;
    if (left == 0)
      delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void* out, ULONG count, ULONG* done) override
  {
    const std::uint64_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const ULONG n = static_cast<ULONG>(std::min<std::uint64_t>(count, left));
    if (n > 0)
      std::memcpy(out, bytes_.data() + position_, n);
    position_ += n;
    if (done)
      *done = n;
    return S_OK;   // a read at or past the end gives what is left, possibly nothing
  }
  HRESULT STDMETHODCALLTYPE Write(const void* in, ULONG count, ULONG* done) override
  {
    // The stream lives in memory and stays below what a vector can index.
    if (position_ > (std::uint64_t{1} << 40))
      return STG_E_MEDIUMFULL;
    const std::uint64_t end = position_ + count;
    if (end > bytes_.max_size() || end > (std::uint64_t{1} << 40))
      return STG_E_MEDIUMFULL;
    try {
      if (end > bytes_.size())
        bytes_.resize(static_cast<std::size_t>(end));
    } catch (...) {
      return STG_E_MEDIUMFULL;
    }
    if (count > 0)
      std::memcpy(bytes_.data() + position_, in, count);
    position_ = end;
    if (done)
      *done = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override
  {
    std::int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<std::int64_t>(position_); break;
    case STREAM_SEEK_END: base = static_cast<std::int64_t>(bytes_.size()); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    // The base is a memory size and the move any value: a backward move
    // cannot overflow the sum, a forward one is checked before adding.
    if ((move.QuadPart < 0 && base + move.QuadPart < 0) ||
        (move.QuadPart > 0 && move.QuadPart > INT64_MAX - base))
      return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(base + move.QuadPart);
    if (at)
      at->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override
  {
    if (size.QuadPart > (std::uint64_t{1} << 40))
      return STG_E_MEDIUMFULL;
    try {
      bytes_.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (...) {
      return STG_E_MEDIUMFULL;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override
  {
    if (!stat)
      return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
  {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
  {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
  {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
  ULONG references_ = 1;
  std::uint64_t position_ = 0;
};

} // namespace

IStream* new_memory_stream(std::vector<std::uint8_t> bytes)
{
  return new MemoryStream(std::move(bytes));
}

const std::vector<std::uint8_t>& memory_stream_bytes(IStream* stream)
{
  return static_cast<MemoryStream*>(stream)->bytes_;
}

std::vector<std::uint8_t>& memory_stream_bytes_for_edit(IStream* stream)
{
  return static_cast<MemoryStream*>(stream)->bytes_;
}
