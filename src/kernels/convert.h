// Frame region conversion: a rectangle of a host frame (format 0: packed YUV 4:2:2 in YUY2
// byte order, top-down; format 1: 24-bit B, G, R, bottom-up) copied into a work buffer.
// Each variant supplies only the row loop of whole groups or pixels; clipping and the odd
// first and last columns are shared.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Each kernel has a function type, which declares its variants below, and a pointer type
// for the kernel table.
using CopyRegionKernel = void(const uint8_t* frame,
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
                              int32_t workH);
using CopyRegionFn = CopyRegionKernel*;

// Converts `count` whole groups (Y0, U, Y1, V) into 2 * count work pixels.
using Yuy2GroupsFn = void (*)(const uint8_t* groups, int32_t count, WorkPixel* out);
// Converts `count` B, G, R pixels into work pixels with X = 0.
using Rgb24PixelsFn = void (*)(const uint8_t* pixels, int32_t count, WorkPixel* out);

// One luma value with its group's chroma: B = sat(Y + floor(454u/256)),
// G = sat(Y + floor(-86u/256) + floor(-183v/256)), R = sat(Y + floor(359v/256)), X = Y.
WorkPixel YuvToWork(int32_t y, int32_t u, int32_t v);

void CopyRegionFromYuy2With(Yuy2GroupsFn groups,
                            const uint8_t* frame,
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
                            int32_t workH);
void CopyRegionFromRgb24With(Rgb24PixelsFn pixels,
                             const uint8_t* frame,
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
                             int32_t workH);

namespace ref {
void Yuy2GroupsToWork(const uint8_t* groups, int32_t count, WorkPixel* out);
void Rgb24PixelsToWork(const uint8_t* pixels, int32_t count, WorkPixel* out);
CopyRegionKernel CopyRegionFromYuy2;
CopyRegionKernel CopyRegionFromRgb24;
}  // namespace ref

namespace sse2 {
CopyRegionKernel CopyRegionFromYuy2;
CopyRegionKernel CopyRegionFromRgb24;
}  // namespace sse2

namespace avx2 {
CopyRegionKernel CopyRegionFromYuy2;
}  // namespace avx2

}  // namespace zunk
