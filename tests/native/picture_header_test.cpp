// Picture headers built byte by byte: the size of each format, the budget,
// prefixes cut anywhere, and mutated headers that must never be read out of
// bounds nor give an empty size as valid.
#include <doctest/doctest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "byte_file.h"
#include "imageio/picture_header.h"

namespace {

PictureHeader parse(const std::vector<std::uint8_t>& bytes)
{
  return picture_header_from_bytes(bytes.data(), bytes.size());
}

// The first `n` bytes, in a buffer of their own for AddressSanitizer to guard.
PictureHeader parse_prefix(const File& f, std::size_t n)
{
  return parse(std::vector<std::uint8_t>(f.begin(), f.begin() + n));
}

File png(std::uint32_t w, std::uint32_t h)
{
  return File().b({0x89, 'P', 'N', 'G', 13, 10, 26, 10}).be32(13).text("IHDR").be32(w).be32(h)
      .b({8, 6, 0, 0, 0}).zeros(4);
}

File bmp(std::uint32_t info_size, std::int32_t w, std::int32_t h)
{
  File f = File().text("BM").le32(0).le32(0).le32(54).le32(info_size);
  if (info_size == 12)
    return f.le16(w).le16(h).le16(1).le16(24);
  return f.le32(w).le32(h).le16(1).le16(24).zeros(info_size > 16 ? info_size - 16 : 0);
}

// A 10 x 8 screen whose first frame reaches out to 14 x 8, a 3 x 3 second frame.
File gif()
{
  File f = File().text("GIF89a").le16(10).le16(8).b({0x80, 0, 0}).zeros(6);
  f.b({0x21, 0xF9, 4, 0, 0, 0, 0, 0});
  f.b({0x2C}).le16(2).le16(2).le16(12).le16(6).b({0, 2, 2, 0x4C, 0x01, 0});
  f.b({0x2C}).le16(0).le16(0).le16(3).le16(3).b({0, 2, 1, 0x44, 0});
  return f.b({0x3B});
}

// JFIF, an APP1 of `app1_length`, a table, then a 640 x 480 frame header.
File jpeg(unsigned app1_length)
{
  File f = File().b({0xFF, 0xD8, 0xFF, 0xE0}).be16(16).text("JFIF").zeros(10);
  f.b({0xFF, 0xE1}).be16(app1_length).zeros(app1_length - 2);
  f.b({0xFF, 0xDB}).be16(67).zeros(65);
  return f.b({0xFF, 0xC0}).be16(17).b({8}).be16(480).be16(640).b({3}).zeros(9);
}

// IFD 0 after 8 bytes of pixel data: width as SHORT, height as LONG.
File tiff(bool big, unsigned w, std::uint32_t h)
{
  File f = File().text(big ? "MM" : "II").put(2, 42, big).put(4, 16, big).zeros(8).put(2, 3, big);
  f.put(2, 254, big).put(2, 4, big).put(4, 1, big).put(4, 0, big);
  f.put(2, 256, big).put(2, 3, big).put(4, 1, big).put(2, w, big).put(2, 0, big);
  f.put(2, 257, big).put(2, 4, big).put(4, 1, big).put(4, h, big);
  return f.put(4, 0, big);
}

// A 16 x 16 bitmap entry, then one whose directory says 0 (256) holding a PNG.
File ico()
{
  File f = File().b({0, 0, 1, 0}).le16(2);
  f.b({16, 16, 0, 0}).le16(1).le16(32).le32(40).le32(38);
  f.b({0, 0, 0, 0}).le16(1).le16(32).le32(33).le32(78);
  f.le32(40).le32(16).le32(32).le16(1).le16(32).zeros(24);
  const File picture = png(256, 256);
  f.insert(f.end(), picture.begin(), picture.end());
  return f;
}

File wmf()
{
  return File().le32(0x9AC6CDD7u).le16(0).le16(0xFF9C).le16(0xFFCE).le16(300).le16(250)
      .le16(1440).le32(0).le16(0);
}

// An A4 frame recorded on a 1920 x 1080 screen of 508 x 286 mm.
File emf()
{
  File f = File().le32(1).le32(88).zeros(16).le32(0).le32(0).le32(21000).le32(29700);
  return f.text(" EMF").zeros(28).le32(1920).le32(1080).le32(508).le32(286);
}

void check_size(const PictureHeader& h, PictureFormat format, int w, int height)
{
  CHECK((h.status == HeaderStatus::ok && h.format == format && h.width == w && h.height == height));
}

// One file of each kind and the size its codec will report.
using Sample = std::tuple<File, PictureFormat, int, int>;

std::vector<Sample> samples()
{
  using F = PictureFormat;
  return {{png(7, 5), F::png, 7, 5},
          {bmp(12, 7, 5), F::bmp, 7, 5},
          {bmp(40, 7, -5), F::bmp, 7, 5},   // top-down rows
          {bmp(124, 7, 5), F::bmp, 7, 5},
          {gif(), F::gif, 14, 8},           // the screen and the first frame together
          {jpeg(20), F::jpeg, 640, 480},
          {tiff(false, 7, 70000), F::tiff, 7, 70000},
          {tiff(true, 7, 70000), F::tiff, 7, 70000},
          {ico(), F::ico, 256, 256},        // the largest entry
          {wmf(), F::wmf, 400, 300},
          {emf(), F::emf, 794, 1122}};      // 793.7 and 1121.5 rounded
}

} // namespace

TEST_CASE("each format's size; every frame of a GIF counts; an ICO entry's header beats its directory; the budget")
{
  const PictureHeader g = parse(gif());
  CHECK(g.decoded_bytes == 14 * 8 * 4 + 12 * 6 + 3 * 3);
  File lying = ico();
  lying[38 + 4] = 0xA0, lying[38 + 5] = 0x0F;   // bitmap width 4000
  lying[38 + 8] = 0x00, lying[38 + 9] = 0x7D;   // height 32000: 16000 and its mask
  check_size(parse(lying), PictureFormat::ico, 4000, 16000);

  for (const auto& [f, format, width, height] : samples()) {
    CAPTURE(int(format));
    check_size(parse(f), format, width, height);
    // Shorter prefixes ask for more, within the file; from some length on the
    // size is known. So a reader that reads as far as asked reaches the size.
    bool known = false;
    for (std::size_t cut = 0; cut < f.size(); ++cut) {
      const PictureHeader h = parse_prefix(f, cut);
      known = known || h.status == HeaderStatus::ok;
      if (known)
        REQUIRE((h.status == HeaderStatus::ok && h.width == width && h.height == height));
      else
        REQUIRE((h.status == HeaderStatus::need_more && h.bytes_needed > cut && h.bytes_needed <= f.size()));
    }
  }

  // The decode budget takes 8192 x 8192, refuses one row more and 23170 x 23170.
  CHECK((fits_decode_budget(parse(png(8192, 8192))) && !fits_decode_budget(parse(png(8192, 8193)))));
  const PictureHeader huge = parse(png(23170, 23170));
  CHECK(huge.decoded_bytes == 23170ull * 23170 * 4);   // no wrap in 32 bits
  CHECK((!fits_decode_budget(huge) && !fits_decode_budget(parse(png(0, 5)))));
}

TEST_CASE("unknown and malformed headers; a JPEG with a 64 KiB APP1 before its frame header")
{
  CHECK(parse(File().text("plain text, no picture")).status == HeaderStatus::unknown_format);
  CHECK(parse(File().b({0, 0, 2, 0}).zeros(40)).status == HeaderStatus::unknown_format);  // a cursor
  File no_key = wmf();
  no_key[3] = 0;
  // Empty, huge or negative sizes, a bad BMP header size, a GIF without a
  // frame, a JPEG scan before its frame, a WMF without its key.
  const File malformed[] = {png(0, 5), png(0x80000000u, 5), bmp(13, 7, 5), bmp(40, -7, 5), bmp(40, 7, INT32_MIN),
                            File().text("GIF89a").le16(10).le16(8).b({0, 0, 0, 0x3B}),
                            File().b({0xFF, 0xD8, 0xFF, 0xDA}).be16(8).zeros(6), tiff(false, 0, 5), no_key};
  for (std::size_t i = 0; i < std::size(malformed); ++i)
    CHECK_MESSAGE(parse(malformed[i]).status == HeaderStatus::malformed, "case ", i);

  // A JPEG with a 64 KiB APP1 before its frame header.
  const File f = jpeg(65535);
  check_size(parse(f), PictureFormat::jpeg, 640, 480);
  // Stray bytes and fill bytes before a marker are stepped over, as the decoder does.
  File noisy = f;
  noisy.insert(noisy.begin() + 20, {0x12, 0xFF, 0x00, 0xFF, 0xFF});
  check_size(parse(noisy), PictureFormat::jpeg, 640, 480);
  // A 64 KiB prefix ends inside the APP1: it is asked to reach past the next
  // marker, and from there past the frame header's size fields.
  const std::size_t table = 20 + 2 + 65535, frame = f.size() - 19;
  const PictureHeader inside = parse_prefix(f, 65536);
  CHECK((inside.status == HeaderStatus::need_more && inside.bytes_needed == table + 9));
  CHECK(parse_prefix(f, table + 9).bytes_needed == frame + 9);
  check_size(parse_prefix(f, frame + 9), PictureFormat::jpeg, 640, 480);
}

TEST_CASE("mutated headers are never read out of bounds nor valid with an empty size")
{
  const std::vector<Sample> seeds = samples();
  std::mt19937 random(20240612);
  int bad_results = 0;
  for (int i = 0; i < 300000; ++i) {
    File bytes = std::get<File>(seeds[random() % seeds.size()]);
    for (int n = 1 + random() % 4; n > 0; --n) {
      const std::uint32_t r = random();
      const std::uint8_t values[] = {0x00, 0xFF, 0x80, 0x7F, static_cast<std::uint8_t>(r >> 8)};
      bytes[r % bytes.size()] = values[(r >> 16) % 5];
    }
    const std::size_t length = random() % 4 == 0 ? random() % bytes.size() : bytes.size();
    const PictureHeader h = parse_prefix(bytes, length);
    if (h.status == HeaderStatus::ok &&
        (h.width <= 0 || h.height <= 0 || h.decoded_bytes < 4ull * h.width * h.height))
      ++bad_results;
    if (h.status == HeaderStatus::need_more && h.bytes_needed <= length)
      ++bad_results;
  }
  CHECK(bad_results == 0);
}
