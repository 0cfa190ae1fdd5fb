// AVX2 placement sums: thirty-two bytes of a row per VPSADBW, masked by the template's plane.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/placement_sad.h"

namespace zunk {
namespace avx2 {

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
  const int32_t chunks = static_cast<int32_t>(ts / 32);
  const ptrdiff_t windowPlane = static_cast<ptrdiff_t>(ww) * th;
  const ptrdiff_t tplPlane = ts * th;
  for (int32_t y = 0; y < th; ++y) {
    const uint8_t* m = tpl + 3 * tplPlane + y * ts;
    for (int32_t c = 0; c < 3; ++c) {
      const uint8_t* a = window + c * windowPlane + y * static_cast<ptrdiff_t>(ww);
      const uint8_t* t = tpl + c * tplPlane + y * ts;
      for (int32_t k = 0; k < placements; ++k) {
        __m256i acc = _mm256_setzero_si256();
        for (int32_t j = 0; j < chunks; ++j) {
          const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + k + 32 * j));
          const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + 32 * j));
          const __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + 32 * j));
          acc = _mm256_add_epi64(acc, _mm256_sad_epu8(_mm256_and_si256(w, mask), tv));
        }
        __m128i s = _mm_add_epi64(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
        s = _mm_add_epi64(s, _mm_unpackhi_epi64(s, s));
        sums[3 * k + c] += static_cast<uint32_t>(_mm_cvtsi128_si32(s));
      }
    }
  }
}

}  // namespace avx2
}  // namespace zunk
