// AVX2 row loop of the YUY2 byte planes: eight groups (sixteen pixels) per step, the
// arithmetic of the SSE2 loop per 128-bit lane; a row shorter than one step goes through the
// reference loop. The 24-bit format keeps the SSE2 loop, which only moves bytes.
#include <immintrin.h>

#include "kernels/frame_planes.h"

namespace zunk {
namespace {

bool Yuy2RowAvx2(const uint8_t* groups,
                 int32_t count,
                 uint8_t* b,
                 uint8_t* g,
                 uint8_t* r,
                 WorkPixel key) {
  if (count < 8)
    return ref::Yuy2PlanesRow(groups, count, b, g, r, key);
  const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
  const __m256i centre = _mm256_set1_epi16(128);
  const __m256i wBu = _mm256_set1_epi16(454 * 16);
  const __m256i wGu = _mm256_set1_epi16(-86 * 16);
  const __m256i wGv = _mm256_set1_epi16(-183 * 16);
  const __m256i wRv = _mm256_set1_epi16(359 * 16);
  // The key's bytes where the ordered B|G and R|Y vectors hold them (the luma must be 0).
  const __m256i keyBg = _mm256_set_m128i(_mm_set1_epi8(static_cast<char>(key.g)),
                                         _mm_set1_epi8(static_cast<char>(key.b)));
  const __m256i keyRy =
      _mm256_set_m128i(_mm_setzero_si128(), _mm_set1_epi8(static_cast<char>(key.r)));
  __m256i keyed = _mm256_setzero_si256();
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
    const __m256i bw = _mm256_add_epi16(y, _mm256_mulhi_epi16(u, wBu));
    const __m256i gw = _mm256_add_epi16(
        y, _mm256_add_epi16(_mm256_mulhi_epi16(u, wGu), _mm256_mulhi_epi16(w, wGv)));
    const __m256i rw = _mm256_add_epi16(y, _mm256_mulhi_epi16(w, wRv));
    // Per lane B|G and R|Y bytes; the quadword order 0, 2, 1, 3 gives B0..B15 | G0..G15
    // and R0..R15 | Y0..Y15.
    const __m256i bg = _mm256_permute4x64_epi64(_mm256_packus_epi16(bw, gw), 0xD8);
    const __m256i ry = _mm256_permute4x64_epi64(_mm256_packus_epi16(rw, y), 0xD8);
    const __m256i e = _mm256_and_si256(_mm256_cmpeq_epi8(bg, keyBg), _mm256_cmpeq_epi8(ry, keyRy));
    keyed = _mm256_or_si256(keyed, _mm256_and_si256(e, _mm256_permute2x128_si256(e, e, 0x01)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 2 * i), _mm256_castsi256_si128(bg));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(g + 2 * i), _mm256_extracti128_si256(bg, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + 2 * i), _mm256_castsi256_si128(ry));
  }
  return !_mm256_testz_si256(keyed, keyed);
}

}  // namespace

namespace avx2 {

bool FramePlanesFromYuy2(const uint8_t* frame,
                         int32_t x0,
                         int32_t y0,
                         int32_t x1,
                         int32_t y1,
                         int32_t frameW,
                         int32_t frameH,
                         uint32_t colorKey,
                         uint8_t* planes) {
  return Yuy2PlanesWith(Yuy2RowAvx2, frame, x0, y0, x1, y1, frameW, frameH, colorKey, planes);
}

}  // namespace avx2
}  // namespace zunk
