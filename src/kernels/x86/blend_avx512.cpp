// AVX-512BW blend of BGRX images into format-0 frames: sixteen groups (32 source pixels) per
// step. Unlike the narrower loops this one stays in pixel order: each 32-bit source pixel
// turns into its group's two target words in place (luma in the low word of every pixel,
// U beside the left pixel's luma and V beside the right one's), which is the order of the
// frame's bytes Y0, U, Y1, V widened to words. No plane shuffles are needed.
#include <immintrin.h>

#include "kernels/blend.h"

namespace zunk {
namespace {

// The step functions are inlined into their loops so the constants stay in registers.

constexpr __mmask32 kEvenWords = 0x55555555;  // luma words of a group's Y0, U, Y1, V
constexpr __mmask32 kOddWords = 0xAAAAAAAA;   // chroma words

// out = d + floor((t - d) * w / 256): the high half of (16 (t - d)) * (16 w).
[[gnu::always_inline]] inline __m512i Mix(__m512i d, __m512i t, __m512i w16) {
  return _mm512_add_epi16(d, _mm512_mulhi_epi16(_mm512_slli_epi16(_mm512_sub_epi16(t, d), 4), w16));
}

// Target words Y0, U, Y1, V of 8 groups from their 16 BGRX pixels s. `chroma` holds the
// complement of the colours whose pair average gives each group's U and V.
[[gnu::always_inline]] inline __m512i Targets(__m512i s, __m512i chroma) {
  // Luma: the low word of a pixel is B + 256 G; adding 28 B - 106 G + 77 R (byte products
  // summed in pairs, then the pairs) makes 29 B + 150 G + 77 R, at most 65280.
  const __m512i luma = _mm512_madd_epi16(_mm512_maddubs_epi16(s, _mm512_set1_epi32(0x004D961C)),
                                         _mm512_set1_epi16(1));
  // Pair average of the complements with the rounding-up byte average: ~a and ~b average
  // (rounded up) to the complement of floor((a + b) / 2). U and V of a complemented colour
  // are the negated U and V (their weights sum to 0), so the weights fit signed bytes:
  // U = -128 B' + 85 G' + 43 R' beside the left pixel, V = 21 B' + 107 G' - 128 R' beside the
  // right one; each sum lies within +-32640.
  const __m512i avg = _mm512_avg_epu8(chroma, _mm512_shuffle_epi32(chroma, _MM_PERM_CDAB));
  const __m512i uv = _mm512_madd_epi16(
      _mm512_maddubs_epi16(avg, _mm512_set1_epi64(0x00806B15002B5580)), _mm512_set1_epi16(1));
  // Luma sums in the even words, chroma sums in the odd ones; the chroma offset 128 is 32768
  // there (a flipped sign bit); the high bytes are the targets.
  const __m512i sums = _mm512_mask_add_epi16(_mm512_slli_epi32(uv, 16), kEvenWords, s, luma);
  return _mm512_srli_epi16(_mm512_xor_si512(sums, _mm512_set1_epi32(INT32_MIN)), 8);
}

[[gnu::always_inline]] inline __m512i Not(__m512i v) {
  return _mm512_ternarylogic_epi32(v, v, v, 0x0F);
}

// 8 groups as words d with their 16 source pixels s, none keyed.
[[gnu::always_inline]] inline __m512i BlendGroups8(__m512i s, __m512i d, __m512i w16) {
  return Mix(d, Targets(s, Not(s)), w16);
}

// The same with the keyed pixels `keyed` (one bit per pixel, not all clear).
[[gnu::always_inline]] inline __m512i BlendKeyedGroups8(__m512i s,
                                                        __m512i d,
                                                        __mmask16 keyed,
                                                        __m512i w16) {
  // A half group's chroma is that of its drawn pixel: the keyed one takes its partner's
  // colour, so the pair averages to the drawn colour.
  const __m512i ns = Not(s);
  const __m512i drawn = _mm512_mask_mov_epi32(ns, keyed, _mm512_shuffle_epi32(ns, _MM_PERM_CDAB));
  __m512i t = Targets(s, drawn);
  // Word masks: both words of each keyed pixel, and of each pixel whose partner is keyed.
  const __m512i keyedPixels = _mm512_maskz_mov_epi32(keyed, _mm512_set1_epi32(-1));
  const __mmask32 self = _mm512_movepi16_mask(keyedPixels);
  const __mmask32 partner = _mm512_movepi16_mask(_mm512_shuffle_epi32(keyedPixels, _MM_PERM_CDAB));
  // Half group: the drawn pixel's chroma averaged with the frame's.
  const __mmask32 half = (self | partner) & kOddWords;
  t = _mm512_mask_mov_epi16(t, half, _mm512_srli_epi16(_mm512_add_epi16(t, d), 1));
  // A keyed pixel keeps its luma, a group with both pixels keyed its chroma.
  const __mmask32 keep = (self & kEvenWords) | (self & partner & kOddWords);
  return _mm512_mask_mov_epi16(Mix(d, t, w16), keep, d);
}

// One bit per pixel of s whose B, G, R equal the key.
[[gnu::always_inline]] inline __mmask16 KeyedBgrx(__m512i s, __m512i keyBgrx) {
  return _mm512_cmpeq_epi32_mask(_mm512_and_si512(s, _mm512_set1_epi32(0x00FFFFFF)), keyBgrx);
}

template <bool kKeyOn>
void BgrxGroupsLoop(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  const __m512i w16 = _mm512_set1_epi16(static_cast<short>(call.weight * 16));
  const __m512i keyBgrx = _mm512_set1_epi32(static_cast<int>(call.keyBgrx));
  // Packing two registers of words interleaves their 128-bit lanes; this puts them back.
  const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
  int32_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const uint8_t* p = src + 8 * i;
    uint8_t* f = groups + 4 * i;
    const __m512i s0 = _mm512_loadu_si512(p), s1 = _mm512_loadu_si512(p + 64);
    const __m512i d0 = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<__m256i*>(f)));
    const __m512i d1 = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<__m256i*>(f + 32)));
    __m512i out0, out1;
    if constexpr (kKeyOn) {
      const __mmask16 k0 = KeyedBgrx(s0, keyBgrx), k1 = KeyedBgrx(s1, keyBgrx);
      if ((k0 & k1) == 0xFFFF)
        continue;  // every pixel keyed: the groups stay as they are
      out0 = k0 ? BlendKeyedGroups8(s0, d0, k0, w16) : BlendGroups8(s0, d0, w16);
      out1 = k1 ? BlendKeyedGroups8(s1, d1, k1, w16) : BlendGroups8(s1, d1, w16);
    } else {
      out0 = BlendGroups8(s0, d0, w16);
      out1 = BlendGroups8(s1, d1, w16);
    }
    _mm512_storeu_si512(f, _mm512_permutexvar_epi64(order, _mm512_packus_epi16(out0, out1)));
  }
  ref::BgrxGroupsToYuy2(src + 8 * i, groups + 4 * i, count - i, call);
}

void BgrxGroupsAvx512(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  if (call.keyOn)
    BgrxGroupsLoop<true>(src, groups, count, call);
  else
    BgrxGroupsLoop<false>(src, groups, count, call);
}

}  // namespace

namespace avx512 {

void BlendBgrxToYuy2(const uint8_t* src,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     int32_t srcW,
                     int32_t srcH,
                     uint8_t* frame,
                     int32_t dstX,
                     int32_t dstY,
                     int32_t frameW,
                     int32_t frameH,
                     int32_t level,
                     uint32_t colorKey,
                     int32_t keyOn) {
  BlendBgrxToYuy2With(BgrxGroupsAvx512, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

}  // namespace avx512
}  // namespace zunk
