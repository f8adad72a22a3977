// The chart's inner loops: blending a column's sample with its neighbour's,
// picking each column's view from the work row, and packing the samples of
// a row group into the pixels of its three rows. SSE2 where the processor
// has it (every x86-64 does), with plain code giving the same bits for the
// rest; the scalar conversions every path shares are here too.
#include "lenticular/chart_kernels.h"

#include <algorithm>
#include <climits>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "lenticular/chart.h"

int to_int(double value)
{
  // Both comparisons fail for NaN too.
  if (value > -2147483649.0 && value < 2147483648.0)
    return static_cast<int>(value);
  return INT_MIN;
}

std::uint32_t BlendColour(double f, std::uint32_t new_colour, std::uint32_t old_colour)
{
  const double w = 1 - f;
  auto channel = [&](int shift) {
    const double n = (new_colour >> shift) & 255u;
    const double o = (old_colour >> shift) & 255u;
    return static_cast<std::uint32_t>(to_int(n * w + o * f));
  };
  // Unsigned arithmetic: with f outside 0..1 (negative pitches) a channel
  // leaves 0..255, and the sum wraps as 32-bit words do instead of overflowing.
  return channel(16) * 65536u + channel(8) * 256u + channel(0);
}

namespace {

// BlendColour with two channels per register. The truncating conversion
// gives 0x80000000 for NaN and for values outside int, just as to_int does,
// and the operations are the same ones in the same order.
inline std::uint32_t blend_colour(double f, std::uint32_t new_colour, std::uint32_t old_colour)
{
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  // Channels as int lanes: blue, green, red, top byte.
  auto lanes = [&](std::uint32_t c) {
    const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(c));
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
  };
  const __m128i n = lanes(new_colour);
  const __m128i o = lanes(old_colour);
  const __m128d w = _mm_set1_pd(1 - f);
  const __m128d fv = _mm_set1_pd(f);
  const __m128d n_bg = _mm_cvtepi32_pd(n);
  const __m128d o_bg = _mm_cvtepi32_pd(o);
  const __m128d n_r = _mm_cvtepi32_pd(_mm_srli_si128(n, 8));
  const __m128d o_r = _mm_cvtepi32_pd(_mm_srli_si128(o, 8));
  const __m128i bg = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(n_bg, w), _mm_mul_pd(o_bg, fv)));
  const __m128i r = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(n_r, w), _mm_mul_pd(o_r, fv)));
  const auto blue = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bg));
  const auto green = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bg, 4)));
  const auto red = static_cast<std::uint32_t>(_mm_cvtsi128_si32(r));
  return red * 65536u + green * 256u + blue;
#else
  return BlendColour(f, new_colour, old_colour);
#endif
}

#ifdef __SSE2__
// Lanes imm[0..1] of a, then lanes imm[2..3] of b (two bits each).
template <int imm> __m128i shuffle(__m128i a, __m128i b)
{
  return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), imm));
}
#endif

} // namespace

// The whole pixels from x_from to x_to that all three rows of a row group
// share, four at a time: row t's pixel x starts with colour[3x - first - t],
// so twelve consecutive packed pixels hold four pixels of each row, every
// third one. rows[t] is row t of the group. Returns where it stopped.
std::int64_t write_row_group(std::uint32_t* const rows[3], std::int64_t first,
                             const std::uint32_t* colour, std::int64_t x_from, std::int64_t x_to)
{
  std::int64_t x = x_from;
#ifdef __SSE2__
  const __m128i red = _mm_set1_epi32(0xFF0000);
  const __m128i green = _mm_set1_epi32(0x00FF00);
  const __m128i blue = _mm_set1_epi32(0x0000FF);
  // The four pixels that start with c[0], c[1], c[2], c[3].
  auto pack4 = [&](const std::uint32_t* c) {
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c));
    const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 1));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 2));
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(r, red), _mm_and_si128(g, green)),
                        _mm_and_si128(b, blue));
  };
  for (; x + 4 <= x_to; x += 4) {
    // em is the pixel that starts with colour[3x - first - 2 + m]; row 2
    // takes e0 e3 e6 e9, row 1 e1 e4 e7 e10, row 0 e2 e5 e8 e11.
    const std::uint32_t* e = colour + (3 * x - first - 2);
    const __m128i v0 = pack4(e);       // e0 e1 e2 e3
    const __m128i v1 = pack4(e + 4);   // e4 e5 e6 e7
    const __m128i v2 = pack4(e + 8);   // e8 e9 e10 e11
    const __m128i e6_e9 = shuffle<_MM_SHUFFLE(1, 1, 2, 2)>(v1, v2);
    const __m128i r2 = shuffle<_MM_SHUFFLE(2, 0, 3, 0)>(v0, e6_e9);
    const __m128i e1_e4 = shuffle<_MM_SHUFFLE(0, 0, 1, 1)>(v0, v1);
    const __m128i e7_e10 = shuffle<_MM_SHUFFLE(2, 2, 3, 3)>(v1, v2);
    const __m128i r1 = shuffle<_MM_SHUFFLE(2, 0, 2, 0)>(e1_e4, e7_e10);
    const __m128i e2_e5 = shuffle<_MM_SHUFFLE(1, 1, 2, 2)>(v0, v1);
    const __m128i r0 = shuffle<_MM_SHUFFLE(3, 0, 2, 0)>(e2_e5, v2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[0] + x), r0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[1] + x), r1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[2] + x), r2);
  }
#endif
  for (; x < x_to; ++x)
    for (int t = 0; t < 3; ++t)
      rows[t][x] = packed(colour + (3 * x - first - t));
  return x;
}

// Blends the listed columns of colour. From the right, so that every
// blend still sees its left neighbour's own sample even where the neighbour
// is blended too; two at a time, both read before either is written.
void blend_columns(const BlendedColumn* blends, std::size_t count, std::uint32_t* colour)
{
  std::size_t b = count;
#ifdef __SSE2__
  const __m128i byte = _mm_set1_epi32(255);
  for (; b >= 2; b -= 2) {
    const BlendedColumn& hi = blends[b - 1];
    const BlendedColumn& lo = blends[b - 2];
    // Lanes: new and old colour of the lower blend, then of the higher.
    const __m128i colours = _mm_set_epi32(static_cast<int>(colour[hi.index - 1]),
                                          static_cast<int>(colour[lo.index - 1]),
                                          static_cast<int>(colour[hi.index]),
                                          static_cast<int>(colour[lo.index]));
    const __m128d w = _mm_set_pd(1 - hi.f, 1 - lo.f);
    const __m128d f = _mm_set_pd(hi.f, lo.f);
    // One channel of both blends: new x (1 - f) + old x f, truncated as
    // to_int does (0x80000000 for NaN and values outside int).
    auto channel = [&](int shift) {
      const __m128i c = _mm_and_si128(_mm_srl_epi32(colours, _mm_cvtsi32_si128(shift)), byte);
      const __m128d n = _mm_cvtepi32_pd(c);
      const __m128d o = _mm_cvtepi32_pd(_mm_srli_si128(c, 8));
      return _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(n, w), _mm_mul_pd(o, f)));
    };
    const __m128i red = channel(16);
    const __m128i green = channel(8);
    const __m128i blue = channel(0);
    // red x 65536 + green x 256 + blue, wrapping as 32-bit words do.
    const __m128i sum =
        _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(red, 16), _mm_slli_epi32(green, 8)), blue);
    colour[lo.index] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum));
    colour[hi.index] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sum, 4)));
  }
#endif
  for (; b >= 1; --b) {
    const BlendedColumn& one = blends[b - 1];
    colour[one.index] = blend_colour(one.f, colour[one.index], colour[one.index - 1]);
  }
}

// With few views, the samples of four columns at a time: each view's four
// consecutive work columns, kept where the column shows that view. Works on
// columns 0..limit-1 that read inside the row, as far as every view's reads
// stay inside too; returns where it stopped.
std::size_t select_views(const std::uint32_t* row, std::int64_t width, std::size_t limit,
                         std::uint32_t* colour, const int* view, int view_count,
                         int picture_columns)
{
#ifdef __SSE2__
  constexpr int max_views = 4;
  if (view_count > max_views)
    return 0;
  const std::uint32_t* start[max_views];
  __m128i view_id[max_views];
  int active = 0;
  std::int64_t end = static_cast<std::int64_t>(limit);
  for (int v = 0; v < view_count; ++v) {
    const std::int64_t base = first_band_column + std::int64_t{v} * picture_columns;
    // A view whose first read is outside the row reads black everywhere.
    if (base >= width)
      continue;
    end = std::min(end, width - base);
    start[active] = row + base;
    view_id[active] = _mm_set1_epi32(v);
    ++active;
  }
  // The loop with the number of views fixed, so that it is unrolled.
  auto select = [&](auto views) {
    std::size_t k = 0;
    for (; static_cast<std::int64_t>(k) + 4 <= end; k += 4) {
      const __m128i shown = _mm_loadu_si128(reinterpret_cast<const __m128i*>(view + k));
      __m128i sample = _mm_setzero_si128();
      for (int a = 0; a < decltype(views)::value; ++a) {
        const __m128i mine = _mm_cmpeq_epi32(shown, view_id[a]);
        const __m128i read = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start[a] + k));
        sample = _mm_or_si128(sample, _mm_and_si128(read, mine));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(colour + k), sample);
    }
    return k;
  };
  switch (active) {
  case 1: return select(std::integral_constant<int, 1>{});
  case 2: return select(std::integral_constant<int, 2>{});
  case 3: return select(std::integral_constant<int, 3>{});
  case 4: return select(std::integral_constant<int, 4>{});
  default: return 0;
  }
#else
  (void)row;
  (void)width;
  (void)limit;
  (void)colour;
  (void)view;
  (void)view_count;
  (void)picture_columns;
  return 0;
#endif
}

