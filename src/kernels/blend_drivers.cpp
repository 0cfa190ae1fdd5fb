// The region walk shared by every blend variant: clipping, the per-call record, the rows of
// the frame in either orientation, and the half groups at the edges of a packed 4:2:2 row,
// which are blended here with the reference formulas; the variant blends the whole groups
// or pixels between.
#include <cstddef>

#include "kernels/blend.h"
#include "kernels/blend_pixel.h"

namespace zunk {
namespace {

using namespace blendpx;

// Source pixel `x` of row `y`: kPixel elements of Src per pixel.
template <int kPixel, typename Src>
const Src* SourceAt(const Src* src, int32_t srcW, int32_t x, int32_t y) {
  return src + (static_cast<ptrdiff_t>(y) * srcW + x) * kPixel;
}

template <int kPixel, typename Src, typename GroupsFn, typename Fetch>
void BlendToYuy2(GroupsFn groups,
                 Fetch fetch,
                 const Src* src,
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
  // With an odd frame width the last column has no complete group; it is left alone.
  Region rg{x0, y0, x1, y1, srcW, srcH, dstX, dstY, frameW & ~1, frameH};
  if (!ClipRegion(&rg))
    return;
  const BlendCall call = MakeBlendCall(level, colorKey, keyOn);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 2;
  const int32_t rows = rg.srcY1 - rg.srcY0;
  for (int32_t j = 0; j < rows; ++j) {
    uint8_t* row = frame + (rg.dstY + j) * stride;
    int32_t sx = rg.srcX0, dx = rg.dstX;
    const int32_t sy = rg.srcY0 + j;
    if (dx & 1) {  // right half of the group one column to the left
      BlendGroup(row + (dx - 1) * 2, kExcluded, fetch(SourceAt<kPixel>(src, srcW, sx, sy), call),
                 call.weight);
      ++sx;
      ++dx;
    }
    const int32_t pairs = (rg.srcX1 - sx) / 2;
    if (pairs > 0) {
      groups(SourceAt<kPixel>(src, srcW, sx, sy), row + dx * 2, pairs, call);
      sx += 2 * pairs;
      dx += 2 * pairs;
    }
    if (sx != rg.srcX1) {  // left half of the last group
      BlendGroup(row + dx * 2, fetch(SourceAt<kPixel>(src, srcW, sx, sy), call), kExcluded,
                 call.weight);
    }
  }
}

template <int kPixel, typename Src, typename PixelsFn>
void BlendToRgb24(PixelsFn pixels,
                  const Src* src,
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
  Region rg{x0, y0, x1, y1, srcW, srcH, dstX, dstY, frameW, frameH};
  if (!ClipRegion(&rg))
    return;
  const BlendCall call = MakeBlendCall(level, colorKey, keyOn);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 3;
  const int32_t cols = rg.srcX1 - rg.srcX0;
  const int32_t rows = rg.srcY1 - rg.srcY0;
  for (int32_t j = 0; j < rows; ++j) {
    // Bottom-up: frame row y lies at memory row frameH - 1 - y.
    uint8_t* row = frame + (frameH - 1 - rg.dstY - j) * stride + rg.dstX * 3;
    pixels(SourceAt<kPixel>(src, srcW, rg.srcX0, rg.srcY0 + j), row, cols, call);
  }
}

SourcePixel FetchWorkYuy2(const WorkPixel* p, const BlendCall& call) {
  return FromWork(*p, call, true);
}

}  // namespace

void BlendWorkToYuy2With(WorkGroupsFn groups,
                         const WorkPixel* src,
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
  BlendToYuy2<1>(groups, FetchWorkYuy2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                 frameH, level, colorKey, keyOn);
}

void BlendBgrxToYuy2With(BgrxGroupsFn groups,
                         const uint8_t* src,
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
  BlendToYuy2<4>(groups, FromBgrx, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                 frameH, level, colorKey, keyOn);
}

void BlendWorkToRgb24With(WorkPixelsFn pixels,
                          const WorkPixel* src,
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
  BlendToRgb24<1>(pixels, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW, frameH, level,
                  colorKey, keyOn);
}

void BlendBgrxToRgb24With(BgrxPixelsFn pixels,
                          const uint8_t* src,
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
  BlendToRgb24<4>(pixels, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW, frameH, level,
                  colorKey, keyOn);
}

}  // namespace zunk
