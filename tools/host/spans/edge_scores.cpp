// The edge search's placement sums: the scalar reference and the SSE2 form.
//
// The SSE2 form keeps a row of 32 placements' sums in eight registers over all points: per
// point, PMADDWD turns four (gx, gy) pairs and the repeated (nx, ny) into four exact 32-bit
// dot products, whose absolute values are added. A row is stored once, after its last point.
#include "spans/edge_scores.h"

#include <cstdlib>

#include "kernels/kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zunkhost {

void EdgeScoresRef(const int16_t* pairs,
                   ptrdiff_t stride,
                   const EdgePoint* points,
                   size_t count,
                   int32_t pw,
                   int32_t ph,
                   int32_t* sums) {
  for (int32_t k = 0; k < pw * ph; ++k)
    sums[k] = 0;
  // Point by point: for one point and one row of placements the pairs lie side by side.
  for (size_t k = 0; k < count; ++k) {
    const EdgePoint& p = points[k];
    for (int32_t r = 0; r < ph; ++r) {
      const int16_t* g = pairs + ((p.y + r) * stride + p.x) * 2;
      int32_t* row = sums + r * pw;
      for (int32_t c = 0; c < pw; ++c)
        row[c] += std::abs(g[2 * c] * p.nx + g[2 * c + 1] * p.ny);
    }
  }
}

#if defined(__SSE2__)

namespace {

__m128i AddAbs(__m128i acc, __m128i v) {
  const __m128i sign = _mm_srai_epi32(v, 31);
  return _mm_add_epi32(acc, _mm_sub_epi32(_mm_xor_si128(v, sign), sign));
}

}  // namespace

void EdgeScoresSse2(const int16_t* pairs,
                    ptrdiff_t stride,
                    const EdgePoint* points,
                    size_t count,
                    int32_t pw,
                    int32_t ph,
                    int32_t* sums) {
  static_assert(kEdgeScoreLanes == 32, "eight registers of four sums");
  for (int32_t r = 0; r < ph; ++r) {
    __m128i a0 = _mm_setzero_si128(), a1 = a0, a2 = a0, a3 = a0, a4 = a0, a5 = a0, a6 = a0,
            a7 = a0;
    for (size_t k = 0; k < count; ++k) {
      const EdgePoint& p = points[k];
      const __m128i n = _mm_set1_epi32(static_cast<int32_t>(
          static_cast<uint32_t>(static_cast<uint16_t>(p.nx)) |
          (static_cast<uint32_t>(static_cast<uint16_t>(p.ny)) << 16)));
      const __m128i* g = reinterpret_cast<const __m128i*>(pairs + ((p.y + r) * stride + p.x) * 2);
      a0 = AddAbs(a0, _mm_madd_epi16(_mm_loadu_si128(g + 0), n));
      a1 = AddAbs(a1, _mm_madd_epi16(_mm_loadu_si128(g + 1), n));
      a2 = AddAbs(a2, _mm_madd_epi16(_mm_loadu_si128(g + 2), n));
      a3 = AddAbs(a3, _mm_madd_epi16(_mm_loadu_si128(g + 3), n));
      a4 = AddAbs(a4, _mm_madd_epi16(_mm_loadu_si128(g + 4), n));
      a5 = AddAbs(a5, _mm_madd_epi16(_mm_loadu_si128(g + 5), n));
      a6 = AddAbs(a6, _mm_madd_epi16(_mm_loadu_si128(g + 6), n));
      a7 = AddAbs(a7, _mm_madd_epi16(_mm_loadu_si128(g + 7), n));
    }
    alignas(16) int32_t row[kEdgeScoreLanes];
    __m128i* out = reinterpret_cast<__m128i*>(row);
    _mm_store_si128(out + 0, a0);
    _mm_store_si128(out + 1, a1);
    _mm_store_si128(out + 2, a2);
    _mm_store_si128(out + 3, a3);
    _mm_store_si128(out + 4, a4);
    _mm_store_si128(out + 5, a5);
    _mm_store_si128(out + 6, a6);
    _mm_store_si128(out + 7, a7);
    for (int32_t c = 0; c < pw; ++c)
      sums[r * pw + c] = row[c];
  }
}

#endif

void EdgeScores(const int16_t* pairs,
                ptrdiff_t stride,
                const EdgePoint* points,
                size_t count,
                int32_t pw,
                int32_t ph,
                int32_t* sums) {
#if defined(ZUNK_EDGE_SCORES_AVX2)
  static const bool avx2 = (zunk::CpuFeatures() & zunk::kCpuAvx2) != 0;
  if (avx2 && pw <= kEdgeScoreLanes) {
    EdgeScoresAvx2(pairs, stride, points, count, pw, ph, sums);
    return;
  }
#endif
#if defined(__SSE2__)
  if (pw <= kEdgeScoreLanes) {
    EdgeScoresSse2(pairs, stride, points, count, pw, ph, sums);
    return;
  }
#endif
  EdgeScoresRef(pairs, stride, points, count, pw, ph, sums);
}

}  // namespace zunkhost
