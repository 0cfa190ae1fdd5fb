// SSE2 placement sums: sixteen bytes of a row per PSADBW, masked by the template's plane.
// Every load is unaligned: callers owe the planes no alignment.
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/placement_sad.h"

namespace zunk {
namespace sse2 {

void PlacementSadRow(const uint8_t* window,
                     int32_t ww,
                     const uint8_t* tpl,
                     int32_t tw,
                     int32_t th,
                     int32_t placements,
                     uint32_t* sums) {
  if (placements <= 0)
    return;
  std::memset(sums, 0, sizeof(uint32_t) * 3 * placements);
  const ptrdiff_t ts = SadTemplateStride(tw);
  const int32_t chunks = static_cast<int32_t>(ts / 16);
  const ptrdiff_t windowPlane = static_cast<ptrdiff_t>(ww) * th;
  const ptrdiff_t tplPlane = ts * th;
  for (int32_t y = 0; y < th; ++y) {
    const uint8_t* m = tpl + 3 * tplPlane + y * ts;
    for (int32_t c = 0; c < 3; ++c) {
      const uint8_t* a = window + c * windowPlane + y * static_cast<ptrdiff_t>(ww);
      const uint8_t* t = tpl + c * tplPlane + y * ts;
      for (int32_t k = 0; k < placements; ++k) {
        __m128i acc = _mm_setzero_si128();
        for (int32_t j = 0; j < chunks; ++j) {
          const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + k + 16 * j));
          const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + 16 * j));
          const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 16 * j));
          acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_and_si128(w, mask), tv));
        }
        acc = _mm_add_epi64(acc, _mm_unpackhi_epi64(acc, acc));
        sums[3 * k + c] += static_cast<uint32_t>(_mm_cvtsi128_si32(acc));
      }
    }
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
