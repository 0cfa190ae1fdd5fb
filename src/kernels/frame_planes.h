// The frame's search area as byte planes, straight from the frame: the B, G, R bytes that
// the region conversion (convert.h) would give its pixels, each channel in a plane of its
// own, as the placement sums (placement_sad.h) read them. No work buffer in between.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Each kernel has a function type, which declares its variants below, and a pointer type
// for the kernel table.
//
// The rectangle x0 <= x < x1, y0 <= y < y1 of a frameW x frameH frame (format 0 packed YUV
// 4:2:2 in YUY2 byte order, top-down; format 1 24-bit B, G, R, bottom-up) into three planes
// of w = x1 - x0 bytes by h = y1 - y0 rows, B then G then R, at `planes`. Returns false,
// with the planes not all written, when the rectangle is empty or does not lie inside the
// frame (for format 0 inside its whole groups), or when one of its pixels equals the key in
// all four words of its work pixel (B, G, R and X: the luma for format 0, 0 for format 1);
// the caller then takes the work buffer's way.
using FramePlanesKernel = bool(const uint8_t* frame,
                               int32_t x0,
                               int32_t y0,
                               int32_t x1,
                               int32_t y1,
                               int32_t frameW,
                               int32_t frameH,
                               uint32_t colorKey,
                               uint8_t* planes);
using FramePlanesFn = FramePlanesKernel*;

// The row loops a variant supplies. `count` whole YUY2 groups (2 * count pixels) or
// `count` 24-bit pixels into b[0..], g[0..], r[0..]; each returns true when one of the
// pixels equals `key` (a work pixel B, G, R, 0) in all four words.
using Yuy2PlanesRowFn = bool (*)(const uint8_t* groups,
                                 int32_t count,
                                 uint8_t* b,
                                 uint8_t* g,
                                 uint8_t* r,
                                 WorkPixel key);
using Rgb24PlanesRowFn = bool (*)(const uint8_t* pixels,
                                  int32_t count,
                                  uint8_t* b,
                                  uint8_t* g,
                                  uint8_t* r,
                                  WorkPixel key);

// The rectangle's checks and rows shared by every variant; the half groups at the edges of a
// YUY2 row go through the reference formula.
bool Yuy2PlanesWith(Yuy2PlanesRowFn rowFn,
                    const uint8_t* frame,
                    int32_t x0,
                    int32_t y0,
                    int32_t x1,
                    int32_t y1,
                    int32_t frameW,
                    int32_t frameH,
                    uint32_t colorKey,
                    uint8_t* planes);
bool Rgb24PlanesWith(Rgb24PlanesRowFn rowFn,
                     const uint8_t* frame,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     int32_t frameW,
                     int32_t frameH,
                     uint32_t colorKey,
                     uint8_t* planes);

namespace ref {
bool Yuy2PlanesRow(const uint8_t* groups,
                   int32_t count,
                   uint8_t* b,
                   uint8_t* g,
                   uint8_t* r,
                   WorkPixel key);
bool Rgb24PlanesRow(const uint8_t* pixels,
                    int32_t count,
                    uint8_t* b,
                    uint8_t* g,
                    uint8_t* r,
                    WorkPixel key);
FramePlanesKernel FramePlanesFromYuy2;
FramePlanesKernel FramePlanesFromRgb24;
}  // namespace ref

namespace sse2 {
FramePlanesKernel FramePlanesFromYuy2;
FramePlanesKernel FramePlanesFromRgb24;
}  // namespace sse2

namespace avx2 {
FramePlanesKernel FramePlanesFromYuy2;
}  // namespace avx2

}  // namespace zunk
