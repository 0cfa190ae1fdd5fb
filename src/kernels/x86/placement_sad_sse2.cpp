// SSE2 placement sums: sixteen bytes of a row per PSADBW, masked by the template's plane.
// Every load is unaligned: callers owe the planes no alignment.
//
// Placements go in blocks of three, whose sums stay in registers over all rows of a channel:
// each template and mask load serves three PSADBW, and a sum is reduced and stored once per
// block and channel, not once per row. Three sums, the template, the mask and one window load
// leave a spare of the eight vector registers of a 32-bit build, which SSE2's two-operand
// forms need (with four sums the compiler spills).
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/placement_sad.h"

namespace zunk {
namespace sse2 {
namespace {

uint32_t Total(__m128i acc) {
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_add_epi64(acc, _mm_unpackhi_epi64(acc, acc))));
}

// The sums of `n` (1 or 3) neighbouring placements of one channel, the first at `a`, into
// sums[0], sums[3], ...; `t` and `m` are the channel's template plane and the mask plane.
template <int n>
void BlockSums(const uint8_t* a,
               ptrdiff_t ww,
               const uint8_t* t,
               const uint8_t* m,
               ptrdiff_t ts,
               int32_t th,
               uint32_t* sums) {
  __m128i acc0 = _mm_setzero_si128(), acc1 = acc0, acc2 = acc0;
  for (int32_t y = 0; y < th; ++y, a += ww, t += ts, m += ts) {
    for (ptrdiff_t x = 0; x < ts; x += 16) {
      __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + x));
      __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + x));
      // Held in registers: left to itself the compiler loads them again for every placement.
      __asm__("" : "+x"(mask), "+x"(tv));
      const __m128i* w = reinterpret_cast<const __m128i*>(a + x);
      acc0 = _mm_add_epi64(acc0, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(w), mask), tv));
      if (n == 1)
        continue;
      w = reinterpret_cast<const __m128i*>(a + x + 1);
      acc1 = _mm_add_epi64(acc1, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(w), mask), tv));
      w = reinterpret_cast<const __m128i*>(a + x + 2);
      acc2 = _mm_add_epi64(acc2, _mm_sad_epu8(_mm_and_si128(_mm_loadu_si128(w), mask), tv));
    }
  }
  sums[0] = Total(acc0);
  if (n == 1)
    return;
  sums[3] = Total(acc1);
  sums[6] = Total(acc2);
}

}  // namespace

void PlacementSadRow(const uint8_t* window,
                     int32_t ww,
                     const uint8_t* tpl,
                     int32_t tw,
                     int32_t th,
                     int32_t placements,
                     uint32_t* sums) {
  const ptrdiff_t ts = SadTemplateStride(tw);
  const ptrdiff_t windowPlane = static_cast<ptrdiff_t>(ww) * th;
  const ptrdiff_t tplPlane = ts * th;
  const uint8_t* mask = tpl + 3 * tplPlane;
  for (int32_t c = 0; c < 3; ++c) {
    const uint8_t* a = window + c * windowPlane;
    const uint8_t* t = tpl + c * tplPlane;
    int32_t k = 0;
    for (; k + 3 <= placements; k += 3)
      BlockSums<3>(a + k, ww, t, mask, ts, th, sums + 3 * k + c);
    for (; k < placements; ++k)
      BlockSums<1>(a + k, ww, t, mask, ts, th, sums + 3 * k + c);
  }
}

}  // namespace sse2
}  // namespace zunk

namespace zunk {
namespace sse2 {

// Eight pixels at a time: the key test over all four words of each pixel, the grey added
// under key pixels, words packed to bytes with saturation and the B, G, R bytes gathered
// into their planes by three rounds of byte unpacking.
bool WindowBytePlanes(const WorkPixel* a,
                      int32_t aW,
                      int32_t w,
                      int32_t h,
                      uint32_t colorKey,
                      int32_t grey,
                      uint8_t* planes) {
  const WorkPixel key = KeyWorkPixel(colorKey);
  const bool keyFits = key.b + grey <= 255 && key.g + grey <= 255 && key.r + grey <= 255;
  const __m128i keyv = _mm_set_epi16(key.x, key.r, key.g, key.b, key.x, key.r, key.g, key.b);
  const int16_t gw = static_cast<int16_t>(grey);
  const __m128i greyv = _mm_set_epi16(0, gw, gw, gw, 0, gw, gw, gw);
  const ptrdiff_t plane = static_cast<ptrdiff_t>(w) * h;
  __m128i anyKey = _mm_setzero_si128();
  auto adjust = [&](__m128i p) {
    __m128i e = _mm_cmpeq_epi16(p, keyv);
    e = _mm_and_si128(e, _mm_shufflelo_epi16(_mm_shufflehi_epi16(e, 0xB1), 0xB1));
    e = _mm_and_si128(e, _mm_shuffle_epi32(e, 0xB1));
    anyKey = _mm_or_si128(anyKey, e);
    return _mm_add_epi16(p, _mm_and_si128(e, greyv));
  };
  for (int32_t y = 0; y < h; ++y) {
    const WorkPixel* row = a + static_cast<ptrdiff_t>(y) * aW;
    uint8_t* b = planes + static_cast<ptrdiff_t>(y) * w;
    uint8_t* g = b + plane;
    uint8_t* r = g + plane;
    int32_t x = 0;
    for (; x + 8 <= w; x += 8) {
      const __m128i* src = reinterpret_cast<const __m128i*>(row + x);
      const __m128i p0 = adjust(_mm_loadu_si128(src));
      const __m128i p1 = adjust(_mm_loadu_si128(src + 1));
      const __m128i p2 = adjust(_mm_loadu_si128(src + 2));
      const __m128i p3 = adjust(_mm_loadu_si128(src + 3));
      const __m128i lo = _mm_packus_epi16(p0, p1);  // pixels 0..3 as B, G, R, X bytes
      const __m128i hi = _mm_packus_epi16(p2, p3);  // pixels 4..7
      const __m128i u0 = _mm_unpacklo_epi8(lo, hi);
      const __m128i u1 = _mm_unpackhi_epi8(lo, hi);
      const __m128i v0 = _mm_unpacklo_epi8(u0, u1);
      const __m128i v1 = _mm_unpackhi_epi8(u0, u1);
      const __m128i bg = _mm_unpacklo_epi8(v0, v1);  // B0..B7, G0..G7
      const __m128i rx = _mm_unpackhi_epi8(v0, v1);  // R0..R7, X0..X7
      _mm_storel_epi64(reinterpret_cast<__m128i*>(b + x), bg);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(g + x), _mm_unpackhi_epi64(bg, bg));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(r + x), rx);
    }
    for (; x < w; ++x) {
      const WorkPixel& p = row[x];
      const bool keyed = p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x;
      if (keyed && !keyFits)
        return false;
      const int32_t add = keyed ? grey : 0;
      const int32_t words[3] = {p.b + add, p.g + add, p.r + add};
      b[x] = static_cast<uint8_t>(words[0] < 0 ? 0 : words[0] > 255 ? 255 : words[0]);
      g[x] = static_cast<uint8_t>(words[1] < 0 ? 0 : words[1] > 255 ? 255 : words[1]);
      r[x] = static_cast<uint8_t>(words[2] < 0 ? 0 : words[2] > 255 ? 255 : words[2]);
    }
  }
  return keyFits || _mm_movemask_epi8(anyKey) == 0;
}

}  // namespace sse2
}  // namespace zunk

namespace zunk {
namespace sse2 {
namespace {

// The template's pixels from x to the row's end, fewer than a group of eight, one at a time
// as the reference forms them.
void TemplateTail(const WorkPixel* row,
                  int32_t x,
                  int32_t tw,
                  const WorkPixel& key,
                  int32_t grey,
                  uint8_t* const planes[4],
                  uint32_t e[3],
                  uint32_t* keyed) {
  for (; x < tw; ++x) {
    const WorkPixel& p = row[x];
    planes[0][x] = planes[1][x] = planes[2][x] = planes[3][x] = 0;
    if (p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x) {
      ++*keyed;
      continue;
    }
    const int32_t words[3] = {p.b, p.g, p.r};
    for (int c = 0; c < 3; ++c) {
      const int32_t u = words[c] + grey;
      const int32_t clamped = u < 0 ? 0 : u > 255 ? 255 : u;
      planes[c][x] = static_cast<uint8_t>(clamped);
      e[c] += static_cast<uint32_t>(u > clamped ? u - clamped : clamped - u);
    }
    planes[3][x] = 0xFF;
  }
}

}  // namespace

// Eight template pixels at a time: the key test over all four words, u = word + grey,
// packed to bytes with unsigned saturation (the clamp), zero under key pixels, the mask in
// the X byte, and the part of |u - clamp(u)| beyond the byte range summed per channel.
void TemplateBytePlanes(const WorkPixel* tpl,
                        int32_t tw,
                        int32_t th,
                        uint32_t colorKey,
                        int32_t grey,
                        uint8_t* planes,
                        uint32_t* excess,
                        uint32_t* counted) {
  const ptrdiff_t ts = SadTemplateStride(tw);
  const ptrdiff_t plane = ts * th;
  const WorkPixel key = KeyWorkPixel(colorKey);
  const __m128i keyv = _mm_set_epi16(key.x, key.r, key.g, key.b, key.x, key.r, key.g, key.b);
  const int16_t gw = static_cast<int16_t>(grey);
  const __m128i greyv = _mm_set_epi16(0, gw, gw, gw, 0, gw, gw, gw);
  const __m128i bgr = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
  const __m128i maskX = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
  const __m128i top = _mm_set1_epi16(255);
  const __m128i zero = _mm_setzero_si128();
  __m128i excessSum = zero;  // 32-bit B, G, R, X
  uint32_t e[3] = {0, 0, 0}, keyed = 0;
  // One vector of two pixels: their bytes-to-be (u, the mask in X, 0 when keyed) and the
  // excess added to `over` in 16-bit lanes; `keys` counts keyed pixels in every lane.
  auto pair = [&](const WorkPixel* p, __m128i* over, __m128i* keys) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i k = _mm_cmpeq_epi16(v, keyv);
    k = _mm_and_si128(k, _mm_shufflelo_epi16(_mm_shufflehi_epi16(k, 0xB1), 0xB1));
    k = _mm_and_si128(k, _mm_shuffle_epi32(k, 0xB1));
    *keys = _mm_sub_epi16(*keys, k);
    const __m128i u = _mm_and_si128(_mm_add_epi16(v, greyv), bgr);
    const __m128i high = _mm_sub_epi16(_mm_max_epi16(u, top), top);
    const __m128i low = _mm_max_epi16(_mm_sub_epi16(zero, u), zero);
    *over = _mm_add_epi16(*over, _mm_andnot_si128(k, _mm_add_epi16(high, low)));
    return _mm_andnot_si128(k, _mm_or_si128(u, maskX));
  };
  for (int32_t y = 0; y < th; ++y) {
    const WorkPixel* row = tpl + static_cast<ptrdiff_t>(y) * tw;
    uint8_t* b = planes + y * ts;
    uint8_t* g = b + plane;
    uint8_t* r = g + plane;
    uint8_t* m = r + plane;
    __m128i keys = zero;
    int32_t x = 0;
    for (; x + 8 <= tw; x += 8) {
      __m128i over = zero;
      const __m128i lo =
          _mm_packus_epi16(pair(row + x, &over, &keys), pair(row + x + 2, &over, &keys));
      const __m128i hi =
          _mm_packus_epi16(pair(row + x + 4, &over, &keys), pair(row + x + 6, &over, &keys));
      excessSum = _mm_add_epi32(
          excessSum, _mm_add_epi32(_mm_unpacklo_epi16(over, zero), _mm_unpackhi_epi16(over, zero)));
      const __m128i u0 = _mm_unpacklo_epi8(lo, hi);
      const __m128i u1 = _mm_unpackhi_epi8(lo, hi);
      const __m128i v0 = _mm_unpacklo_epi8(u0, u1);
      const __m128i v1 = _mm_unpackhi_epi8(u0, u1);
      const __m128i bg = _mm_unpacklo_epi8(v0, v1);  // B0..B7, G0..G7
      const __m128i rm = _mm_unpackhi_epi8(v0, v1);  // R0..R7, mask0..mask7
      _mm_storel_epi64(reinterpret_cast<__m128i*>(b + x), bg);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(g + x), _mm_unpackhi_epi64(bg, bg));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(r + x), rm);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(m + x), _mm_unpackhi_epi64(rm, rm));
    }
    keyed += static_cast<uint32_t>(_mm_cvtsi128_si32(keys) & 0xFFFF) +
             static_cast<uint32_t>(_mm_extract_epi16(keys, 4));
    uint8_t* const rows[4] = {b, g, r, m};
    TemplateTail(row, x, tw, key, grey, rows, e, &keyed);
    for (uint8_t* p : rows)
      std::memset(p + tw, 0, static_cast<size_t>(ts - tw));
  }
  uint32_t lanes[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), excessSum);
  excess[0] = e[0] + lanes[0];
  excess[1] = e[1] + lanes[1];
  excess[2] = e[2] + lanes[2];
  *counted = static_cast<uint32_t>(tw) * static_cast<uint32_t>(th) - keyed;
}

}  // namespace sse2
}  // namespace zunk

namespace zunk {
namespace sse2 {

// Sixteen words at a time: the grey added with signed saturation (which the clamp to a byte
// absorbs), then packed to bytes with unsigned saturation.
void TemplateWordsToBytes(const int16_t* words, int32_t count, int32_t grey, uint8_t* bytes) {
  const __m128i g = _mm_set1_epi16(static_cast<int16_t>(grey));
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i* w = reinterpret_cast<const __m128i*>(words + i);
    const __m128i lo = _mm_adds_epi16(_mm_loadu_si128(w), g);
    const __m128i hi = _mm_adds_epi16(_mm_loadu_si128(w + 1), g);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), _mm_packus_epi16(lo, hi));
  }
  ref::TemplateWordsToBytes(words + i, count - i, grey, bytes + i);
}

}  // namespace sse2
}  // namespace zunk
