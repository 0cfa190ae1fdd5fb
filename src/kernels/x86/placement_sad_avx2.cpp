// AVX2 placement sums: thirty-two bytes of a row per VPSADBW, masked by the template's plane,
// in blocks of four placements whose sums stay in registers over all rows of a channel (see
// the SSE2 file); and the template's byte planes from its words.
#include <immintrin.h>

#include <cstddef>

#include "kernels/placement_sad.h"

namespace zunk {
namespace avx2 {
namespace {

uint32_t Total(__m256i acc) {
  __m128i s = _mm_add_epi64(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_add_epi64(s, _mm_unpackhi_epi64(s, s))));
}

template <int n>
void BlockSums(const uint8_t* a,
               ptrdiff_t ww,
               const uint8_t* t,
               const uint8_t* m,
               ptrdiff_t ts,
               int32_t th,
               uint32_t* sums) {
  __m256i acc0 = _mm256_setzero_si256(), acc1 = acc0, acc2 = acc0, acc3 = acc0;
  for (int32_t y = 0; y < th; ++y, a += ww, t += ts, m += ts) {
    for (ptrdiff_t x = 0; x < ts; x += 32) {
      __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + x));
      __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + x));
      // Held in registers: left to itself the compiler loads them again for every placement.
      __asm__("" : "+x"(mask), "+x"(tv));
      const __m256i* w = reinterpret_cast<const __m256i*>(a + x);
      acc0 = _mm256_add_epi64(acc0,
                              _mm256_sad_epu8(_mm256_and_si256(_mm256_loadu_si256(w), mask), tv));
      if (n == 1)
        continue;
      w = reinterpret_cast<const __m256i*>(a + x + 1);
      acc1 = _mm256_add_epi64(acc1,
                              _mm256_sad_epu8(_mm256_and_si256(_mm256_loadu_si256(w), mask), tv));
      w = reinterpret_cast<const __m256i*>(a + x + 2);
      acc2 = _mm256_add_epi64(acc2,
                              _mm256_sad_epu8(_mm256_and_si256(_mm256_loadu_si256(w), mask), tv));
      w = reinterpret_cast<const __m256i*>(a + x + 3);
      acc3 = _mm256_add_epi64(acc3,
                              _mm256_sad_epu8(_mm256_and_si256(_mm256_loadu_si256(w), mask), tv));
    }
  }
  sums[0] = Total(acc0);
  if (n == 1)
    return;
  sums[3] = Total(acc1);
  sums[6] = Total(acc2);
  sums[9] = Total(acc3);
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
    for (; k + 4 <= placements; k += 4)
      BlockSums<4>(a + k, ww, t, mask, ts, th, sums + 3 * k + c);
    for (; k < placements; ++k)
      BlockSums<1>(a + k, ww, t, mask, ts, th, sums + 3 * k + c);
  }
}

// Thirty-two words at a time, as the SSE2 loop; the packing works per 128-bit lane, so the
// quadwords are put back in order before the store.
void TemplateWordsToBytes(const int16_t* words, int32_t count, int32_t grey, uint8_t* bytes) {
  const __m256i g = _mm256_set1_epi16(static_cast<int16_t>(grey));
  int32_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i* w = reinterpret_cast<const __m256i*>(words + i);
    const __m256i lo = _mm256_adds_epi16(_mm256_loadu_si256(w), g);
    const __m256i hi = _mm256_adds_epi16(_mm256_loadu_si256(w + 1), g);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes + i),
                        _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xD8));
  }
  ref::TemplateWordsToBytes(words + i, count - i, grey, bytes + i);
}

}  // namespace avx2
}  // namespace zunk
