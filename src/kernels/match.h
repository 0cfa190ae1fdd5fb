// Matching kernels: compare a work buffer with the logo template (also a work buffer),
// counting only the template's non-key pixels. A template pixel is keyed when its four words
// equal the key's B, G, R and 0. None of these kernels clips: the caller guarantees that
// every pixel named lies inside both buffers. Empty sizes enter no loop; the outputs are then
// those of a template without counted pixels (zeros).
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Each kernel has a function type, which declares its variants below, and a pointer type
// for the kernel table.
// Mean B, G, R (words 0..2 of *outMean, word 3 = 0) of a's pixels under the template.
using MaskedMeanColourKernel = void(const WorkPixel* a,
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
                                    uint64_t* outMean);
using MaskedMeanColourFn = MaskedMeanColourKernel*;
// Subtracts the grey level of `mean` from B, G, R of every pixel not equal to the key.
using SubtractMeanGreyKernel =
    void(WorkPixel* buf, int32_t w, int32_t h, uint32_t colorKey, uint64_t mean);
using SubtractMeanGreyFn = SubtractMeanGreyKernel*;
// Mean absolute difference per channel at one placement; note the order red, green, blue.
using MaskedMeanAbsDiffKernel = void(const WorkPixel* a,
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
                                     uint32_t* outB);
using MaskedMeanAbsDiffFn = MaskedMeanAbsDiffKernel*;
// Mean absolute differences for the 2r + 1 placements cx - r .. cx + r at row cy.
using MaskedMeanAbsDiffRowKernel = void(const WorkPixel* a,
                                        int32_t aW,
                                        int32_t aH,
                                        const WorkPixel* tpl,
                                        int32_t tplW,
                                        int32_t tplH,
                                        int32_t cx,
                                        int32_t cy,
                                        DiffEntry* out,
                                        int32_t r,
                                        uint32_t colorKey);
using MaskedMeanAbsDiffRowFn = MaskedMeanAbsDiffRowKernel*;

namespace ref {
MaskedMeanColourKernel MaskedMeanColour;
SubtractMeanGreyKernel SubtractMeanGrey;
MaskedMeanAbsDiffKernel MaskedMeanAbsDiff;
MaskedMeanAbsDiffRowKernel MaskedMeanAbsDiffRow;
}  // namespace ref

namespace sse2 {
MaskedMeanColourKernel MaskedMeanColour;
SubtractMeanGreyKernel SubtractMeanGrey;
MaskedMeanAbsDiffKernel MaskedMeanAbsDiff;
MaskedMeanAbsDiffRowKernel MaskedMeanAbsDiffRow;

// For the SIMD row kernels: counts the template's non-key pixels into *counted and returns
// how many template pixels of a row may have their absolute differences summed in 16-bit
// lanes without overflow, judged from the value ranges of the template and of the searched
// area (areaW x rows pixels at `area`). 1 when a difference may wrap around.
int32_t AbsDiffRun(const WorkPixel* area,
                   int32_t aW,
                   int32_t areaW,
                   int32_t rows,
                   const WorkPixel* tpl,
                   int32_t tplW,
                   int32_t tplH,
                   uint64_t keyBits,
                   uint32_t* counted);
}  // namespace sse2

namespace avx2 {
MaskedMeanAbsDiffRowKernel MaskedMeanAbsDiffRow;
}  // namespace avx2

// The grey level of a mean colour (words 0..2 of `mean`) that SubtractMeanGrey removes:
// (B + G + R) * 85 / 256 in 16-bit arithmetic.
uint16_t MeanGreyLevel(uint64_t mean);

// The key as the 64-bit value of a work pixel B, G, R, 0.
uint64_t KeyBits(uint32_t colorKey);

}  // namespace zunk
