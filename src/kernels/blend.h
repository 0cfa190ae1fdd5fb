// Blend kernels: draw a work buffer or a BGRX image into a host frame in place, with a
// uniform level (0..100, outside taken as the nearest end) and an optional colour key.
// Per channel out = d + floor((s - d) * w / 256), w = floor(level * 256 / 100). Each variant
// supplies only the row loop of whole groups (format 0) or pixels (format 1); clipping and
// the half groups at the edges are shared.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"
#include "kernels/region.h"

namespace zunk {

// Each kernel has a function type, which declares its variants below, and a pointer type
// for the kernel table.
using BlendWorkKernel = void(const WorkPixel* src,
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
                             int32_t keyOn);
using BlendWorkFn = BlendWorkKernel*;
using BlendBgrxKernel = void(const uint8_t* src,
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
                             int32_t keyOn);
using BlendBgrxFn = BlendBgrxKernel*;

// Row loops: `count` groups (2 * count source pixels) or `count` 24-bit pixels.
using WorkGroupsFn = void (*)(const WorkPixel* src,
                              uint8_t* groups,
                              int32_t count,
                              const BlendCall& call);
using BgrxGroupsFn = void (*)(const uint8_t* src,
                              uint8_t* groups,
                              int32_t count,
                              const BlendCall& call);
using WorkPixelsFn = void (*)(const WorkPixel* src,
                              uint8_t* pixels,
                              int32_t count,
                              const BlendCall& call);
using BgrxPixelsFn = void (*)(const uint8_t* src,
                              uint8_t* pixels,
                              int32_t count,
                              const BlendCall& call);

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
                         int32_t keyOn);
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
                         int32_t keyOn);
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
                          int32_t keyOn);
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
                          int32_t keyOn);

namespace ref {
void WorkGroupsToYuy2(const WorkPixel* src, uint8_t* groups, int32_t count, const BlendCall& call);
void BgrxGroupsToYuy2(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call);
void WorkPixelsToRgb24(const WorkPixel* src, uint8_t* pixels, int32_t count, const BlendCall& call);
void BgrxPixelsToRgb24(const uint8_t* src, uint8_t* pixels, int32_t count, const BlendCall& call);

BlendWorkKernel BlendWorkToYuy2;
BlendWorkKernel BlendWorkToRgb24;
BlendBgrxKernel BlendBgrxToYuy2;
BlendBgrxKernel BlendBgrxToRgb24;
}  // namespace ref

namespace sse2 {
BlendWorkKernel BlendWorkToYuy2;
BlendWorkKernel BlendWorkToRgb24;
BlendBgrxKernel BlendBgrxToYuy2;
BlendBgrxKernel BlendBgrxToRgb24;
}  // namespace sse2

namespace avx2 {
BlendWorkKernel BlendWorkToYuy2;
BlendBgrxKernel BlendBgrxToYuy2;
}  // namespace avx2

namespace avx512 {
BlendBgrxKernel BlendBgrxToYuy2;
}  // namespace avx512

}  // namespace zunk
