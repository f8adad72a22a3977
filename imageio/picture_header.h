// A picture file's format and pixel size read from its header, without
// decoding it, and the memory budget that a full decode must stay within.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

enum class PictureFormat { unknown, bmp, gif, jpeg, png, tiff, ico, wmf, emf };
enum class HeaderStatus { ok, need_more, unknown_format, malformed };

struct PictureHeader {
  HeaderStatus status = HeaderStatus::unknown_format;
  PictureFormat format = PictureFormat::unknown;   // known from the first bytes, also when not ok
  int width = 0, height = 0;                       // with ok: the size the codec reports, 1 or more
  std::uint64_t decoded_bytes = 0;                 // with ok: what the codec decodes to open the file
  std::uint64_t bytes_needed = 0;                  // with need_more: the file must be at least this long
};

constexpr std::uint64_t decode_budget_bytes = std::uint64_t{256} << 20;   // 64 Mi pixels of 4 bytes

// Copies up to `size` bytes of the file at `offset` into `out`; returns how many (fewer at its end).
using ReadAt = std::function<std::size_t(std::uint64_t offset, std::uint8_t* out, std::size_t size)>;

PictureHeader read_picture_header(const ReadAt& read);                                 // the file by random access
PictureHeader picture_header_from_bytes(const std::uint8_t* bytes, std::size_t size);  // the file's first `size` bytes
bool fits_decode_budget(const PictureHeader& picture);   // ok, and decoded_bytes within decode_budget_bytes
