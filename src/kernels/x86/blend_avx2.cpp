// AVX2 blend into format-0 frames: eight groups (sixteen source pixels) per step, per 128-bit
// lane (lane 0 works on groups 0..3, lane 1 on 4..7). Byte shuffles split the pixels into B,
// G, R planes; pair sums come from a byte multiply-add; U and V of the four groups of a lane
// are one weighted sum. The arithmetic is that of the SSE2 loop, lane for lane.
#include <immintrin.h>

#include "kernels/blend.h"

namespace zunk {
namespace {

// The step functions are inlined into their loops so the constants stay in registers.

[[gnu::always_inline]] inline __m256i Select(__m256i mask, __m256i a, __m256i b) {  // mask ? a : b
  return _mm256_blendv_epi8(b, a, mask);
}

[[gnu::always_inline]] inline __m256i Mix(__m256i d, __m256i t, __m256i w16) {
  return _mm256_add_epi16(d, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(t, d), 4), w16));
}

[[gnu::always_inline]] inline __m256i Weighted(__m256i b,
                                               __m256i g,
                                               __m256i r,
                                               short wb,
                                               short wg,
                                               short wr) {
  return _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(b, _mm256_set1_epi16(wb)),
                                           _mm256_mullo_epi16(g, _mm256_set1_epi16(wg))),
                          _mm256_mullo_epi16(r, _mm256_set1_epi16(wr)));
}

// Eight groups (32 bytes) with BGRX pixels s0 = 0..3 | 8..11 and s1 = 4..7 | 12..15; keyed
// holds all ones in the word of each keyed pixel (pixels 0..7 | 8..15).
template <bool kAnyKeyed>
[[gnu::always_inline]] inline __m256i BlendGroups8(__m256i s0,
                                                   __m256i s1,
                                                   __m256i keyed,
                                                   __m256i f,
                                                   __m256i w16) {
  const __m256i low16 = _mm256_set1_epi32(0xFFFF);
  const __m256i centre = _mm256_set1_epi16(128);
  // Planes: per lane B0..B3 G0..G3 R0..R3 of each register, then the B and G bytes of the
  // lane's 8 pixels (bg) and their R bytes (rr).
  const __m256i planes = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, -1, -1, -1, -1, 0,
                                          4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, -1, -1, -1, -1);
  const __m256i t0 = _mm256_shuffle_epi8(s0, planes), t1 = _mm256_shuffle_epi8(s1, planes);
  const __m256i bg = _mm256_unpacklo_epi32(t0, t1), rr = _mm256_unpackhi_epi32(t0, t1);
  // Luma from byte pairs (B, G) and (G, R): 29B + 99G and 51G + 77R each fit a signed word,
  // their sum (at most 65280) an unsigned one.
  const __m256i gg = _mm256_srli_si256(bg, 8);
  const __m256i y = _mm256_srli_epi16(
      _mm256_add_epi16(
          _mm256_maddubs_epi16(_mm256_unpacklo_epi8(bg, gg), _mm256_set1_epi16(99 << 8 | 29)),
          _mm256_maddubs_epi16(_mm256_unpacklo_epi8(gg, rr), _mm256_set1_epi16(77 << 8 | 51))),
      8);
  // Average colour of each pair: sums of adjacent bytes, halved (B of the lane's 4 groups,
  // then G; R). Its chroma: U in words 0..3, V in words 4..7 of one weighted sum.
  const __m256i ones = _mm256_set1_epi8(1);
  const __m256i bgAvg = _mm256_srli_epi16(_mm256_maddubs_epi16(bg, ones), 1);
  const __m256i rAvg = _mm256_srli_epi16(_mm256_maddubs_epi16(rr, ones), 1);
  const __m256i uvWeightsB = _mm256_setr_epi16(128, 128, 128, 128, -21, -21, -21, -21, 128, 128,
                                               128, 128, -21, -21, -21, -21);
  const __m256i uvWeightsG = _mm256_setr_epi16(-85, -85, -85, -85, -107, -107, -107, -107, -85, -85,
                                               -85, -85, -107, -107, -107, -107);
  const __m256i uvWeightsR = _mm256_setr_epi16(-43, -43, -43, -43, 128, 128, 128, 128, -43, -43,
                                               -43, -43, 128, 128, 128, 128);
  const __m256i sum = _mm256_add_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi64(bgAvg, bgAvg), uvWeightsB),
                       _mm256_mullo_epi16(_mm256_unpackhi_epi64(bgAvg, bgAvg), uvWeightsG)),
      _mm256_mullo_epi16(_mm256_unpacklo_epi64(rAvg, rAvg), uvWeightsR));
  // floor(sum / 256) + 128, as the sum offset by 32768 (its sign bit flipped) shifted down.
  __m256i uv = _mm256_srli_epi16(_mm256_xor_si256(sum, _mm256_set1_epi16(-32768)), 8);
  __m256i yTarget = y;
  // The frame in the same planes: luma words in column order, U and V words of 4 groups.
  const __m256i yFrame = _mm256_and_si256(f, _mm256_set1_epi16(0xFF));
  const __m256i uvFrame = _mm256_shuffle_epi8(
      f, _mm256_setr_epi8(1, -1, 5, -1, 9, -1, 13, -1, 3, -1, 7, -1, 11, -1, 15, -1, 1, -1, 5, -1,
                          9, -1, 13, -1, 3, -1, 7, -1, 11, -1, 15, -1));
  if constexpr (kAnyKeyed) {  // half groups: a keyed pixel keeps its luma
    const __m256i zero = _mm256_setzero_si256();
    const __m256i b = _mm256_unpacklo_epi8(bg, zero);
    const __m256i g = _mm256_unpackhi_epi8(bg, zero);
    const __m256i r = _mm256_unpacklo_epi8(rr, zero);
    const __m256i uPix =
        _mm256_add_epi16(_mm256_srai_epi16(Weighted(b, g, r, 128, -85, -43), 8), centre);
    const __m256i vPix =
        _mm256_add_epi16(_mm256_srai_epi16(Weighted(b, g, r, -21, -107, 128), 8), centre);
    // Each group's drawn pixel when the other is keyed: the right one if the left is keyed.
    const __m256i keyedLeft = _mm256_srai_epi32(_mm256_slli_epi32(keyed, 16), 16);
    const __m256i keyedRight = _mm256_srai_epi32(keyed, 16);
    const __m256i uDrawn =
        _mm256_and_si256(Select(keyedLeft, _mm256_srli_epi32(uPix, 16), uPix), low16);
    const __m256i vDrawn =
        _mm256_and_si256(Select(keyedLeft, _mm256_srli_epi32(vPix, 16), vPix), low16);
    const __m256i uvDrawn = _mm256_packus_epi32(uDrawn, vDrawn);  // U of 4 groups, then V
    const __m256i uvHalf = _mm256_srli_epi16(_mm256_add_epi16(uvDrawn, uvFrame), 1);
    // Group masks in the U, V plane order.
    const __m256i anyKeyed = _mm256_or_si256(keyedLeft, keyedRight);
    const __m256i bothKeyed = _mm256_and_si256(keyedLeft, keyedRight);
    uv = Select(_mm256_packs_epi32(anyKeyed, anyKeyed), uvHalf, uv);
    uv = Select(_mm256_packs_epi32(bothKeyed, bothKeyed), uvFrame, uv);
    yTarget = Select(keyed, yFrame, y);
  }
  // Blend both planes, then put the bytes back in Y0, U, Y1, V order.
  const __m256i yOut = Mix(yFrame, yTarget, w16);
  const __m256i uvOut = Mix(uvFrame, uv, w16);
  return _mm256_shuffle_epi8(
      _mm256_packus_epi16(yOut, uvOut),
      _mm256_setr_epi8(0, 8, 1, 12, 2, 9, 3, 13, 4, 10, 5, 14, 6, 11, 7, 15, 0, 8, 1, 12, 2, 9, 3,
                       13, 4, 10, 5, 14, 6, 11, 7, 15));
}

// Steps without a keyed pixel skip the half-group work.
[[gnu::always_inline]] inline __m256i BlendStep(__m256i s0,
                                                __m256i s1,
                                                __m256i keyed,
                                                __m256i f,
                                                __m256i w16) {
  return _mm256_testz_si256(keyed, keyed) ? BlendGroups8<false>(s0, s1, keyed, f, w16)
                                          : BlendGroups8<true>(s0, s1, keyed, f, w16);
}

struct Consts {
  __m256i w16, keyOn, keyBgrx, keyWork;
};

Consts MakeConsts(const BlendCall& call) {
  const WorkPixel& k = call.keyWork;
  return {_mm256_set1_epi16(static_cast<short>(call.weight * 16)),
          _mm256_set1_epi32(call.keyOn ? -1 : 0), _mm256_set1_epi32(static_cast<int>(call.keyBgrx)),
          _mm256_set_epi16(k.x, k.r, k.g, k.b, k.x, k.r, k.g, k.b, k.x, k.r, k.g, k.b, k.x, k.r,
                           k.g, k.b)};
}

[[gnu::always_inline]] inline __m256i KeyedBgrx(__m256i s, const Consts& c) {
  const __m256i bgr = _mm256_and_si256(s, _mm256_set1_epi32(0x00FFFFFF));
  return _mm256_and_si256(_mm256_cmpeq_epi32(bgr, c.keyBgrx), c.keyOn);
}

[[gnu::always_inline]] inline __m256i KeyedWork(__m256i v, const Consts& c) {
  const __m256i eq = _mm256_cmpeq_epi64(v, c.keyWork);
  return _mm256_and_si256(eq, c.keyOn);
}

[[gnu::always_inline]] inline __m256i LoadLanes(const WorkPixel* lo, const WorkPixel* hi) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lo))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi)), 1);
}

void BgrxGroupsAvx2(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 8 * i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 8 * i + 32));
    const __m256i s0 = _mm256_permute2x128_si256(a, b, 0x20);
    const __m256i s1 = _mm256_permute2x128_si256(a, b, 0x31);
    __m256i* f = reinterpret_cast<__m256i*>(groups + 4 * i);
    const __m256i frame = _mm256_loadu_si256(f);
    if (!call.keyOn) {
      _mm256_storeu_si256(f, BlendGroups8<false>(s0, s1, frame, frame, c.w16));
    } else {
      const __m256i keyed = _mm256_packs_epi32(KeyedBgrx(s0, c), KeyedBgrx(s1, c));
      _mm256_storeu_si256(f, BlendStep(s0, s1, keyed, frame, c.w16));
    }
  }
  ref::BgrxGroupsToYuy2(src + 8 * i, groups + 4 * i, count - i, call);
}

void WorkGroupsAvx2(const WorkPixel* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const WorkPixel* p = src + 2 * i;
    const __m256i w01 = LoadLanes(p + 0, p + 8), w23 = LoadLanes(p + 2, p + 10);
    const __m256i w45 = LoadLanes(p + 4, p + 12), w67 = LoadLanes(p + 6, p + 14);
    const __m256i k0 = _mm256_packs_epi32(KeyedWork(w01, c), KeyedWork(w23, c));
    const __m256i k1 = _mm256_packs_epi32(KeyedWork(w45, c), KeyedWork(w67, c));
    __m256i* f = reinterpret_cast<__m256i*>(groups + 4 * i);
    _mm256_storeu_si256(f, BlendStep(_mm256_packus_epi16(w01, w23), _mm256_packus_epi16(w45, w67),
                                     _mm256_packs_epi32(k0, k1), _mm256_loadu_si256(f), c.w16));
  }
  ref::WorkGroupsToYuy2(src + 2 * i, groups + 4 * i, count - i, call);
}

}  // namespace

namespace avx2 {

void BlendWorkToYuy2(const WorkPixel* src,
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
  BlendWorkToYuy2With(WorkGroupsAvx2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

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
  BlendBgrxToYuy2With(BgrxGroupsAvx2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

}  // namespace avx2
}  // namespace zunk
