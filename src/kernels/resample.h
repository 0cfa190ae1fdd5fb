// Template resampling: a BGRX image scaled to a work buffer, separably (rows, then columns)
// and linearly, aware of the colour key so that the key colour survives exactly and is never
// mixed with a logo pixel. Each variant supplies the two passes; the step tables, the size
// checks and the plain copies of an unscaled axis are shared.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Each kernel has a function type, which declares its variants below, and a pointer type
// for the kernel table.
using ResampleKernel = void(const uint8_t* src,
                            int32_t srcW,
                            int32_t srcH,
                            WorkPixel* dst,
                            int32_t dstW,
                            int32_t dstH,
                            WorkPixel* tmp,
                            ResampleStep* colSteps,
                            ResampleStep* rowSteps,
                            uint32_t colorKey);
using ResampleFn = ResampleKernel*;

// Row pass: every source row into the tmp row of dstW pixels, by the column table.
using ResampleRowsFn = void (*)(const uint8_t* src,
                                int32_t srcW,
                                int32_t srcH,
                                WorkPixel* tmp,
                                int32_t dstW,
                                const ResampleStep* colSteps,
                                uint32_t colorKey);
// Column pass: tmp (dstW x srcH) into dst (dstW x dstH), by the row table.
using ResampleColumnsFn = void (*)(const WorkPixel* tmp,
                                   WorkPixel* dst,
                                   int32_t dstW,
                                   int32_t dstH,
                                   const ResampleStep* rowSteps,
                                   uint32_t colorKey);

// Fills m entries for n source samples: sample i sits at (i + 1/2) n / m - 1/2 in 16.16
// fixed point; the first sample index p is clamped to 0..n-1 and so is the second, p + 1,
// so an enlargement never reads outside the source. unit = bytes per sample.
void BuildResampleSteps(int32_t n, int32_t m, int32_t unit, ResampleStep* steps);

void ResampleBgrxToWorkWith(ResampleRowsFn rows,
                            ResampleColumnsFn columns,
                            const uint8_t* src,
                            int32_t srcW,
                            int32_t srcH,
                            WorkPixel* dst,
                            int32_t dstW,
                            int32_t dstH,
                            WorkPixel* tmp,
                            ResampleStep* colSteps,
                            ResampleStep* rowSteps,
                            uint32_t colorKey);

namespace ref {
void ResampleRows(const uint8_t* src,
                  int32_t srcW,
                  int32_t srcH,
                  WorkPixel* tmp,
                  int32_t dstW,
                  const ResampleStep* colSteps,
                  uint32_t colorKey);
void ResampleColumns(const WorkPixel* tmp,
                     WorkPixel* dst,
                     int32_t dstW,
                     int32_t dstH,
                     const ResampleStep* rowSteps,
                     uint32_t colorKey);
ResampleKernel ResampleBgrxToWork;
}  // namespace ref

namespace sse2 {
ResampleKernel ResampleBgrxToWork;
}  // namespace sse2

}  // namespace zunk
