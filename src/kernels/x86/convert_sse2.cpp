// SSE2 row loops of the frame region conversion: four YUY2 groups or two 24-bit pixels per
// step; the remainder of a row goes through the reference loops.
#include <emmintrin.h>

#include "kernels/convert.h"

namespace zunk {
namespace {

void Yuy2GroupsSse2(const uint8_t* groups, int32_t count, WorkPixel* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i centre = _mm_set1_epi16(128);
  // Weights scaled by 16 against a chroma scaled by 16: the high half of the product is
  // floor(w * c / 256).
  const __m128i wBu = _mm_set1_epi16(454 * 16);
  const __m128i wGu = _mm_set1_epi16(-86 * 16);
  const __m128i wGv = _mm_set1_epi16(-183 * 16);
  const __m128i wRv = _mm_set1_epi16(359 * 16);
  if (count < 4) {
    ref::Yuy2GroupsToWork(groups, count, out);
    return;
  }
  // The last step is moved back to end at the last group: it rewrites a few pixels with
  // the same values instead of leaving a scalar tail.
  for (int32_t step = 0; step < count; step += 4) {
    const int32_t i = step + 4 <= count ? step : count - 4;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(groups + 4 * i));
    const __m128i y = _mm_and_si128(v, lowBytes);  // luma of 8 pixels in column order
    const __m128i uv = _mm_srli_epi16(v, 8);       // U, V of 4 groups
    __m128i u = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, 0xA0), 0xA0);  // U of each pixel
    __m128i w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, 0xF5), 0xF5);  // V of each pixel
    u = _mm_slli_epi16(_mm_sub_epi16(u, centre), 4);
    w = _mm_slli_epi16(_mm_sub_epi16(w, centre), 4);
    const __m128i b = _mm_add_epi16(y, _mm_mulhi_epi16(u, wBu));
    const __m128i g =
        _mm_add_epi16(y, _mm_add_epi16(_mm_mulhi_epi16(u, wGu), _mm_mulhi_epi16(w, wGv)));
    const __m128i r = _mm_add_epi16(y, _mm_mulhi_epi16(w, wRv));
    // Saturate to bytes, then interleave B, G, R, Y per pixel and widen back to words.
    const __m128i bg = _mm_packus_epi16(b, g);
    const __m128i ry = _mm_packus_epi16(r, y);
    const __m128i bgPairs = _mm_unpacklo_epi8(bg, _mm_srli_si128(bg, 8));
    const __m128i ryPairs = _mm_unpacklo_epi8(ry, _mm_srli_si128(ry, 8));
    const __m128i p03 = _mm_unpacklo_epi16(bgPairs, ryPairs);
    const __m128i p47 = _mm_unpackhi_epi16(bgPairs, ryPairs);
    __m128i* dst = reinterpret_cast<__m128i*>(out + 2 * i);
    _mm_storeu_si128(dst + 0, _mm_unpacklo_epi8(p03, zero));
    _mm_storeu_si128(dst + 1, _mm_unpackhi_epi8(p03, zero));
    _mm_storeu_si128(dst + 2, _mm_unpacklo_epi8(p47, zero));
    _mm_storeu_si128(dst + 3, _mm_unpackhi_epi8(p47, zero));
  }
}

void Rgb24PixelsSse2(const uint8_t* pixels, int32_t count, WorkPixel* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i clearX = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
  int32_t i = 0;
  // The 8-byte load reaches two bytes into pixel i + 2, which must lie in the row.
  for (; i + 3 <= count; i += 2) {
    const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels + 3 * i));
    const __m128i w = _mm_unpacklo_epi8(v, zero);  // B0 G0 R0 B1 G1 R1 B2 G2
    const __m128i p = _mm_unpacklo_epi64(w, _mm_srli_si128(w, 6));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(p, clearX));
  }
  ref::Rgb24PixelsToWork(pixels + 3 * i, count - i, out + i);
}

}  // namespace

namespace sse2 {

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
  CopyRegionFromYuy2With(Yuy2GroupsSse2, frame, x0, y0, x1, y1, frameW, frameH, work, dstX, dstY,
                         workW, workH);
}

void CopyRegionFromRgb24(const uint8_t* frame,
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
  CopyRegionFromRgb24With(Rgb24PixelsSse2, frame, x0, y0, x1, y1, frameW, frameH, work, dstX, dstY,
                          workW, workH);
}

}  // namespace sse2
}  // namespace zunk
