// SSE2 resampling passes: two destination pixels per step, all channels in 16-bit lanes, one
// multiply per pixel. The intermediate rows hold words 0..255 with X = 0, so the column pass
// compares them with the key word for word.
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/resample.h"

namespace zunk {
namespace {

__m128i Select(__m128i mask, __m128i a, __m128i b) {  // mask ? a : b
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

__m128i Load32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return _mm_cvtsi32_si128(v);
}

// b + floor((a - b) * w / 4096), then the key rule: a keyed sample gives the other one.
__m128i Interpolate(__m128i a, __m128i b, __m128i w, __m128i keyA, __m128i keyB) {
  const __m128i mixed =
      _mm_add_epi16(b, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(a, b), 4), w));
  return Select(keyB, a, Select(keyA, b, mixed));
}

__m128i Weights(const ResampleStep& s0, const ResampleStep& s1) {
  return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s0.weight)),
                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s1.weight)));
}

void RowsSse2(const uint8_t* src,
              int32_t srcW,
              int32_t srcH,
              WorkPixel* tmp,
              int32_t dstW,
              const ResampleStep* steps,
              uint32_t colorKey) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bgr = _mm_set1_epi32(0x00FFFFFF);
  const __m128i key = _mm_set1_epi32(static_cast<int>(KeyBgrx(colorKey)));
  for (int32_t y = 0; y < srcH; ++y) {
    const uint8_t* p = src + static_cast<ptrdiff_t>(y) * srcW * 4;
    WorkPixel* out = tmp + static_cast<ptrdiff_t>(y) * dstW;
    int32_t i = 0;
    for (; i < dstW; i += 2) {
      const bool pair = i + 1 < dstW;
      const uint8_t* p0 = p + steps[i].advance;
      const uint8_t* p1 = pair ? p0 + steps[i + 1].advance : p0;
      p = p1;
      const ResampleStep& s1 = steps[pair ? i + 1 : i];
      const __m128i a = _mm_and_si128(_mm_unpacklo_epi32(Load32(p0), Load32(p1)), bgr);
      const __m128i b =
          _mm_and_si128(_mm_unpacklo_epi32(Load32(p0 + steps[i].next), Load32(p1 + s1.next)), bgr);
      const __m128i keyA = _mm_cmpeq_epi32(a, key), keyB = _mm_cmpeq_epi32(b, key);
      const __m128i r =
          Interpolate(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), Weights(steps[i], s1),
                      _mm_unpacklo_epi32(keyA, keyA), _mm_unpacklo_epi32(keyB, keyB));
      if (pair) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), r);
      } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), r);
      }
    }
  }
}

// All ones over each work pixel equal to the key in all four words.
__m128i KeyMask(__m128i v, __m128i key) {
  const __m128i eq = _mm_cmpeq_epi32(v, key);
  return _mm_and_si128(eq, _mm_shuffle_epi32(eq, 0xB1));
}

void ColumnsSse2(const WorkPixel* tmp,
                 WorkPixel* dst,
                 int32_t dstW,
                 int32_t dstH,
                 const ResampleStep* steps,
                 uint32_t colorKey) {
  const WorkPixel k = KeyWorkPixel(colorKey);
  const __m128i key = _mm_set_epi16(0, k.r, k.g, k.b, 0, k.r, k.g, k.b);
  const uint8_t* row = reinterpret_cast<const uint8_t*>(tmp);
  for (int32_t j = 0; j < dstH; ++j) {
    row += steps[j].advance;
    const WorkPixel* a = reinterpret_cast<const WorkPixel*>(row);
    const WorkPixel* b = reinterpret_cast<const WorkPixel*>(row + steps[j].next);
    const __m128i w = Weights(steps[j], steps[j]);
    WorkPixel* out = dst + static_cast<ptrdiff_t>(j) * dstW;
    int32_t i = 0;
    for (; i + 2 <= dstW; i += 2) {
      const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
      const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                       Interpolate(av, bv, w, KeyMask(av, key), KeyMask(bv, key)));
    }
    if (i < dstW) {
      const __m128i av = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i));
      const __m128i bv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i),
                       Interpolate(av, bv, w, KeyMask(av, key), KeyMask(bv, key)));
    }
  }
}

}  // namespace

namespace sse2 {

void ResampleBgrxToWork(const uint8_t* src,
                        int32_t srcW,
                        int32_t srcH,
                        WorkPixel* dst,
                        int32_t dstW,
                        int32_t dstH,
                        WorkPixel* tmp,
                        ResampleStep* colSteps,
                        ResampleStep* rowSteps,
                        uint32_t colorKey) {
  ResampleBgrxToWorkWith(RowsSse2, ColumnsSse2, src, srcW, srcH, dst, dstW, dstH, tmp, colSteps,
                         rowSteps, colorKey);
}

}  // namespace sse2
}  // namespace zunk
