// Picture file headers: the format and the pixel size that the codec will
// report, read from a few places of the file, so that a picture too big to
// decode is refused before the codec allocates anything for it.
//
// Every value read from a file is distrusted: offsets and sizes are added and
// multiplied in 64 bits, saturating instead of wrapping, and bytes are only
// ever taken from what the reader actually delivered.
#include "imageio/picture_header.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t saturated = std::numeric_limits<std::uint64_t>::max();

std::uint64_t add(std::uint64_t a, std::uint64_t b) { return a > saturated - b ? saturated : a + b; }

std::uint64_t multiply(std::uint64_t a, std::uint64_t b)
{
  return b != 0 && a > saturated / b ? saturated : a * b;
}

unsigned le16(const std::uint8_t* p) { return p[0] | p[1] << 8; }
unsigned be16(const std::uint8_t* p) { return p[0] << 8 | p[1]; }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | std::uint32_t{le16(p + 2)} << 16; }
std::uint32_t be32(const std::uint8_t* p) { return std::uint32_t{be16(p)} << 16 | be16(p + 2); }
std::int32_t signed_le32(const std::uint8_t* p) { return static_cast<std::int32_t>(le32(p)); }
int signed_le16(const std::uint8_t* p) { return static_cast<std::int16_t>(le16(p)); }

// The file through small reads at any offset. One window of it is kept, so
// walking a chain of small blocks costs one platform read per window.
class FileBytes {
public:
  explicit FileBytes(const ReadAt& read) : read_(read) {}

  // Copies `size` bytes at `offset` (a few dozen at most) into `out`. False
  // when the file ends first; it then remembers how long it would have to be.
  bool get(std::uint64_t offset, std::uint8_t* out, std::size_t size)
  {
    if (!in_window(offset, size)) {
      window_offset_ = offset;
      window_size_ = std::min(read_(offset, window_.data(), window_.size()), window_.size());
    }
    if (!in_window(offset, size)) {
      needed_ = std::max(needed_, add(offset, size));
      return false;
    }
    std::memcpy(out, window_.data() + (offset - window_offset_), size);
    return true;
  }

  std::uint64_t needed() const { return needed_; }

private:
  bool in_window(std::uint64_t offset, std::size_t size) const
  {
    return offset >= window_offset_ && size <= window_size_ &&
           offset - window_offset_ <= window_size_ - size;
  }

  const ReadAt& read_;
  std::array<std::uint8_t, 4096> window_;   // read only below window_size_
  std::uint64_t window_offset_ = 0;
  std::size_t window_size_ = 0;
  std::uint64_t needed_ = 0;
};

// What one format's reader found: the size, and the bytes decoded besides
// the 4 a pixel of the picture itself.
enum class Step { ok, short_file, bad };
struct Measure {
  Step step = Step::ok;
  std::uint64_t width = 0, height = 0;
  std::uint64_t extra_bytes = 0;
};

Measure short_file() { return {Step::short_file}; }
Measure bad() { return {Step::bad}; }
Measure sized(std::uint64_t width, std::uint64_t height, std::uint64_t extra = 0)
{
  return {Step::ok, width, height, extra};
}

constexpr std::uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The first chunk must be IHDR with its 13 bytes, width and height first.
Measure png(FileBytes& file, std::uint64_t at)
{
  std::uint8_t head[24];
  if (!file.get(at, head, sizeof head))
    return short_file();
  if (be32(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0)
    return bad();
  return sized(be32(head + 16), be32(head + 20));
}

// A bitmap info header of any size: the 12-byte core header holds 16-bit
// sizes, all larger ones 32-bit signed ones. The height is returned as stored
// (an icon's holds its mask too); a negative one only means rows top-down.
Measure dib(FileBytes& file, std::uint64_t at)
{
  std::uint8_t info[12];
  if (!file.get(at, info, sizeof info))
    return short_file();
  const std::uint32_t header_size = le32(info);
  if (header_size == 12)
    return sized(le16(info + 4), le16(info + 6));
  const std::int64_t width = signed_le32(info + 4);
  const std::int64_t height = signed_le32(info + 8);
  if (header_size < 16 || width <= 0)
    return bad();
  return sized(width, height < 0 ? -height : height);
}

Measure bmp(FileBytes& file) { return dib(file, 14); }

std::uint64_t gif_colour_table_bytes(std::uint8_t flags)
{
  return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0;
}

// Steps over a chain of data sub-blocks (a length byte, that many bytes,
// ended by a length of 0); false when the file ends inside it.
bool skip_gif_sub_blocks(FileBytes& file, std::uint64_t& at)
{
  for (;;) {
    std::uint8_t length = 0;
    if (!file.get(at, &length, 1))
      return false;
    at = add(at, 1 + length);
    if (length == 0)
      return true;
  }
}

// The decoder under Wine reports the first frame's size, others the
// logical screen's: the two agree for all but odd files, and their union
// is the size given, so that the window made for the picture holds it either
// way. The decoder keeps every frame's colour indices, a byte a pixel, until
// the file is closed, so the walk goes on to the trailer and counts them all.
Measure gif(FileBytes& file)
{
  std::uint8_t screen[13];
  if (!file.get(0, screen, sizeof screen))
    return short_file();
  std::uint64_t width = le16(screen + 6), height = le16(screen + 8);
  std::uint64_t at = 13 + gif_colour_table_bytes(screen[10]);
  std::uint64_t frame_pixels = 0;
  bool first_frame = true;
  for (;;) {
    std::uint8_t block = 0;
    if (!file.get(at, &block, 1))
      return short_file();
    if (block == 0x3B)   // trailer
      break;
    if (block == 0x21) {   // extension: introducer, label, sub-blocks
      at = add(at, 2);
    } else if (block == 0x2C) {   // image: descriptor, colour table, code size, sub-blocks
      std::uint8_t image[10];
      if (!file.get(at, image, sizeof image))
        return short_file();
      const std::uint64_t left = le16(image + 1), top = le16(image + 3);
      const std::uint64_t w = le16(image + 5), h = le16(image + 7);
      if (first_frame) {
        width = std::max(width, left + w);
        height = std::max(height, top + h);
        first_frame = false;
      }
      frame_pixels = add(frame_pixels, w * h);
      at = add(at, 10 + gif_colour_table_bytes(image[9]) + 1);
    } else {
      return bad();
    }
    if (!skip_gif_sub_blocks(file, at))
      return short_file();
  }
  if (first_frame)
    return bad();
  return sized(width, height, frame_pixels);
}

bool is_jpeg_frame_marker(std::uint8_t code)
{
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Walks the markers to the first frame header as the decoder does: stray
// bytes before a marker and 0xFF fill bytes are skipped. Segments before the
// frame (APPn with EXIF, ICC or XMP data, COM, tables) may be up to 64 KiB
// each and are stepped over unread. A prefix must reach 9 bytes past the
// start of the frame marker; a short one learns how far the next marker
// wants it to reach.
Measure jpeg(FileBytes& file)
{
  std::uint64_t at = 2;
  for (;;) {
    std::uint8_t head[9];   // marker, length, precision, height, width
    const bool whole = file.get(at, head, sizeof head);
    if (!whole && !file.get(at, head, 2))
      return short_file();
    const std::uint8_t code = head[1];
    if (head[0] != 0xFF || code == 0xFF) {   // a stray byte, or a fill byte before the marker
      at = add(at, 1);
      continue;
    }
    // A stuffed zero, or a marker without a segment (TEM, RSTn).
    if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
      at = add(at, 2);
      continue;
    }
    if (code == 0xD8 || code == 0xD9 || code == 0xDA)   // a second start, the end, or scan data
      return bad();
    if (is_jpeg_frame_marker(code))
      return whole ? sized(be16(head + 7), be16(head + 5)) : short_file();
    if (!whole && !file.get(at, head, 4))
      return short_file();
    const unsigned length = be16(head + 2);
    if (length < 2)
      return bad();
    at = add(at, 2 + length);
  }
}

// IFD 0 is the picture the codec opens; it may lie anywhere in the file (at
// its end, when written in one pass). Sizes may be SHORT or LONG.
Measure tiff(FileBytes& file)
{
  std::uint8_t head[8];
  if (!file.get(0, head, sizeof head))
    return short_file();
  const bool big_endian = head[0] == 'M';
  const auto u16 = [big_endian](const std::uint8_t* p) { return big_endian ? be16(p) : le16(p); };
  const auto u32 = [big_endian](const std::uint8_t* p) { return big_endian ? be32(p) : le32(p); };
  const std::uint64_t directory = u32(head + 4);
  std::uint8_t count_bytes[2];
  if (!file.get(directory, count_bytes, sizeof count_bytes))
    return short_file();
  const unsigned count = u16(count_bytes);
  std::uint64_t width = 0, height = 0;
  for (unsigned i = 0; i < count && (width == 0 || height == 0); ++i) {
    std::uint8_t entry[12];   // tag, type, count, value
    if (!file.get(directory + 2 + 12 * std::uint64_t{i}, entry, sizeof entry))
      return short_file();
    const unsigned tag = u16(entry), type = u16(entry + 2);
    if ((tag != 256 && tag != 257) || u32(entry + 4) == 0)
      continue;
    const std::uint64_t value = type == 3 ? u16(entry + 8) : type == 4 ? u32(entry + 8) : 0;
    (tag == 256 ? width : height) = value;
  }
  return sized(width, height);   // one missing makes it malformed
}

// Which entry the codec opens is its own choice (Wine's the first), so the
// largest is given: it bounds the decode and the window holds any entry. An
// entry's bytes are either a PNG file or a bitmap info header with the mask
// doubling its height; the directory's bytes (0 meaning 256) count as well.
Measure ico(FileBytes& file)
{
  std::uint8_t head[6];
  if (!file.get(0, head, sizeof head))
    return short_file();
  const unsigned count = le16(head + 4);
  Measure largest = bad();
  for (unsigned i = 0; i < count; ++i) {
    std::uint8_t entry[16];
    if (!file.get(6 + 16 * std::uint64_t{i}, entry, sizeof entry))
      return short_file();
    const std::uint64_t at = le32(entry + 12);
    std::uint8_t signature[8];
    if (!file.get(at, signature, sizeof signature))
      return short_file();
    const bool is_png = std::memcmp(signature, png_signature, sizeof signature) == 0;
    Measure image = is_png ? png(file, at) : dib(file, at);
    if (image.step != Step::ok)
      return image;
    if (!is_png)
      image.height /= 2;
    image.width = std::max<std::uint64_t>(image.width, entry[0] ? entry[0] : 256);
    image.height = std::max<std::uint64_t>(image.height, entry[1] ? entry[1] : 256);
    if (largest.step != Step::ok ||
        multiply(image.width, image.height) > multiply(largest.width, largest.height))
      largest = image;
  }
  return largest;
}

// Placeable header: the bounding box in the file's own units, reported as
// pixels as it stands. Metafiles decode nothing until drawn, and the loader
// draws only what lands in the image; their size still counts against the
// budget, as a window of that size is made for a dropped file.
Measure wmf(FileBytes& file)
{
  std::uint8_t head[22];
  if (!file.get(0, head, sizeof head))
    return short_file();
  if (le32(head) != 0x9AC6CDD7u)
    return bad();
  const int left = signed_le16(head + 6), top = signed_le16(head + 8);
  const int right = signed_le16(head + 10), bottom = signed_le16(head + 12);
  if (right <= left || bottom <= top)
    return bad();
  return sized(right - left, bottom - top);
}

// A frame length in 0.01 mm in pixels of the reference device, rounded half
// up; 0 when any of them is not positive. The product stays below 2^63.
std::uint64_t frame_pixels(std::int64_t hundredths_mm, std::int64_t device_pixels,
                           std::int64_t device_mm)
{
  if (hundredths_mm <= 0 || device_pixels <= 0 || device_mm <= 0)
    return 0;
  const std::uint64_t scaled = static_cast<std::uint64_t>(hundredths_mm * device_pixels);
  const std::uint64_t per = static_cast<std::uint64_t>(device_mm) * 100;
  return scaled / per + (2 * (scaled % per) >= per ? 1 : 0);
}

// The frame rectangle (0.01 mm) at the reference device's resolution.
Measure emf(FileBytes& file)
{
  std::uint8_t head[88];
  if (!file.get(0, head, sizeof head))
    return short_file();
  if (std::memcmp(head + 40, " EMF", 4) != 0)
    return bad();
  const std::int64_t frame_width = std::int64_t{signed_le32(head + 32)} - signed_le32(head + 24);
  const std::int64_t frame_height = std::int64_t{signed_le32(head + 36)} - signed_le32(head + 28);
  return sized(frame_pixels(frame_width, signed_le32(head + 72), signed_le32(head + 80)),
               frame_pixels(frame_height, signed_le32(head + 76), signed_le32(head + 84)));
}

// The codec picks its decoder by these first bytes alone: a file that starts
// otherwise is nothing it can open.
struct Signature {
  PictureFormat format;
  std::size_t length;
  std::uint8_t bytes[8];
};
constexpr Signature signatures[] = {
    {PictureFormat::png, 8, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
    {PictureFormat::bmp, 2, {'B', 'M'}},
    {PictureFormat::gif, 4, {'G', 'I', 'F', '8'}},
    {PictureFormat::jpeg, 2, {0xFF, 0xD8}},
    {PictureFormat::tiff, 4, {'I', 'I', 42, 0}},
    {PictureFormat::tiff, 4, {'M', 'M', 0, 42}},
    {PictureFormat::ico, 4, {0, 0, 1, 0}},
    {PictureFormat::wmf, 2, {0xD7, 0xCD}},
    {PictureFormat::emf, 4, {1, 0, 0, 0}},
};

PictureFormat format_of(const std::uint8_t* start)
{
  for (const Signature& s : signatures)
    if (std::memcmp(start, s.bytes, s.length) == 0)
      return s.format;
  return PictureFormat::unknown;
}

Measure measure(PictureFormat format, FileBytes& file)
{
  switch (format) {
  case PictureFormat::png: return png(file, 0);
  case PictureFormat::bmp: return bmp(file);
  case PictureFormat::gif: return gif(file);
  case PictureFormat::jpeg: return jpeg(file);
  case PictureFormat::tiff: return tiff(file);
  case PictureFormat::ico: return ico(file);
  case PictureFormat::wmf: return wmf(file);
  case PictureFormat::emf: return emf(file);
  case PictureFormat::unknown: break;
  }
  return bad();
}

} // namespace

PictureHeader read_picture_header(const ReadAt& read)
{
  FileBytes file(read);
  PictureHeader header;
  std::uint8_t start[8];
  if (!file.get(0, start, sizeof start)) {
    header.status = HeaderStatus::need_more;
    header.bytes_needed = file.needed();
    return header;
  }
  header.format = format_of(start);
  if (header.format == PictureFormat::unknown)
    return header;
  const Measure m = measure(header.format, file);
  if (m.step == Step::short_file) {
    header.status = HeaderStatus::need_more;
    header.bytes_needed = file.needed();
    return header;
  }
  // Sizes beyond an int are nothing the codec or an image slot could take.
  constexpr std::uint64_t int_max = std::numeric_limits<int>::max();
  if (m.step == Step::bad || m.width == 0 || m.height == 0 || m.width > int_max ||
      m.height > int_max) {
    header.status = HeaderStatus::malformed;
    return header;
  }
  header.status = HeaderStatus::ok;
  header.width = static_cast<int>(m.width);
  header.height = static_cast<int>(m.height);
  header.decoded_bytes = add(multiply(m.width * m.height, 4), m.extra_bytes);
  return header;
}

PictureHeader picture_header_from_bytes(const std::uint8_t* bytes, std::size_t size)
{
  // Only the `size` bytes given exist: nothing at or past them is touched.
  return read_picture_header([bytes, size](std::uint64_t offset, std::uint8_t* out,
                                           std::size_t count) -> std::size_t {
    if (offset >= size)
      return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, size - offset));
    std::memcpy(out, bytes + offset, n);
    return n;
  });
}

// The codec decodes a whole picture before any of it can be used, at 4 bytes
// a pixel, and holds about a third more besides (2.65 GB at peak for a
// 23170 x 23170 PNG, 358 MB for 8192 x 8192). The part that lands is copied
// out, and a dropped file's window holds as much again: a drop of an
// 8192 x 8192 picture peaks at 0.88 GB. 256 MiB of decoded pixels keeps any
// file below 0.9 GB and still takes 8192 x 8192, more than a 61-megapixel
// camera makes.
bool fits_decode_budget(const PictureHeader& picture)
{
  return picture.status == HeaderStatus::ok && picture.decoded_bytes <= decode_budget_bytes;
}
