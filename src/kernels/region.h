// The source rectangle and destination position of a region kernel, the clipping step that
// makes them fit both images, and the per-call record of the blend kernels.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Source rectangle x0 <= x < x1, y0 <= y < y1 in a srcW x srcH image; source pixel (x0, y0)
// lands at (dstX, dstY) of a dstW x dstH image.
struct Region {
  int32_t srcX0, srcY0, srcX1, srcY1;
  int32_t srcW, srcH;
  int32_t dstX, dstY;
  int32_t dstW, dstH;
};

// Clips the rectangle and the destination position against both images, step by step:
// origin left/above the source, end beyond the source, destination origin outside, then the
// destination's right and bottom edges. Returns false when nothing is left to do (also for
// any image size <= 0). On true, every source pixel (srcX0 + i, srcY0 + j) with
// i < srcX1 - srcX0, j < srcY1 - srcY0 maps to (dstX + i, dstY + j) inside both images.
bool ClipRegion(Region* r);

// The per-call record of a blend: the source's share in 256ths and the key in both forms.
struct BlendCall {
  int32_t weight;     // floor(level * 256 / 100), level clamped to 0..100
  bool keyOn;         // bit 0 of keyOn
  uint32_t keyBgrx;   // the key as a BGRX dword with X = 0
  WorkPixel keyWork;  // the key as a work pixel B, G, R, 0
};

// Levels outside 0..100 are taken as the nearest end of the range.
int32_t BlendWeight(int32_t level);
BlendCall MakeBlendCall(int32_t level, uint32_t colorKey, int32_t keyOn);

}  // namespace zunk
