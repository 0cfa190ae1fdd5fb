// Colour blends: one colour blended into a rectangle of a host frame in place, byte for byte
// as BlendBgrxToYuy2 and BlendBgrxToRgb24 blend a source image of that colour with keying
// off. In a packed 4:2:2 frame only the groups that lie wholly inside the rectangle are
// blended: each becomes Y, U, Y, V of the colour. The rectangle is clipped to the frame;
// level as in the other blends (0..100, outside taken as the nearest end).
#pragma once

#include <cstdint>

namespace zunk {

using BlendColourKernel = void(uint32_t colour,  // 0x00BBGGRR
                               int32_t x0,
                               int32_t y0,
                               int32_t x1,
                               int32_t y1,
                               uint8_t* frame,
                               int32_t frameW,
                               int32_t frameH,
                               int32_t level);
using BlendColourFn = BlendColourKernel*;

// The row loop: `count` frame bytes, the first one at the start of a pixel or group, each
// moved toward its byte of `pattern` (the colour's bytes repeated over 48 bytes, a whole
// number of 3-byte pixels and 4-byte groups) by out = d + floor((t - d) * w / 256).
using ColourBytesFn = void (*)(uint8_t* bytes,
                               int32_t count,
                               const uint8_t* pattern,
                               int32_t weight);
constexpr int32_t kColourPatternBytes = 48;

// Clipping, the pattern and the rows, shared by every variant.
void BlendColourWith(ColourBytesFn bytes,
                     int32_t format,
                     uint32_t colour,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     uint8_t* frame,
                     int32_t frameW,
                     int32_t frameH,
                     int32_t level);

namespace ref {
void ColourBytes(uint8_t* bytes, int32_t count, const uint8_t* pattern, int32_t weight);
BlendColourKernel BlendColourToYuy2;
BlendColourKernel BlendColourToRgb24;
}  // namespace ref

namespace sse2 {
BlendColourKernel BlendColourToYuy2;
BlendColourKernel BlendColourToRgb24;
}  // namespace sse2

}  // namespace zunk
