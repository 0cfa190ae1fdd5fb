// SSE2 colour blend row loop: 48 bytes (three vectors, one whole pattern) per step, each
// byte widened to a 16-bit lane and moved toward its target by the high half of
// (16 (t - d)) * (16 w); the tail goes to the reference.
#include <emmintrin.h>

#include "kernels/colour_blend.h"

namespace zunk {
namespace {

[[gnu::always_inline]] inline __m128i Mix16(__m128i d, __m128i t, __m128i w16) {
  return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(t, d), 4), w16));
}

[[gnu::always_inline]] inline __m128i Mix8(__m128i d, __m128i tLo, __m128i tHi, __m128i w16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = Mix16(_mm_unpacklo_epi8(d, zero), tLo, w16);
  const __m128i hi = Mix16(_mm_unpackhi_epi8(d, zero), tHi, w16);
  return _mm_packus_epi16(lo, hi);
}

void ColourBytes(uint8_t* bytes, int32_t count, const uint8_t* pattern, int32_t weight) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i w16 = _mm_set1_epi16(static_cast<short>(weight << 4));
  __m128i t[6];
  for (int k = 0; k < 3; ++k) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + 16 * k));
    t[2 * k] = _mm_unpacklo_epi8(p, zero);
    t[2 * k + 1] = _mm_unpackhi_epi8(p, zero);
  }
  int32_t i = 0;
  for (; i + kColourPatternBytes <= count; i += kColourPatternBytes) {
    for (int k = 0; k < 3; ++k) {
      __m128i* p = reinterpret_cast<__m128i*>(bytes + i + 16 * k);
      _mm_storeu_si128(p, Mix8(_mm_loadu_si128(p), t[2 * k], t[2 * k + 1], w16));
    }
  }
  ref::ColourBytes(bytes + i, count - i, pattern, weight);
}

}  // namespace

namespace sse2 {

void BlendColourToYuy2(uint32_t colour,
                       int32_t x0,
                       int32_t y0,
                       int32_t x1,
                       int32_t y1,
                       uint8_t* frame,
                       int32_t frameW,
                       int32_t frameH,
                       int32_t level) {
  BlendColourWith(ColourBytes, 0, colour, x0, y0, x1, y1, frame, frameW, frameH, level);
}

void BlendColourToRgb24(uint32_t colour,
                        int32_t x0,
                        int32_t y0,
                        int32_t x1,
                        int32_t y1,
                        uint8_t* frame,
                        int32_t frameW,
                        int32_t frameH,
                        int32_t level) {
  BlendColourWith(ColourBytes, 1, colour, x0, y0, x1, y1, frame, frameW, frameH, level);
}

}  // namespace sse2
}  // namespace zunk
