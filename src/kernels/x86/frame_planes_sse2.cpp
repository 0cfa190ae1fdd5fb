// SSE2 row loops of the frame's byte planes: four YUY2 groups or sixteen 24-bit pixels per
// step. A row shorter than one step goes through the reference loop; otherwise the last step
// is moved back to end at the row's end and rewrites a few bytes with the same values.
#include <emmintrin.h>

#include "kernels/frame_planes.h"

namespace zunk {
namespace {

bool Yuy2RowSse2(const uint8_t* groups,
                 int32_t count,
                 uint8_t* b,
                 uint8_t* g,
                 uint8_t* r,
                 WorkPixel key) {
  if (count < 4)
    return ref::Yuy2PlanesRow(groups, count, b, g, r, key);
  const __m128i lowBytes = _mm_set1_epi16(0x00FF);
  const __m128i centre = _mm_set1_epi16(128);
  // Weights scaled by 16 against a chroma scaled by 16: the high half of the product is
  // floor(w * c / 256), as in the region conversion.
  const __m128i wBu = _mm_set1_epi16(454 * 16);
  const __m128i wGu = _mm_set1_epi16(-86 * 16);
  const __m128i wGv = _mm_set1_epi16(-183 * 16);
  const __m128i wRv = _mm_set1_epi16(359 * 16);
  // The key's bytes where the packed B|G and R|Y vectors hold them (the luma must be 0).
  const __m128i keyBg = _mm_set_epi8(key.g, key.g, key.g, key.g, key.g, key.g, key.g, key.g, key.b,
                                     key.b, key.b, key.b, key.b, key.b, key.b, key.b);
  const __m128i keyRy =
      _mm_set_epi8(0, 0, 0, 0, 0, 0, 0, 0, key.r, key.r, key.r, key.r, key.r, key.r, key.r, key.r);
  __m128i keyed = _mm_setzero_si128();
  for (int32_t step = 0; step < count; step += 4) {
    const int32_t i = step + 4 <= count ? step : count - 4;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(groups + 4 * i));
    const __m128i y = _mm_and_si128(v, lowBytes);  // luma of 8 pixels in column order
    const __m128i uv = _mm_srli_epi16(v, 8);       // U, V of 4 groups
    __m128i u = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, 0xA0), 0xA0);  // U of each pixel
    __m128i w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, 0xF5), 0xF5);  // V of each pixel
    u = _mm_slli_epi16(_mm_sub_epi16(u, centre), 4);
    w = _mm_slli_epi16(_mm_sub_epi16(w, centre), 4);
    const __m128i bw = _mm_add_epi16(y, _mm_mulhi_epi16(u, wBu));
    const __m128i gw =
        _mm_add_epi16(y, _mm_add_epi16(_mm_mulhi_epi16(u, wGu), _mm_mulhi_epi16(w, wGv)));
    const __m128i rw = _mm_add_epi16(y, _mm_mulhi_epi16(w, wRv));
    const __m128i bg = _mm_packus_epi16(bw, gw);  // B0..B7, G0..G7 saturated
    const __m128i ry = _mm_packus_epi16(rw, y);   // R0..R7, Y0..Y7
    __m128i e = _mm_and_si128(_mm_cmpeq_epi8(bg, keyBg), _mm_cmpeq_epi8(ry, keyRy));
    keyed = _mm_or_si128(keyed, _mm_and_si128(e, _mm_srli_si128(e, 8)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(b + 2 * i), bg);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(g + 2 * i), _mm_unpackhi_epi64(bg, bg));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(r + 2 * i), ry);
  }
  return _mm_movemask_epi8(keyed) != 0;
}

// Sixteen pixels' 48 bytes into their three channels by four rounds of byte interleaving:
// each round takes every third byte one step closer to its place.
bool Rgb24RowSse2(const uint8_t* pixels,
                  int32_t count,
                  uint8_t* b,
                  uint8_t* g,
                  uint8_t* r,
                  WorkPixel key) {
  if (count < 16)
    return ref::Rgb24PlanesRow(pixels, count, b, g, r, key);
  const __m128i keyB = _mm_set1_epi8(static_cast<char>(key.b));
  const __m128i keyG = _mm_set1_epi8(static_cast<char>(key.g));
  const __m128i keyR = _mm_set1_epi8(static_cast<char>(key.r));
  __m128i keyed = _mm_setzero_si128();
  for (int32_t step = 0; step < count; step += 16) {
    const int32_t i = step + 16 <= count ? step : count - 16;
    const __m128i* src = reinterpret_cast<const __m128i*>(pixels + 3 * i);
    __m128i a0 = _mm_loadu_si128(src), a1 = _mm_loadu_si128(src + 1), a2 = _mm_loadu_si128(src + 2);
    for (int round = 0; round < 4; ++round) {
      const __m128i c0 = _mm_unpacklo_epi8(a0, _mm_unpackhi_epi64(a1, a1));
      const __m128i c1 = _mm_unpacklo_epi8(_mm_unpackhi_epi64(a0, a0), a2);
      const __m128i c2 = _mm_unpacklo_epi8(a1, _mm_unpackhi_epi64(a2, a2));
      a0 = c0;
      a1 = c1;
      a2 = c2;
    }
    // a0: B of pixels 0..15, a1: G, a2: R.
    keyed = _mm_or_si128(
        keyed, _mm_and_si128(_mm_cmpeq_epi8(a0, keyB),
                             _mm_and_si128(_mm_cmpeq_epi8(a1, keyG), _mm_cmpeq_epi8(a2, keyR))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), a0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(g + i), a1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + i), a2);
  }
  return _mm_movemask_epi8(keyed) != 0;
}

}  // namespace

namespace sse2 {

bool FramePlanesFromYuy2(const uint8_t* frame,
                         int32_t x0,
                         int32_t y0,
                         int32_t x1,
                         int32_t y1,
                         int32_t frameW,
                         int32_t frameH,
                         uint32_t colorKey,
                         uint8_t* planes) {
  return Yuy2PlanesWith(Yuy2RowSse2, frame, x0, y0, x1, y1, frameW, frameH, colorKey, planes);
}

bool FramePlanesFromRgb24(const uint8_t* frame,
                          int32_t x0,
                          int32_t y0,
                          int32_t x1,
                          int32_t y1,
                          int32_t frameW,
                          int32_t frameH,
                          uint32_t colorKey,
                          uint8_t* planes) {
  return Rgb24PlanesWith(Rgb24RowSse2, frame, x0, y0, x1, y1, frameW, frameH, colorKey, planes);
}

}  // namespace sse2
}  // namespace zunk
