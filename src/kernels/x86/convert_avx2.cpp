// AVX2 row loop of the YUY2 region conversion: eight groups per step, the remainder through
// the reference loop. Same arithmetic as the SSE2 loop, per 128-bit lane.
#include <immintrin.h>

#include "kernels/convert.h"

namespace zunk {
namespace {

void Yuy2GroupsAvx2(const uint8_t* groups, int32_t count, WorkPixel* out) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
  const __m256i centre = _mm256_set1_epi16(128);
  const __m256i wBu = _mm256_set1_epi16(454 * 16);
  const __m256i wGu = _mm256_set1_epi16(-86 * 16);
  const __m256i wGv = _mm256_set1_epi16(-183 * 16);
  const __m256i wRv = _mm256_set1_epi16(359 * 16);
  if (count < 8) {
    ref::Yuy2GroupsToWork(groups, count, out);
    return;
  }
  // The last step is moved back to end at the last group (same values rewritten).
  for (int32_t step = 0; step < count; step += 8) {
    const int32_t i = step + 8 <= count ? step : count - 8;
    // Lane 0 holds groups 0..3 (pixels 0..7), lane 1 groups 4..7 (pixels 8..15).
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(groups + 4 * i));
    const __m256i y = _mm256_and_si256(v, lowBytes);
    const __m256i uv = _mm256_srli_epi16(v, 8);
    __m256i u = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(uv, 0xA0), 0xA0);
    __m256i w = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(uv, 0xF5), 0xF5);
    u = _mm256_slli_epi16(_mm256_sub_epi16(u, centre), 4);
    w = _mm256_slli_epi16(_mm256_sub_epi16(w, centre), 4);
    const __m256i b = _mm256_add_epi16(y, _mm256_mulhi_epi16(u, wBu));
    const __m256i g = _mm256_add_epi16(
        y, _mm256_add_epi16(_mm256_mulhi_epi16(u, wGu), _mm256_mulhi_epi16(w, wGv)));
    const __m256i r = _mm256_add_epi16(y, _mm256_mulhi_epi16(w, wRv));
    const __m256i bg = _mm256_packus_epi16(b, g);
    const __m256i ry = _mm256_packus_epi16(r, y);
    const __m256i bgPairs = _mm256_unpacklo_epi8(bg, _mm256_srli_si256(bg, 8));
    const __m256i ryPairs = _mm256_unpacklo_epi8(ry, _mm256_srli_si256(ry, 8));
    const __m256i p03 = _mm256_unpacklo_epi16(bgPairs, ryPairs);  // pixels 0..3 | 8..11
    const __m256i p47 = _mm256_unpackhi_epi16(bgPairs, ryPairs);  // pixels 4..7 | 12..15
    const __m256i a = _mm256_unpacklo_epi8(p03, zero);            // 0, 1 | 8, 9
    const __m256i c = _mm256_unpackhi_epi8(p03, zero);            // 2, 3 | 10, 11
    const __m256i d = _mm256_unpacklo_epi8(p47, zero);            // 4, 5 | 12, 13
    const __m256i e = _mm256_unpackhi_epi8(p47, zero);            // 6, 7 | 14, 15
    __m256i* dst = reinterpret_cast<__m256i*>(out + 2 * i);
    _mm256_storeu_si256(dst + 0, _mm256_permute2x128_si256(a, c, 0x20));
    _mm256_storeu_si256(dst + 1, _mm256_permute2x128_si256(d, e, 0x20));
    _mm256_storeu_si256(dst + 2, _mm256_permute2x128_si256(a, c, 0x31));
    _mm256_storeu_si256(dst + 3, _mm256_permute2x128_si256(d, e, 0x31));
  }
}

}  // namespace

namespace avx2 {

void CopyRegionFromYuy2(const uint8_t* frame,
                        int32_t x0,
                        int32_t y0,
                        int32_t x1,
                        int32_t y1,
                        int32_t frameW,
                        int32_t frameH,
                        WorkPixel* work,
                        int32_t dstX,
                        int32_t dstY,
                        int32_t workW,
                        int32_t workH) {
  CopyRegionFromYuy2With(Yuy2GroupsAvx2, frame, x0, y0, x1, y1, frameW, frameH, work, dstX, dstY,
                         workW, workH);
}

}  // namespace avx2
}  // namespace zunk
