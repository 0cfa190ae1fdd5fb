// Reference resampling, written straight from the formulas: positions in 16.16 fixed point
// computed afresh for every sample with a 64-bit product, weights in 4096ths, and the
// interpolation b + floor((a - b) * w / 4096) floored toward minus infinity.
#include <cstddef>
#include <cstring>

#include "kernels/resample.h"

namespace zunk {
namespace {

struct Bgr {
  int32_t b, g, r;
};

bool IsKey(const Bgr& p, const WorkPixel& key) {
  return p.b == key.b && p.g == key.g && p.r == key.r;
}

int32_t Lerp(int32_t a, int32_t b, int32_t w) {
  return b + (((a - b) * w) >> 12);
}

// The key rule: a keyed sample never mixes with an unkeyed one.
WorkPixel Interpolate(const Bgr& a, const Bgr& b, int32_t w, bool keyA, bool keyB) {
  Bgr out;
  if (keyA && !keyB) {
    out = b;
  } else if (keyB && !keyA) {
    out = a;
  } else {  // neither keyed, or both (equal values: the key colour)
    out = {Lerp(a.b, b.b, w), Lerp(a.g, b.g, w), Lerp(a.r, b.r, w)};
  }
  return {static_cast<int16_t>(out.b), static_cast<int16_t>(out.g), static_cast<int16_t>(out.r), 0};
}

Bgr FromBgrx(const uint8_t* p) {
  return {p[0], p[1], p[2]};
}

Bgr FromWork(const WorkPixel& p) {
  return {p.b, p.g, p.r};
}

uint8_t Sat8(int32_t v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The column pass compares the intermediate's words, taken as bytes with unsigned
// saturation, with the key.
bool IsKeyWork(const WorkPixel& p, const WorkPixel& key) {
  return Sat8(p.b) == key.b && Sat8(p.g) == key.g && Sat8(p.r) == key.r;
}

}  // namespace

namespace ref {

void ResampleRows(const uint8_t* src,
                  int32_t srcW,
                  int32_t srcH,
                  WorkPixel* tmp,
                  int32_t dstW,
                  const ResampleStep* colSteps,
                  uint32_t colorKey) {
  const WorkPixel key = KeyWorkPixel(colorKey);
  for (int32_t y = 0; y < srcH; ++y) {
    const uint8_t* p = src + static_cast<ptrdiff_t>(y) * srcW * 4;
    WorkPixel* out = tmp + static_cast<ptrdiff_t>(y) * dstW;
    for (int32_t i = 0; i < dstW; ++i) {
      p += colSteps[i].advance;
      const Bgr a = FromBgrx(p), b = FromBgrx(p + colSteps[i].next);
      out[i] = Interpolate(a, b, colSteps[i].weight[0], IsKey(a, key), IsKey(b, key));
    }
  }
}

void ResampleColumns(const WorkPixel* tmp,
                     WorkPixel* dst,
                     int32_t dstW,
                     int32_t dstH,
                     const ResampleStep* rowSteps,
                     uint32_t colorKey) {
  const WorkPixel key = KeyWorkPixel(colorKey);
  const uint8_t* row = reinterpret_cast<const uint8_t*>(tmp);
  for (int32_t j = 0; j < dstH; ++j) {
    row += rowSteps[j].advance;
    const WorkPixel* a = reinterpret_cast<const WorkPixel*>(row);
    const WorkPixel* b = reinterpret_cast<const WorkPixel*>(row + rowSteps[j].next);
    WorkPixel* out = dst + static_cast<ptrdiff_t>(j) * dstW;
    for (int32_t i = 0; i < dstW; ++i) {
      out[i] = Interpolate(FromWork(a[i]), FromWork(b[i]), rowSteps[j].weight[0],
                           IsKeyWork(a[i], key), IsKeyWork(b[i], key));
    }
  }
}

void ResampleBgrxToWork(const uint8_t* src,
                        int32_t srcW,
                        int32_t srcH,
                        WorkPixel* dst,
                        int32_t dstW,
                        int32_t dstH,
                        WorkPixel* tmp,
                        ResampleStep* colSteps,
                        ResampleStep* rowSteps,
                        uint32_t colorKey) {
  ResampleBgrxToWorkWith(ResampleRows, ResampleColumns, src, srcW, srcH, dst, dstW, dstH, tmp,
                         colSteps, rowSteps, colorKey);
}

}  // namespace ref
}  // namespace zunk
