// The edge search's placement sums in AVX2: the SSE2 form's scheme (see edge_scores.cpp) with
// eight placements to a register, a row of 32 in four registers. Compiled with -mavx2 and
// called only on processors that have it.
#include <immintrin.h>

#include "spans/edge_scores.h"

namespace zunkhost {

void EdgeScoresAvx2(const int16_t* pairs,
                    ptrdiff_t stride,
                    const EdgePoint* points,
                    size_t count,
                    int32_t pw,
                    int32_t ph,
                    int32_t* sums) {
  static_assert(kEdgeScoreLanes == 32, "four registers of eight sums");
  for (int32_t r = 0; r < ph; ++r) {
    __m256i a0 = _mm256_setzero_si256(), a1 = a0, a2 = a0, a3 = a0;
    for (size_t k = 0; k < count; ++k) {
      const EdgePoint& p = points[k];
      const __m256i n = _mm256_set1_epi32(static_cast<int32_t>(
          static_cast<uint32_t>(static_cast<uint16_t>(p.nx)) |
          (static_cast<uint32_t>(static_cast<uint16_t>(p.ny)) << 16)));
      const __m256i* g =
          reinterpret_cast<const __m256i*>(pairs + ((p.y + r) * stride + p.x) * 2);
      a0 = _mm256_add_epi32(a0, _mm256_abs_epi32(_mm256_madd_epi16(_mm256_loadu_si256(g + 0), n)));
      a1 = _mm256_add_epi32(a1, _mm256_abs_epi32(_mm256_madd_epi16(_mm256_loadu_si256(g + 1), n)));
      a2 = _mm256_add_epi32(a2, _mm256_abs_epi32(_mm256_madd_epi16(_mm256_loadu_si256(g + 2), n)));
      a3 = _mm256_add_epi32(a3, _mm256_abs_epi32(_mm256_madd_epi16(_mm256_loadu_si256(g + 3), n)));
    }
    alignas(32) int32_t row[kEdgeScoreLanes];
    __m256i* out = reinterpret_cast<__m256i*>(row);
    _mm256_store_si256(out + 0, a0);
    _mm256_store_si256(out + 1, a1);
    _mm256_store_si256(out + 2, a2);
    _mm256_store_si256(out + 3, a3);
    for (int32_t c = 0; c < pw; ++c)
      sums[r * pw + c] = row[c];
  }
}

}  // namespace zunkhost
