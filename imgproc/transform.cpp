// Whole-image transforms, resampling and test patterns over pixel views.
//
// The image commands copy a slot's picture out, re-create the slot at the new
// size and fill it from the copy, so every function that changes the size
// reads one view and writes another. Views are checked before anything is
// written: a mismatched or empty view writes nothing.
//
// 8-bit images hold palette indices, and the commands treat them as such:
// invert maps i to 255 - i (the palette stays), flips and turns move indices,
// and resampling picks indices, never averages them (the mean of two indices
// is an unrelated colour unless the palette happens to be a ramp).
#include "imgproc/transform.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "imgproc/colour.h"
#include "qellib.h"

namespace {

using std::int64_t;
using std::size_t;
using std::uint32_t;
using std::uint8_t;

// Buffers stay below 2 GiB, like slot buffers: every pixel offset fits an int
// and whatever a slot holds can be copied out.
constexpr int64_t max_buffer_bytes = INT32_MAX;

bool usable(const SlotPixels& v)
{
  return (v.bits == 32 || v.bits == 8) && v.width >= 1 && v.height >= 1 && v.stride >= v.width
      && (v.bits == 32 ? v.pixels32 != nullptr : v.pixels8 != nullptr);
}

// Addresses of the first and one past the last byte of a view's pixels.
std::pair<std::uintptr_t, std::uintptr_t> extent(const SlotPixels& v)
{
  const size_t elements = static_cast<size_t>(v.height - 1) * static_cast<size_t>(v.stride) + v.width;
  const auto start = v.bits == 8 ? reinterpret_cast<std::uintptr_t>(v.pixels8)
                                 : reinterpret_cast<std::uintptr_t>(v.pixels32);
  return {start, start + elements * (v.bits == 8 ? 1 : 4)};
}

// A source and a destination of one depth in separate memory: a turn or a
// resample into its own source would read pixels it has already replaced.
bool separate_same_depth(const SlotPixels& a, const SlotPixels& b)
{
  if (!usable(a) || !usable(b) || a.bits != b.bits)
    return false;
  const auto [a_start, a_end] = extent(a);
  const auto [b_start, b_end] = extent(b);
  return a_end <= b_start || b_end <= a_start;
}

// The rows of a view as elements of its depth.
template <typename T>
struct Rows {
  T* base;
  size_t stride;
  int width, height;
  T* operator[](int y) const { return base + static_cast<size_t>(y) * stride; }
};

template <typename T>
Rows<T> rows(const SlotPixels& v)
{
  if constexpr (sizeof(T) == 4)
    return {v.pixels32, static_cast<size_t>(v.stride), v.width, v.height};
  else
    return {v.pixels8, static_cast<size_t>(v.stride), v.width, v.height};
}

// Calls f with the rows of each view typed by their (common) depth.
template <typename F>
void by_depth(const SlotPixels& a, const SlotPixels& b, F f)
{
  if (a.bits == 8)
    f(rows<uint8_t>(a), rows<uint8_t>(b));
  else
    f(rows<uint32_t>(a), rows<uint32_t>(b));
}

template <typename T>
std::unique_ptr<T[]> try_array(size_t count)
{
  return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// ---- Quarter turns --------------------------------------------------------------

// Blocks of the source, strip_width columns by band_height rows: a block's
// source lines stay cached while its columns are read, and each destination
// row gets band_height pixels in one run. Tall narrow blocks measured best.
constexpr int strip_width = 8;
constexpr int band_height = 1024;

// Clockwise, destination row sx is source column sx read bottom-up;
// counter-clockwise, destination row W - 1 - sx is source column sx read
// top-down.
template <bool clockwise, typename T>
void turn_block(Rows<T> source, Rows<T> destination, int x0, int x1, int y0, int y1)
{
  const int w = source.width, h = source.height;
  for (int sx = x0; sx < x1; ++sx) {
    T* out = destination[clockwise ? sx : w - 1 - sx];
    for (int sy = y0; sy < y1; ++sy)
      out[clockwise ? h - 1 - sy : sy] = source[sy][sx];
  }
}

#ifdef __SSE2__
// 32-bit pixels four by four: four loads, eight shuffles, four stores per
// 4 x 4 square, against sixteen single moves. The ragged right and bottom
// edges of the block go pixel by pixel.
template <bool clockwise>
void turn_block_words(Rows<uint32_t> source, Rows<uint32_t> destination, int x0, int x1, int y0, int y1)
{
  const int w = source.width, h = source.height;
  const int x4 = x0 + (x1 - x0) / 4 * 4, y4 = y0 + (y1 - y0) / 4 * 4;
  for (int sx = x0; sx < x4; sx += 4)
    for (int sy = y0; sy < y4; sy += 4) {
      // Rows in the order their pixels appear along a destination row.
      __m128i r[4];
      for (int i = 0; i < 4; ++i)
        r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source[sy + (clockwise ? 3 - i : i)] + sx));
      const __m128i t0 = _mm_unpacklo_epi32(r[0], r[1]), t1 = _mm_unpacklo_epi32(r[2], r[3]);
      const __m128i t2 = _mm_unpackhi_epi32(r[0], r[1]), t3 = _mm_unpackhi_epi32(r[2], r[3]);
      const __m128i column[4] = {_mm_unpacklo_epi64(t0, t1), _mm_unpackhi_epi64(t0, t1),
                                 _mm_unpacklo_epi64(t2, t3), _mm_unpackhi_epi64(t2, t3)};
      for (int j = 0; j < 4; ++j) {
        uint32_t* out = clockwise ? destination[sx + j] + (h - 4 - sy) : destination[w - 1 - sx - j] + sy;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), column[j]);
      }
    }
  turn_block<clockwise>(source, destination, x4, x1, y0, y1);
  turn_block<clockwise>(source, destination, x0, x4, y4, y1);
}
#endif

template <bool clockwise, typename T>
void rotate_tiled(Rows<T> source, Rows<T> destination)
{
  for (int y0 = 0; y0 < source.height; y0 += band_height) {
    const int y1 = std::min(y0 + band_height, source.height);
    for (int x0 = 0; x0 < source.width; x0 += strip_width) {
      const int x1 = std::min(x0 + strip_width, source.width);
#ifdef __SSE2__
      if constexpr (sizeof(T) == 4) {
        turn_block_words<clockwise>(source, destination, x0, x1, y0, y1);
        continue;
      }
#endif
      turn_block<clockwise>(source, destination, x0, x1, y0, y1);
    }
  }
}

template <bool clockwise>
bool rotate(const SlotPixels& source, const SlotPixels& destination)
{
  if (!separate_same_depth(source, destination) || destination.width != source.height
      || destination.height != source.width)
    return false;
  by_depth(source, destination, [](auto from, auto to) { rotate_tiled<clockwise>(from, to); });
  return true;
}

// ---- Resampling tables ------------------------------------------------------------

// Source index nearest to the centre of destination index i, ties to the
// lower one: so 2:1 keeps pixels 0, 2, 4... and 1:1 is the identity.
int nearest_source(int i, int source_size, int destination_size)
{
  const int64_t centre_twice = (2 * int64_t{i} + 1) * source_size;
  return static_cast<int>((centre_twice - 1) / (2 * int64_t{destination_size}));
}

// Per destination index along one axis: the first source index and the
// weights of the consecutive source pixels it mixes. They sum to `one`
// exactly, so a flat colour stays exactly that colour.
struct AxisFilter {
  std::unique_ptr<int[]> first;
  std::unique_ptr<int[]> count;
  std::unique_ptr<uint32_t[]> weights;   // taps_per entries for each index
  int taps_per = 0;
  uint32_t one = 0;

  const uint32_t* weights_of(int i) const { return &weights[static_cast<size_t>(i) * taps_per]; }
};

// Shrinking: destination pixel i covers [i * s, (i + 1) * s) and source pixel
// j covers [j * d, (j + 1) * d), both in units of 1 / d source pixel; each
// source pixel weighs by its overlap (an area average, or box filter).
void box_taps(AxisFilter& f, int i, int s, int d)
{
  const int64_t lo = int64_t{i} * s, hi = lo + s;
  const int j0 = static_cast<int>(lo / d);
  const int j1 = static_cast<int>((hi + d - 1) / d);   // one past the last
  uint32_t* w = &f.weights[static_cast<size_t>(i) * f.taps_per];
  uint32_t total = 0;
  int largest = 0;
  for (int j = j0; j < j1; ++j) {
    const int64_t overlap = std::min(hi, int64_t{j + 1} * d) - std::max(lo, int64_t{j} * d);
    w[j - j0] = static_cast<uint32_t>((overlap * f.one + s / 2) / s);
    total += w[j - j0];
    if (w[j - j0] > w[largest])
      largest = j - j0;
  }
  // What rounding left over (either way) goes to the biggest share, where it
  // matters least; it is at most one unit per tap.
  w[largest] += f.one - total;
  f.first[i] = j0;
  f.count[i] = j1 - j0;
}

// Enlarging: linear interpolation between the two source pixels around the
// centre of destination pixel i, at (2i + 1) s / 2d - 1/2 source pixels;
// past the outer centres the edge pixel is repeated.
void linear_taps(AxisFilter& f, int i, int s, int d)
{
  uint32_t* w = &f.weights[static_cast<size_t>(i) * f.taps_per];
  const int64_t position = (2 * int64_t{i} + 1) * s - d;   // in units of 1 / 2d
  const int64_t j = position < 0 ? 0 : position / (2 * int64_t{d});
  if (position < 0 || j >= s - 1) {
    f.first[i] = position < 0 ? 0 : s - 1;
    f.count[i] = 1;
    w[0] = f.one;
    return;
  }
  const int64_t fraction = position % (2 * int64_t{d});
  w[1] = static_cast<uint32_t>((fraction * f.one + d) / (2 * int64_t{d}));
  w[0] = f.one - w[1];
  f.first[i] = static_cast<int>(j);
  f.count[i] = 2;
}

// Each axis on its own: shrinking averages, enlarging interpolates, and an
// unchanged size copies.
bool make_filter(AxisFilter& f, int s, int d, uint32_t one)
{
  f.one = one;
  // An even count lets the horizontal pass take the taps in pairs; the
  // unused ones weigh 0.
  const int64_t most = d < s ? (int64_t{s} + d - 1) / d + 1 : 2;
  f.taps_per = static_cast<int>((most + 1) / 2 * 2);
  f.first = try_array<int>(static_cast<size_t>(d));
  f.count = try_array<int>(static_cast<size_t>(d));
  f.weights = try_array<uint32_t>(static_cast<size_t>(d) * static_cast<size_t>(f.taps_per));
  if (!f.first || !f.count || !f.weights)
    return false;
  for (int i = 0; i < d; ++i) {
    if (d < s)
      box_taps(f, i, s, d);
    else if (d > s)
      linear_taps(f, i, s, d);
    else {
      f.first[i] = i;
      f.count[i] = 1;
      f.weights[static_cast<size_t>(i) * f.taps_per] = one;
    }
  }
  return true;
}

// The vertical pass works on the bytes of a pixel in 16-bit lanes: a byte
// times a weight of at most 256 fits, and so does a sum of such products
// whose weights add up to 256, which lets the compiler run it on vectors. The
// horizontal pass multiplies those sums by 12-bit weights in 32 bits. Weights
// in 1/256 put a result at most about one level off the exact average.
constexpr uint32_t vertical_one = 256;
constexpr uint32_t horizontal_one = 4096;
constexpr int result_shift = 8 + 12;

// Pixel bytes in memory are blue, green, red, unused: the words are
// little-endian 0x00RRGGBB.
static_assert(std::endian::native == std::endian::little);

// One destination row from the per-byte sums of the vertical pass.
#ifdef __SSE2__
// Two taps at a time: the sums of two neighbouring pixels are interleaved
// channel by channel and multiplied with the pair of weights in one step
// (pmaddwd). The step multiplies signed 16-bit numbers, so the sums are
// shifted down by 32768 first and 32768 times the weights' total (always
// horizontal_one) is added back.
void mix_across(const std::uint16_t* sum, const AxisFilter& across, uint32_t* out, int width)
{
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i start =
      _mm_set1_epi32(static_cast<int>(32768u * horizontal_one + (1u << (result_shift - 1))));
  for (int x = 0; x < width; ++x) {
    const uint32_t* w = across.weights_of(x);
    const std::uint16_t* in = sum + 4 * static_cast<size_t>(across.first[x]);
    __m128i total = start;
    for (int t = 0; t < across.count[x]; t += 2, in += 8) {
      const __m128i two = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), bias);
      const __m128i paired = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
      const __m128i weights = _mm_set1_epi32(static_cast<int>(w[t] | w[t + 1] << 16));
      total = _mm_add_epi32(total, _mm_madd_epi16(paired, weights));
    }
    const __m128i channels = _mm_srli_epi32(total, result_shift);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(channels, channels), channels);
    out[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu;
  }
}
#else
void mix_across(const std::uint16_t* sum, const AxisFilter& across, uint32_t* out, int width)
{
  constexpr uint32_t half = 1u << (result_shift - 1);
  for (int x = 0; x < width; ++x) {
    const uint32_t* w = across.weights_of(x);
    const std::uint16_t* in = sum + 4 * static_cast<size_t>(across.first[x]);
    uint32_t b = half, g = half, r = half;
    for (int t = 0; t < across.count[x]; ++t, in += 4) {
      b += in[0] * w[t];
      g += in[1] * w[t];
      r += in[2] * w[t];
    }
    out[x] = (r >> result_shift) << 16 | (g >> result_shift) << 8 | b >> result_shift;
  }
}
#endif

// One destination row at a time: mix the source rows of its vertical taps
// into sums per byte across the full source width, then mix those sums
// horizontally. Source rows are read in order, each once per tap.
bool resample_smooth32(Rows<uint32_t> source, Rows<uint32_t> destination)
{
  const int sw = source.width, dw = destination.width;
  AxisFilter across, down;
  if (!make_filter(across, sw, dw, horizontal_one)
      || !make_filter(down, source.height, destination.height, vertical_one))
    return false;
  const size_t lanes = 4 * static_cast<size_t>(sw);
  // One pixel more than the row, always 0: the last pair of taps may reach it.
  auto sums = try_array<std::uint16_t>(lanes + 4);
  if (!sums)
    return false;
  std::uint16_t* sum = sums.get();

  for (int y = 0; y < destination.height; ++y) {
    const uint32_t* wy = down.weights_of(y);
    for (int t = 0; t < down.count[y]; ++t) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(source[down.first[y] + t]);
      const auto weight = static_cast<std::uint16_t>(wy[t]);
      if (t == 0)
        for (size_t k = 0; k < lanes; ++k)
          sum[k] = static_cast<std::uint16_t>(bytes[k] * weight);
      else
        for (size_t k = 0; k < lanes; ++k)
          sum[k] = static_cast<std::uint16_t>(sum[k] + bytes[k] * weight);
    }
    mix_across(sum, across, destination[y], dw);
  }
  return true;
}

// ---- Test patterns ------------------------------------------------------------------

// Writes colour(x, y) to every pixel, row by row; 8-bit images keep the low
// byte (the blue component) as the index.
template <typename Colour>
void fill_by(const SlotPixels& v, Colour colour)
{
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x) {
      const uint32_t c = colour(x, y);
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(v.stride) + x;
      if (v.bits == 8)
        v.pixels8[at] = static_cast<uint8_t>(c);
      else
        v.pixels32[at] = c;
    }
}

// The products below reach 255 times a width, past int for wide images.
int ratio(int64_t numerator, int64_t denominator)
{
  return static_cast<int>(numerator / denominator);
}

void rgb_pattern(const SlotPixels& v)
{
  const int w = v.width, h = v.height;
  fill_by(v, [w, h](int x, int y) {
    return static_cast<uint32_t>(ratio(255 * int64_t{x}, w)) << 16
         | static_cast<uint32_t>(ratio(255 * int64_t{y}, h)) << 8
         | static_cast<uint32_t>(255 - ratio(255 * (int64_t{x} + y), int64_t{w} + h));
  });
}

// Upper half: saturation grows downwards at full value; lower half: value
// falls at full saturation. Hue runs left to right.
void hsv_pattern(const SlotPixels& v)
{
  const int w = v.width, n = v.height / 2;
  // Both halves are n rows tall; a 1-pixel-high image has no upper half to
  // scale by, and drawing nothing beats dividing by zero.
  if (n == 0)
    return;
  fill_by(v, [w, n](int x, int y) {
    const int hue = ratio(359 * int64_t{x}, w);
    if (y < n)
      return QEL_HSVToRGB(255, ratio(255 * int64_t{y}, n), hue);
    return QEL_HSVToRGB(255 - ratio((int64_t{y} - n) * 255, n), 255, hue);
  });
}

// Brightness grows with the distance from the centre; the first chroma value
// is -b (positive in the upper half), the second a (positive to the right).
template <typename Inverse>
void chroma_pattern(const SlotPixels& v, Inverse to_rgb)
{
  const int w = v.width, h = v.height;
  fill_by(v, [w, h, to_rgb](int x, int y) {
    const int a = ratio((int64_t{x} - w / 2) * 255, w);
    const int b = ratio((int64_t{y} - h / 2) * 255, h);
    const int luma = static_cast<int>(std::sqrt(5.0 * b * b + 5.0 * a * a));
    return to_rgb(luma, -b, a);
  });
}

// Upper half black to white left to right, lower half the reverse; the
// halves meet at row H / 2, so a 1-pixel-high image shows only the lower one.
void grey_pattern(const SlotPixels& v)
{
  const int w = v.width, middle = v.height / 2;
  fill_by(v, [w, middle](int x, int y) {
    const uint32_t g = static_cast<uint32_t>(ratio(255 * int64_t{x}, w));
    return (y < middle ? g : 255 - g) * 0x010101u;
  });
}

} // namespace

bool allocate_pixels(int width, int height, int bits, PixelBuffer* out)
{
  if (!out || width < 1 || height < 1 || (bits != 8 && bits != 32))
    return false;
  // 8-bit rows are padded to 4 bytes. Check the size before allocating:
  // width x height x 4 wraps in 32 bits long before memory runs out.
  const int64_t stride_bytes = bits == 8 ? (int64_t{width} + 3) / 4 * 4 : int64_t{width} * 4;
  if (stride_bytes > max_buffer_bytes / height)
    return false;
  const size_t words = static_cast<size_t>((stride_bytes * height + 3) / 4);
  auto storage = try_array<uint32_t>(words);
  if (!storage)
    return false;
  out->view = SlotPixels{};
  out->view.pixels32 = storage.get();
  out->view.pixels8 = reinterpret_cast<uint8_t*>(storage.get());
  out->view.width = width;
  out->view.height = height;
  out->view.stride = static_cast<int>(bits == 8 ? stride_bytes : width);
  out->view.bits = bits;
  out->storage = std::move(storage);
  return true;
}

bool copy_pixels(const SlotPixels& source, const SlotPixels& destination)
{
  if (!separate_same_depth(source, destination) || source.width != destination.width
      || source.height != destination.height)
    return false;
  by_depth(source, destination, [](auto from, auto to) {
    for (int y = 0; y < from.height; ++y)
      std::memcpy(to[y], from[y], static_cast<size_t>(from.width) * sizeof *from[y]);
  });
  return true;
}

// Row by row: the part of each row that lies inside the source is copied,
// the rest cleared. Positions are summed in 64 bits, so a block far outside
// (the box tool reports whatever the mouse gave) reads as zeros, not wrapped.
bool read_block(const SlotPixels& source, int x0, int y0, const SlotPixels& destination)
{
  if (!separate_same_depth(source, destination))
    return false;
  const int64_t left = std::clamp<int64_t>(x0, 0, source.width);
  const int64_t right = std::clamp<int64_t>(int64_t{x0} + destination.width, 0, source.width);
  by_depth(source, destination, [&](auto from, auto to) {
    using T = std::remove_reference_t<decltype(*to[0])>;
    for (int j = 0; j < to.height; ++j) {
      T* out = to[j];
      std::fill(out, out + to.width, T{0});
      const int64_t y = int64_t{y0} + j;
      if (y >= 0 && y < from.height && left < right)
        std::copy(from[static_cast<int>(y)] + left, from[static_cast<int>(y)] + right, out + (left - x0));
    }
  });
  return true;
}

// Only the colour bits: the top byte of a 32-bit word carries no colour and
// stays as it was, as with the XOR pixel writer.
void invert_pixels(const SlotPixels& image)
{
  if (!usable(image))
    return;
  by_depth(image, image, [](auto rows, auto) {
    const auto mask = sizeof *rows[0] == 4 ? 0xFFFFFFu : 0xFFu;
    for (int y = 0; y < rows.height; ++y) {
      auto* row = rows[y];
      for (int x = 0; x < rows.width; ++x)
        row[x] ^= mask;
    }
  });
}

void flip_horizontal(const SlotPixels& image)
{
  if (!usable(image))
    return;
  by_depth(image, image, [](auto rows, auto) {
    for (int y = 0; y < rows.height; ++y)
      std::reverse(rows[y], rows[y] + rows.width);
  });
}

void flip_vertical(const SlotPixels& image)
{
  if (!usable(image))
    return;
  by_depth(image, image, [](auto rows, auto) {
    for (int top = 0, bottom = rows.height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(rows[top], rows[top] + rows.width, rows[bottom]);
  });
}

bool rotate_clockwise(const SlotPixels& source, const SlotPixels& destination)
{
  return rotate<true>(source, destination);
}

bool rotate_counter_clockwise(const SlotPixels& source, const SlotPixels& destination)
{
  return rotate<false>(source, destination);
}

// Nearest, halves rounded up; an image never shrinks below one pixel.
int scaled_size(int size, int per_mille)
{
  const int64_t scaled = (int64_t{size} * per_mille + 500) / 1000;
  return static_cast<int>(std::clamp<int64_t>(scaled, 1, INT32_MAX));
}

bool resample_nearest(const SlotPixels& source, const SlotPixels& destination)
{
  if (!separate_same_depth(source, destination))
    return false;
  auto columns = try_array<int>(static_cast<size_t>(destination.width));
  if (!columns)
    return false;
  for (int x = 0; x < destination.width; ++x)
    columns[x] = nearest_source(x, source.width, destination.width);
  by_depth(source, destination, [&columns](auto from, auto to) {
    for (int y = 0; y < to.height; ++y) {
      const auto* in = from[nearest_source(y, from.height, to.height)];
      auto* out = to[y];
      for (int x = 0; x < to.width; ++x)
        out[x] = in[columns[x]];
    }
  });
  return true;
}

bool resample_smooth(const SlotPixels& source, const SlotPixels& destination)
{
  if (!separate_same_depth(source, destination))
    return false;
  if (source.bits == 8)
    return resample_nearest(source, destination);
  return resample_smooth32(rows<uint32_t>(source), rows<uint32_t>(destination));
}

void draw_test_pattern(const SlotPixels& image, TestPattern pattern)
{
  if (!usable(image))
    return;
  switch (pattern) {
  case TestPattern::rgb: rgb_pattern(image); break;
  case TestPattern::hsv: hsv_pattern(image); break;
  case TestPattern::ycrcb: chroma_pattern(image, ycrcb_to_rgb); break;
  case TestPattern::yuv:
    chroma_pattern(image, [](int y, int v, int u) { return yuv_to_rgb(y, u, v); });
    break;
  case TestPattern::yiq: chroma_pattern(image, yiq_to_rgb); break;
  case TestPattern::grey: grey_pattern(image); break;
  }
}

void grey_ramp_palette(std::uint32_t entries[256])
{
  for (uint32_t i = 0; i < 256; ++i)
    entries[i] = i * 0x010101u;
}
