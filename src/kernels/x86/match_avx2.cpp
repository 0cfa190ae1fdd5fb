// AVX2 difference row: four placements per register, sixteen 16-bit lanes. Same scheme as
// the SSE2 kernel: 16-bit sums over runs of template pixels bounded by AbsDiffRun, widened
// to 32 bits after each run; the last register of the last block loads only the placements
// that exist (masked load), so nothing outside the searched area is read.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/match.h"

namespace zunk {
namespace {

#if defined(__x86_64__)
constexpr int kBlockVectors = 8;  // 16 ymm registers
#else
constexpr int kBlockVectors = 4;  // 8 ymm registers on i686
#endif

template <int NV, bool kMaskedLast>
void RowBlock(const WorkPixel* a,
              int32_t aW,
              const WorkPixel* tpl,
              int32_t tplW,
              int32_t tplH,
              uint64_t keyBits,
              int32_t run,
              __m256i lastMask,
              __m256i* acc) {
  const __m256i zero = _mm256_setzero_si256();
  for (int32_t ty = 0; ty < tplH; ++ty) {
    const WorkPixel* trow = tpl + static_cast<ptrdiff_t>(ty) * tplW;
    const WorkPixel* arow = a + static_cast<ptrdiff_t>(ty) * aW;
    for (int32_t tx = 0; tx < tplW;) {
      const int32_t end = tplW - tx > run ? tx + run : tplW;
      __m256i s[NV];
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v)
        s[v] = zero;
      for (; tx < end; ++tx) {
        uint64_t bits;
        std::memcpy(&bits, trow + tx, sizeof bits);
        if (bits == keyBits)
          continue;
        const __m256i t =
            _mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(trow + tx)));
        const WorkPixel* p = arow + tx;
#pragma GCC unroll 16
        for (int v = 0; v < NV; ++v) {
          const __m256i x =
              (kMaskedLast && v == NV - 1)
                  ? _mm256_maskload_epi64(reinterpret_cast<const long long*>(p + 4 * v), lastMask)
                  : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 4 * v));
          s[v] = _mm256_add_epi16(s[v], _mm256_abs_epi16(_mm256_sub_epi16(x, t)));
        }
      }
// Register v holds placements 4v, 4v+1 | 4v+2, 4v+3: the low unpack gives 4v | 4v+2.
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v) {
        acc[2 * v] = _mm256_add_epi32(acc[2 * v], _mm256_unpacklo_epi16(s[v], zero));
        acc[2 * v + 1] = _mm256_add_epi32(acc[2 * v + 1], _mm256_unpackhi_epi16(s[v], zero));
      }
    }
  }
}

template <int NV>
void RunBlock(int nv,
              bool maskedLast,
              const WorkPixel* a,
              int32_t aW,
              const WorkPixel* tpl,
              int32_t tplW,
              int32_t tplH,
              uint64_t keyBits,
              int32_t run,
              __m256i lastMask,
              __m256i* acc) {
  if constexpr (NV > 0) {
    if (nv != NV) {
      RunBlock<NV - 1>(nv, maskedLast, a, aW, tpl, tplW, tplH, keyBits, run, lastMask, acc);
    } else if (maskedLast) {
      RowBlock<NV, true>(a, aW, tpl, tplW, tplH, keyBits, run, lastMask, acc);
    } else {
      RowBlock<NV, false>(a, aW, tpl, tplW, tplH, keyBits, run, lastMask, acc);
    }
  }
}

}  // namespace

namespace avx2 {

void MaskedMeanAbsDiffRow(const WorkPixel* a,
                          int32_t aW,
                          int32_t aH,
                          const WorkPixel* tpl,
                          int32_t tplW,
                          int32_t tplH,
                          int32_t cx,
                          int32_t cy,
                          DiffEntry* out,
                          int32_t r,
                          uint32_t colorKey) {
  if (r < 0)
    return;
  const int32_t m = 2 * r + 1;
  std::memset(out, 0, sizeof(DiffEntry) * m);
  if (tplW <= 0 || tplH <= 0)
    return;
  const uint64_t keyBits = KeyBits(colorKey);
  const WorkPixel* area = a + static_cast<ptrdiff_t>(cy) * aW + (cx - r);
  uint32_t n = 0;
  const int32_t run = sse2::AbsDiffRun(area, aW, m + tplW - 1, tplH, tpl, tplW, tplH, keyBits, &n);
  if (n == 0)
    return;
  constexpr int kEntries = 4 * kBlockVectors;
  for (int32_t k0 = 0; k0 < m; k0 += kEntries) {
    const int32_t entries = m - k0 < kEntries ? m - k0 : kEntries;
    const int32_t lastValid = entries % 4;  // placements in a partial last register
    const __m256i lastMask = _mm256_set_epi64x(lastValid > 3 ? -1 : 0, lastValid > 2 ? -1 : 0,
                                               lastValid > 1 ? -1 : 0, lastValid > 0 ? -1 : 0);
    __m256i acc[2 * kBlockVectors];
    for (__m256i& v : acc)
      v = _mm256_setzero_si256();
    RunBlock<kBlockVectors>((entries + 3) / 4, lastValid != 0, area + k0, aW, tpl, tplW, tplH,
                            keyBits, run, lastMask, acc);
    alignas(32) uint32_t s[2 * kBlockVectors][8];
    for (int v = 0; v < 2 * kBlockVectors; ++v) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(s[v]), acc[v]);
    }
    for (int32_t e = 0; e < entries; ++e) {
      // Placement 4v + q: register 2v for q = 0, 2 and 2v + 1 for q = 1, 3; lane q / 2.
      const uint32_t* sum = s[2 * (e / 4) + (e & 1)] + 4 * ((e & 2) >> 1);
      out[k0 + e] = {sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n};
    }
  }
}

}  // namespace avx2
}  // namespace zunk
