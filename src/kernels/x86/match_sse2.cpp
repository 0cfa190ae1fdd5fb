// SSE2 matching kernels: two work pixels per register. The row kernel sums absolute
// differences of a block of placements in 16-bit lanes over runs of template pixels short
// enough never to overflow (AbsDiffRun), then widens the sums to 32 bits.
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/match.h"

namespace zunk {
namespace {

#if defined(__x86_64__)
constexpr int kBlockVectors = 8;  // 16 xmm registers
#else
constexpr int kBlockVectors = 4;  // 8 xmm registers on i686
#endif

__m128i Load2(const WorkPixel* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__m128i Load1(const WorkPixel* p) {
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}
__m128i KeyVector(uint64_t keyBits) {
  return _mm_set_epi32(static_cast<int>(keyBits >> 32), static_cast<int>(keyBits),
                       static_cast<int>(keyBits >> 32), static_cast<int>(keyBits));
}

// All ones over each pixel that differs from the key in any word.
__m128i NonKeyMask(__m128i t, __m128i key) {
  __m128i eq = _mm_cmpeq_epi32(t, key);
  eq = _mm_and_si128(eq, _mm_shuffle_epi32(eq, 0xB1));
  return _mm_xor_si128(eq, _mm_set1_epi32(-1));
}

__m128i Abs16(__m128i d) {
  return _mm_max_epi16(d, _mm_sub_epi16(_mm_setzero_si128(), d));
}

// Adds the four words of each masked pixel, widened to 32 bits, into sum.
__m128i AddWidened(__m128i sum, __m128i v) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_add_epi32(sum,
                       _mm_add_epi32(_mm_unpacklo_epi16(v, zero), _mm_unpackhi_epi16(v, zero)));
}

// Walks the template's rectangle two pixels at a time; `term` gives the words to add for a
// pair of (a, t) registers, masked afterwards to the non-key pixels. Returns the sums of B,
// G, R, X in 32-bit lanes and the count of non-key pixels.
template <typename Term>
__m128i MaskedSums(const WorkPixel* a,
                   int32_t aW,
                   const WorkPixel* tpl,
                   int32_t tplW,
                   int32_t x0,
                   int32_t y0,
                   int32_t x1,
                   int32_t y1,
                   uint32_t colorKey,
                   Term term,
                   uint32_t* counted) {
  const __m128i key = KeyVector(KeyBits(colorKey));
  const __m128i lowPixel = _mm_set_epi32(0, 0, -1, -1);
  __m128i sum = _mm_setzero_si128();
  __m128i count = _mm_setzero_si128();
  const int32_t w = x1 - x0;
  for (int32_t j = 0; j < y1 - y0; ++j) {
    const WorkPixel* t = tpl + static_cast<ptrdiff_t>(j) * tplW;
    const WorkPixel* p = a + static_cast<ptrdiff_t>(y0 + j) * aW + x0;
    int32_t i = 0;
    for (; i + 2 <= w; i += 2) {
      const __m128i tv = Load2(t + i);
      const __m128i keep = NonKeyMask(tv, key);
      sum = AddWidened(sum, _mm_and_si128(term(Load2(p + i), tv), keep));
      count = _mm_sub_epi32(count, keep);
    }
    if (i < w) {
      const __m128i tv = Load1(t + i);
      const __m128i keep = _mm_and_si128(NonKeyMask(tv, key), lowPixel);
      sum = AddWidened(sum, _mm_and_si128(term(Load1(p + i), tv), keep));
      count = _mm_sub_epi32(count, keep);
    }
  }
  alignas(16) uint32_t c[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(c), count);
  *counted = c[0] + c[2];
  return sum;
}

// Sums |A - T| (16-bit wrap-around) of one block of placements. `a` points at the area's
// pixel for the block's first placement and the template's first row.
template <int NV, bool kHalfLast>
void RowBlock(const WorkPixel* a,
              int32_t aW,
              const WorkPixel* tpl,
              int32_t tplW,
              int32_t tplH,
              uint64_t keyBits,
              int32_t run,
              __m128i* acc) {
  const __m128i zero = _mm_setzero_si128();
  for (int32_t ty = 0; ty < tplH; ++ty) {
    const WorkPixel* trow = tpl + static_cast<ptrdiff_t>(ty) * tplW;
    const WorkPixel* arow = a + static_cast<ptrdiff_t>(ty) * aW;
    for (int32_t tx = 0; tx < tplW;) {
      const int32_t end = tplW - tx > run ? tx + run : tplW;
      __m128i s[NV];
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v)
        s[v] = zero;
      for (; tx < end; ++tx) {
        uint64_t bits;
        std::memcpy(&bits, trow + tx, sizeof bits);
        if (bits == keyBits)
          continue;
        const __m128i t = _mm_unpacklo_epi64(Load1(trow + tx), Load1(trow + tx));
        const WorkPixel* p = arow + tx;
#pragma GCC unroll 16
        for (int v = 0; v < NV; ++v) {
          const __m128i x = (kHalfLast && v == NV - 1) ? Load1(p + 2 * v) : Load2(p + 2 * v);
          s[v] = _mm_add_epi16(s[v], Abs16(_mm_sub_epi16(x, t)));
        }
      }
#pragma GCC unroll 16
      for (int v = 0; v < NV; ++v) {
        acc[2 * v] = _mm_add_epi32(acc[2 * v], _mm_unpacklo_epi16(s[v], zero));
        acc[2 * v + 1] = _mm_add_epi32(acc[2 * v + 1], _mm_unpackhi_epi16(s[v], zero));
      }
    }
  }
}

template <int NV>
void RunBlock(int nv,
              bool halfLast,
              const WorkPixel* a,
              int32_t aW,
              const WorkPixel* tpl,
              int32_t tplW,
              int32_t tplH,
              uint64_t keyBits,
              int32_t run,
              __m128i* acc) {
  if constexpr (NV > 0) {
    if (nv != NV) {
      RunBlock<NV - 1>(nv, halfLast, a, aW, tpl, tplW, tplH, keyBits, run, acc);
    } else if (halfLast) {
      RowBlock<NV, true>(a, aW, tpl, tplW, tplH, keyBits, run, acc);
    } else {
      RowBlock<NV, false>(a, aW, tpl, tplW, tplH, keyBits, run, acc);
    }
  }
}

// Smallest and largest word of `count` pixels, into the running min and max.
void MinMax(const WorkPixel* p, int32_t count, __m128i* lo, __m128i* hi) {
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128i v = Load2(p + i);
    *lo = _mm_min_epi16(*lo, v);
    *hi = _mm_max_epi16(*hi, v);
  }
  if (i < count) {
    const __m128i v = _mm_unpacklo_epi64(Load1(p + i), Load1(p + i));
    *lo = _mm_min_epi16(*lo, v);
    *hi = _mm_max_epi16(*hi, v);
  }
}

int32_t Horizontal(__m128i v, bool wantMax) {
  alignas(16) int16_t w[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(w), v);
  int32_t r = w[0];
  for (int i = 1; i < 8; ++i)
    r = wantMax ? (w[i] > r ? w[i] : r) : (w[i] < r ? w[i] : r);
  return r;
}

}  // namespace

namespace sse2 {

int32_t AbsDiffRun(const WorkPixel* area,
                   int32_t aW,
                   int32_t areaW,
                   int32_t rows,
                   const WorkPixel* tpl,
                   int32_t tplW,
                   int32_t tplH,
                   uint64_t keyBits,
                   uint32_t* counted) {
  __m128i loA = _mm_set1_epi16(32767), hiA = _mm_set1_epi16(-32768);
  __m128i loT = loA, hiT = hiA;
  for (int32_t y = 0; y < rows; ++y)
    MinMax(area + static_cast<ptrdiff_t>(y) * aW, areaW, &loA, &hiA);
  uint32_t n = 0;
  const ptrdiff_t tplCount = static_cast<ptrdiff_t>(tplW) * tplH;
  MinMax(tpl, static_cast<int32_t>(tplCount), &loT, &hiT);
  for (ptrdiff_t i = 0; i < tplCount; ++i) {
    uint64_t bits;
    std::memcpy(&bits, tpl + i, sizeof bits);
    n += bits != keyBits;
  }
  *counted = n;
  // A - T lies in [minA - maxT, maxA - minT]; without wrap-around |A - T| is at most the
  // larger end's magnitude, with it at most 32768.
  const int32_t up = Horizontal(hiA, true) - Horizontal(loT, false);
  const int32_t down = Horizontal(hiT, true) - Horizontal(loA, false);
  const int32_t bound = (up > 32767 || down > 32768) ? 32768 : (up > down ? up : down);
  int32_t run = bound <= 0 ? tplW : 65535 / bound;
  return run < 1 ? 1 : run;
}

void MaskedMeanColour(const WorkPixel* a,
                      int32_t aW,
                      int32_t aH,
                      const WorkPixel* tpl,
                      int32_t tplW,
                      int32_t tplH,
                      int32_t x0,
                      int32_t y0,
                      int32_t x1,
                      int32_t y1,
                      uint32_t colorKey,
                      uint64_t* outMean) {
  uint32_t n = 0;
  const __m128i sum = MaskedSums(
      a, aW, tpl, tplW, x0, y0, x1, y1, colorKey, [](__m128i p, __m128i) { return p; }, &n);
  alignas(16) uint32_t s[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(s), sum);
  *outMean = n == 0 ? 0 : uint64_t{s[0] / n} | uint64_t{s[1] / n} << 16 | uint64_t{s[2] / n} << 32;
}

void SubtractMeanGrey(WorkPixel* buf, int32_t w, int32_t h, uint32_t colorKey, uint64_t mean) {
  if (w <= 0 || h <= 0)
    return;
  const uint16_t sum =
      static_cast<uint16_t>((mean & 0xFFFF) + ((mean >> 16) & 0xFFFF) + ((mean >> 32) & 0xFFFF));
  const int16_t grey = static_cast<int16_t>(static_cast<uint16_t>(sum * 85u) >> 8);
  const __m128i greyBgr = _mm_set_epi16(0, grey, grey, grey, 0, grey, grey, grey);
  const __m128i key = KeyVector(KeyBits(colorKey));
  const ptrdiff_t count = static_cast<ptrdiff_t>(w) * h;
  ptrdiff_t i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128i v = Load2(buf + i);
    const __m128i sub = _mm_and_si128(NonKeyMask(v, key), greyBgr);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(buf + i), _mm_sub_epi16(v, sub));
  }
  if (i < count) {
    const __m128i v = Load1(buf + i);
    const __m128i sub = _mm_and_si128(NonKeyMask(v, key), greyBgr);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(buf + i), _mm_sub_epi16(v, sub));
  }
}

void MaskedMeanAbsDiff(const WorkPixel* a,
                       int32_t aW,
                       int32_t aH,
                       const WorkPixel* tpl,
                       int32_t tplW,
                       int32_t tplH,
                       int32_t x0,
                       int32_t y0,
                       int32_t x1,
                       int32_t y1,
                       uint32_t colorKey,
                       uint32_t* outR,
                       uint32_t* outG,
                       uint32_t* outB) {
  uint32_t n = 0;
  const __m128i sum = MaskedSums(
      a, aW, tpl, tplW, x0, y0, x1, y1, colorKey,
      [](__m128i p, __m128i t) { return Abs16(_mm_subs_epi16(p, t)); }, &n);
  alignas(16) uint32_t s[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(s), sum);
  *outR = n == 0 ? 0 : s[2] / n;
  *outG = n == 0 ? 0 : s[1] / n;
  *outB = n == 0 ? 0 : s[0] / n;
}

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
  const int32_t run = AbsDiffRun(area, aW, m + tplW - 1, tplH, tpl, tplW, tplH, keyBits, &n);
  if (n == 0)
    return;
  constexpr int kEntries = 2 * kBlockVectors;
  for (int32_t k0 = 0; k0 < m; k0 += kEntries) {
    const int32_t entries = m - k0 < kEntries ? m - k0 : kEntries;
    __m128i acc[kEntries];
    for (__m128i& v : acc)
      v = _mm_setzero_si128();
    RunBlock<kBlockVectors>((entries + 1) / 2, entries & 1, area + k0, aW, tpl, tplW, tplH, keyBits,
                            run, acc);
    for (int32_t e = 0; e < entries; ++e) {
      alignas(16) uint32_t s[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(s), acc[e]);
      out[k0 + e] = {s[0] / n, s[1] / n, s[2] / n, s[3] / n};
    }
  }
}

}  // namespace sse2
}  // namespace zunk
