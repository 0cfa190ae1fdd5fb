// SSE2 blend row loops. Format 0: four groups (eight source pixels) per step, worked in
// planes of eight 16-bit lanes (luma per pixel, chroma per pixel and per group) and put back
// in Y0, U, Y1, V order by one interleave. Format 1: two pixels per step. Work sources are
// first packed to B, G, R, X bytes with unsigned saturation, which is the clamp to 0..255.
#include <emmintrin.h>

#include <cstring>

#include "kernels/blend.h"

namespace zunk {
namespace {

// The step functions are inlined into their loops so the constants stay in registers.

[[gnu::always_inline]] inline __m128i Select(__m128i mask, __m128i a, __m128i b) {  // mask ? a : b
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// out = d + floor((t - d) * w / 256): the high half of (16 (t - d)) * (16 w).
[[gnu::always_inline]] inline __m128i Mix(__m128i d, __m128i t, __m128i w16) {
  return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(t, d), 4), w16));
}

[[gnu::always_inline]] inline __m128i Weighted(__m128i b,
                                               __m128i g,
                                               __m128i r,
                                               short wb,
                                               short wg,
                                               short wr) {
  return _mm_add_epi16(
      _mm_add_epi16(_mm_mullo_epi16(b, _mm_set1_epi16(wb)), _mm_mullo_epi16(g, _mm_set1_epi16(wg))),
      _mm_mullo_epi16(r, _mm_set1_epi16(wr)));
}

// Four groups of the frame (16 bytes) with eight BGRX source pixels s0 (pixels 0..3) and s1
// (4..7); keyed holds all ones in the word of each keyed pixel.
template <bool kAnyKeyed>
[[gnu::always_inline]] inline __m128i BlendGroups4(__m128i s0,
                                                   __m128i s1,
                                                   __m128i keyed,
                                                   __m128i f,
                                                   __m128i w16) {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i low16 = _mm_set1_epi32(0xFFFF);
  const __m128i centre = _mm_set1_epi16(128);
  const __m128i b = _mm_packs_epi32(_mm_and_si128(s0, byte), _mm_and_si128(s1, byte));
  const __m128i g = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(s0, 8), byte),
                                    _mm_and_si128(_mm_srli_epi32(s1, 8), byte));
  const __m128i r = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(s0, 16), byte),
                                    _mm_and_si128(_mm_srli_epi32(s1, 16), byte));
  // Luma: the weighted sum is at most 65280, exact in unsigned 16 bits.
  const __m128i y = _mm_srli_epi16(Weighted(b, g, r, 29, 150, 77), 8);
  // Chroma sums lie within +-32640: exact in signed 16 bits, floored by the arithmetic shift.
  const __m128i bAvg =
      _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(b, low16), _mm_srli_epi32(b, 16)), 1);
  const __m128i gAvg =
      _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(g, low16), _mm_srli_epi32(g, 16)), 1);
  const __m128i rAvg =
      _mm_srli_epi32(_mm_add_epi32(_mm_and_si128(r, low16), _mm_srli_epi32(r, 16)), 1);
  const __m128i uAvg = _mm_srai_epi16(Weighted(bAvg, gAvg, rAvg, 128, -85, -43), 8);
  const __m128i vAvg = _mm_srai_epi16(Weighted(bAvg, gAvg, rAvg, -21, -107, 128), 8);
  // U, V per group as the words of a 32-bit lane, the order of the frame's chroma bytes.
  const __m128i uvAvg =
      _mm_add_epi16(_mm_or_si128(_mm_and_si128(uAvg, low16), _mm_slli_epi32(vAvg, 16)), centre);
  __m128i uv = uvAvg, yTarget = y;
  if constexpr (kAnyKeyed) {  // half groups: a keyed pixel keeps its luma
    const __m128i yFrame = _mm_and_si128(f, _mm_set1_epi16(0xFF));
    const __m128i uvFrame = _mm_srli_epi16(f, 8);
    const __m128i uPix = _mm_add_epi16(_mm_srai_epi16(Weighted(b, g, r, 128, -85, -43), 8), centre);
    const __m128i vPix =
        _mm_add_epi16(_mm_srai_epi16(Weighted(b, g, r, -21, -107, 128), 8), centre);
    // Average colour of each pair, in the low word of each 32-bit lane (high word 0).
    const __m128i uvLeft = _mm_or_si128(_mm_and_si128(uPix, low16), _mm_slli_epi32(vPix, 16));
    const __m128i uvRight = _mm_or_si128(_mm_srli_epi32(uPix, 16), _mm_andnot_si128(low16, vPix));

    const __m128i keyedLeft = _mm_srai_epi32(_mm_slli_epi32(keyed, 16), 16);
    const __m128i keyedRight = _mm_srai_epi32(keyed, 16);
    // Half group: the drawn pixel's chroma averaged with the frame's.
    const __m128i uvHalf =
        _mm_srli_epi16(_mm_add_epi16(Select(keyedLeft, uvRight, uvLeft), uvFrame), 1);
    uv = Select(_mm_or_si128(keyedLeft, keyedRight), uvHalf, uvAvg);
    uv = Select(_mm_and_si128(keyedLeft, keyedRight), uvFrame, uv);  // both keyed: unchanged
    yTarget = Select(keyed, yFrame, y);
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = Mix(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi16(yTarget, uv), w16);
  const __m128i hi = Mix(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi16(yTarget, uv), w16);
  return _mm_packus_epi16(lo, hi);
}

// Steps without a keyed pixel skip the half-group work.
[[gnu::always_inline]] inline __m128i BlendStep(__m128i s0,
                                                __m128i s1,
                                                __m128i keyed,
                                                __m128i f,
                                                __m128i w16) {
  return _mm_movemask_epi8(keyed) == 0 ? BlendGroups4<false>(s0, s1, keyed, f, w16)
                                       : BlendGroups4<true>(s0, s1, keyed, f, w16);
}

struct Consts {
  __m128i w16;      // weight * 16 in every word
  __m128i keyOn;    // all ones when keying is on
  __m128i keyBgrx;  // the key dword in every lane
  __m128i keyWork;  // the key work pixel twice
};

Consts MakeConsts(const BlendCall& call) {
  const WorkPixel& k = call.keyWork;
  return {_mm_set1_epi16(static_cast<short>(call.weight * 16)), _mm_set1_epi32(call.keyOn ? -1 : 0),
          _mm_set1_epi32(static_cast<int>(call.keyBgrx)),
          _mm_set_epi16(k.x, k.r, k.g, k.b, k.x, k.r, k.g, k.b)};
}

// All ones in the 32-bit lane of each BGRX pixel whose B, G, R equal the key.
[[gnu::always_inline]] inline __m128i KeyedBgrx(__m128i s, const Consts& c) {
  const __m128i bgr = _mm_and_si128(s, _mm_set1_epi32(0x00FFFFFF));
  return _mm_and_si128(_mm_cmpeq_epi32(bgr, c.keyBgrx), c.keyOn);
}

// All ones over each work pixel whose words equal the key's; `ignored` marks words that
// always count as equal.
[[gnu::always_inline]] inline __m128i KeyedWork(__m128i v, const Consts& c, __m128i ignored) {
  __m128i eq = _mm_or_si128(_mm_cmpeq_epi16(v, c.keyWork), ignored);
  eq = _mm_cmpeq_epi32(eq, _mm_set1_epi32(-1));
  eq = _mm_and_si128(eq, _mm_shuffle_epi32(eq, 0xB1));
  return _mm_and_si128(eq, c.keyOn);
}

void BgrxGroupsSse2(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * i + 16));
    __m128i* f = reinterpret_cast<__m128i*>(groups + 4 * i);
    const __m128i frame = _mm_loadu_si128(f);
    if (!call.keyOn) {
      _mm_storeu_si128(f, BlendGroups4<false>(s0, s1, frame, frame, c.w16));
    } else {
      const __m128i keyed = _mm_packs_epi32(KeyedBgrx(s0, c), KeyedBgrx(s1, c));
      _mm_storeu_si128(f, BlendStep(s0, s1, keyed, frame, c.w16));
    }
  }
  ref::BgrxGroupsToYuy2(src + 8 * i, groups + 4 * i, count - i, call);
}

void WorkGroupsSse2(const WorkPixel* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  const __m128i none = _mm_setzero_si128();
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i* p = reinterpret_cast<const __m128i*>(src + 2 * i);
    const __m128i w0 = _mm_loadu_si128(p), w1 = _mm_loadu_si128(p + 1);
    const __m128i w2 = _mm_loadu_si128(p + 2), w3 = _mm_loadu_si128(p + 3);
    // Per-pixel masks (two 32-bit lanes each) narrowed to one word per pixel.
    const __m128i k01 = _mm_packs_epi32(KeyedWork(w0, c, none), KeyedWork(w1, c, none));
    const __m128i k23 = _mm_packs_epi32(KeyedWork(w2, c, none), KeyedWork(w3, c, none));
    const __m128i keyed = _mm_packs_epi32(k01, k23);
    __m128i* f = reinterpret_cast<__m128i*>(groups + 4 * i);
    _mm_storeu_si128(f, BlendStep(_mm_packus_epi16(w0, w1), _mm_packus_epi16(w2, w3), keyed,
                                  _mm_loadu_si128(f), c.w16));
  }
  ref::WorkGroupsToYuy2(src + 2 * i, groups + 4 * i, count - i, call);
}

// Two 24-bit frame pixels at d with source words s (B, G, R, X twice) and a keyed mask per
// pixel. The 8-byte load reaches two bytes into the next pixel; only the six bytes of the
// pair are stored, so the next pair's load never waits on a partly overlapping store.
[[gnu::always_inline]] inline void BlendPair(uint8_t* d, __m128i s, __m128i keyed, __m128i w16) {
  const __m128i f = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
  const __m128i fw = _mm_unpacklo_epi8(f, _mm_setzero_si128());  // B0 G0 R0 B1 G1 R1 B2 G2
  const __m128i frame = _mm_unpacklo_epi64(fw, _mm_srli_si128(fw, 6));
  const __m128i out = Select(keyed, frame, Mix(frame, s, w16));
  const __m128i bytes = _mm_packus_epi16(out, out);  // B0 G0 R0 . B1 G1 R1 .
  const __m128i first = _mm_and_si128(bytes, _mm_set_epi32(0, 0, 0, 0x00FFFFFF));
  const __m128i second =
      _mm_srli_epi64(_mm_and_si128(bytes, _mm_set_epi32(0, 0, 0x00FFFFFF, 0)), 8);
  const __m128i packed = _mm_or_si128(first, second);  // B0 G0 R0 B1 G1 R1
  const int32_t low = _mm_cvtsi128_si32(packed);
  const uint16_t high = static_cast<uint16_t>(_mm_extract_epi16(packed, 2));
  std::memcpy(d, &low, 4);
  std::memcpy(d + 4, &high, 2);
}

void BgrxPixelsSse2(const uint8_t* src, uint8_t* pixels, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  int32_t i = 0;
  for (; i + 3 <= count; i += 2) {
    const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + 4 * i));
    const __m128i k = KeyedBgrx(s, c);
    BlendPair(pixels + 3 * i, _mm_unpacklo_epi8(s, _mm_setzero_si128()), _mm_unpacklo_epi32(k, k),
              c.w16);
  }
  ref::BgrxPixelsToRgb24(src + 4 * i, pixels + 3 * i, count - i, call);
}

void WorkPixelsSse2(const WorkPixel* src, uint8_t* pixels, int32_t count, const BlendCall& call) {
  const Consts c = MakeConsts(call);
  const __m128i xWords = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  int32_t i = 0;
  for (; i + 3 <= count; i += 2) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i clamped = _mm_unpacklo_epi8(_mm_packus_epi16(v, v), _mm_setzero_si128());
    BlendPair(pixels + 3 * i, clamped, KeyedWork(v, c, xWords), c.w16);
  }
  ref::WorkPixelsToRgb24(src + i, pixels + 3 * i, count - i, call);
}

}  // namespace

namespace sse2 {

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
  BlendWorkToYuy2With(WorkGroupsSse2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

void BlendWorkToRgb24(const WorkPixel* src,
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
  BlendWorkToRgb24With(WorkPixelsSse2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
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
  BlendBgrxToYuy2With(BgrxGroupsSse2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

void BlendBgrxToRgb24(const uint8_t* src,
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
  BlendBgrxToRgb24With(BgrxPixelsSse2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                       frameH, level, colorKey, keyOn);
}

}  // namespace sse2
}  // namespace zunk
