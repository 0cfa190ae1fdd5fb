// Reference matching kernels, written straight from the formulas. Sums are unsigned 32-bit
// (wrapping), divisions unsigned and rounding down. Differences: MaskedMeanAbsDiff saturates
// A - T to the signed 16-bit range; MaskedMeanAbsDiffRow wraps it around, and the absolute
// value of the wrapped -32768 is 32768.
#include <cstddef>
#include <cstring>

#include "kernels/match.h"

namespace zunk {
namespace {

bool IsKey(const WorkPixel& p, uint64_t keyBits) {
  uint64_t bits;
  std::memcpy(&bits, &p, sizeof bits);
  return bits == keyBits;
}

const WorkPixel* At(const WorkPixel* img, int32_t w, int32_t x, int32_t y) {
  return img + static_cast<ptrdiff_t>(y) * w + x;
}

uint32_t AbsSaturated(int16_t a, int16_t t) {
  int32_t d = int32_t{a} - t;
  d = d < -32768 ? -32768 : d > 32767 ? 32767 : d;
  return static_cast<uint32_t>(d < 0 ? -d : d);
}

uint32_t AbsWrapped(int16_t a, int16_t t) {
  const int16_t d = static_cast<int16_t>(static_cast<uint16_t>(a) - static_cast<uint16_t>(t));
  return static_cast<uint32_t>(d < 0 ? -int32_t{d} : d);
}

}  // namespace

uint64_t KeyBits(uint32_t colorKey) {
  const WorkPixel key = KeyWorkPixel(colorKey);
  uint64_t bits;
  std::memcpy(&bits, &key, sizeof bits);
  return bits;
}

uint16_t MeanGreyLevel(uint64_t mean) {
  const uint16_t b = mean & 0xFFFF, g = (mean >> 16) & 0xFFFF, r = (mean >> 32) & 0xFFFF;
  // Exact for a mean of bytes (white gives 254).
  const uint16_t sum = static_cast<uint16_t>(b + g + r);
  return static_cast<uint16_t>(static_cast<uint16_t>(sum * 85u) >> 8);
}

namespace ref {

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
  const uint64_t key = KeyBits(colorKey);
  uint32_t sumB = 0, sumG = 0, sumR = 0, n = 0;
  for (int32_t j = 0; j < y1 - y0; ++j) {
    for (int32_t i = 0; i < x1 - x0; ++i) {
      if (IsKey(*At(tpl, tplW, i, j), key))
        continue;
      const WorkPixel& p = *At(a, aW, x0 + i, y0 + j);
      sumB += static_cast<uint16_t>(p.b);
      sumG += static_cast<uint16_t>(p.g);
      sumR += static_cast<uint16_t>(p.r);
      ++n;
    }
  }
  *outMean = n == 0 ? 0 : uint64_t{sumB / n} | uint64_t{sumG / n} << 16 | uint64_t{sumR / n} << 32;
}

void SubtractMeanGrey(WorkPixel* buf, int32_t w, int32_t h, uint32_t colorKey, uint64_t mean) {
  if (w <= 0 || h <= 0)
    return;
  const uint16_t grey = MeanGreyLevel(mean);
  const uint64_t key = KeyBits(colorKey);
  const ptrdiff_t count = static_cast<ptrdiff_t>(w) * h;
  for (ptrdiff_t i = 0; i < count; ++i) {
    WorkPixel& p = buf[i];
    if (IsKey(p, key))
      continue;
    p.b = static_cast<int16_t>(static_cast<uint16_t>(p.b) - grey);
    p.g = static_cast<int16_t>(static_cast<uint16_t>(p.g) - grey);
    p.r = static_cast<int16_t>(static_cast<uint16_t>(p.r) - grey);
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
  const uint64_t key = KeyBits(colorKey);
  uint32_t sumB = 0, sumG = 0, sumR = 0, n = 0;
  for (int32_t j = 0; j < y1 - y0; ++j) {
    for (int32_t i = 0; i < x1 - x0; ++i) {
      const WorkPixel& t = *At(tpl, tplW, i, j);
      if (IsKey(t, key))
        continue;
      const WorkPixel& p = *At(a, aW, x0 + i, y0 + j);
      sumB += AbsSaturated(p.b, t.b);
      sumG += AbsSaturated(p.g, t.g);
      sumR += AbsSaturated(p.r, t.r);
      ++n;
    }
  }
  *outR = n == 0 ? 0 : sumR / n;
  *outG = n == 0 ? 0 : sumG / n;
  *outB = n == 0 ? 0 : sumB / n;
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
  const uint64_t key = KeyBits(colorKey);
  uint32_t n = 0;
  for (int32_t ty = 0; ty < tplH; ++ty) {
    for (int32_t tx = 0; tx < tplW; ++tx) {
      const WorkPixel& t = *At(tpl, tplW, tx, ty);
      if (IsKey(t, key))
        continue;
      ++n;
      const WorkPixel* row = At(a, aW, cx - r + tx, cy + ty);
      for (int32_t k = 0; k < m; ++k) {
        out[k].b += AbsWrapped(row[k].b, t.b);
        out[k].g += AbsWrapped(row[k].g, t.g);
        out[k].r += AbsWrapped(row[k].r, t.r);
        out[k].x += AbsWrapped(row[k].x, t.x);
      }
    }
  }
  if (n == 0)
    return;
  for (int32_t k = 0; k < m; ++k) {
    out[k] = {out[k].b / n, out[k].g / n, out[k].r / n, out[k].x / n};
  }
}

}  // namespace ref
}  // namespace zunk
