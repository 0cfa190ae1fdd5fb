// Reference colour blends and the shared row walk. The colour's target bytes come from the
// reference group blend itself (a group of two pixels of the colour at full weight), so
// they are the BGRX blend's by construction.
#include <algorithm>

#include "kernels/blend_pixel.h"
#include "kernels/colour_blend.h"
#include "kernels/region.h"

namespace zunk {
namespace {

void Pattern(int32_t format, uint32_t colour, uint8_t* pattern) {
  const blendpx::SourcePixel s = {static_cast<int32_t>((colour >> 16) & 0xFF),
                                  static_cast<int32_t>((colour >> 8) & 0xFF),
                                  static_cast<int32_t>(colour & 0xFF), true};
  uint8_t unit[4] = {0, 128, 0, 128};
  int32_t size = 4;
  if (format == 0) {
    blendpx::BlendGroup(unit, s, s, 256);
  } else {
    blendpx::BlendPixel(unit, s, 256);
    size = 3;
  }
  for (int32_t i = 0; i < kColourPatternBytes; ++i)
    pattern[i] = unit[i % size];
}

}  // namespace

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
                     int32_t level) {
  if (frameW <= 0 || frameH <= 0)
    return;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, frameW);
  y1 = std::min(y1, frameH);
  if (format == 0) {  // whole groups only
    x0 = (x0 + 1) & ~1;
    x1 &= ~1;
  }
  if (x1 <= x0 || y1 <= y0)
    return;
  const int32_t w = BlendWeight(level);
  if (w == 0)
    return;
  uint8_t pattern[kColourPatternBytes];
  Pattern(format, colour, pattern);
  const int32_t bpp = format == 0 ? 2 : 3;
  const size_t stride = static_cast<size_t>(frameW) * bpp;
  for (int32_t y = y0; y < y1; ++y) {
    const int32_t row = format == 0 ? y : frameH - 1 - y;  // format 1 is bottom-up
    bytes(frame + row * stride + static_cast<size_t>(x0) * bpp, (x1 - x0) * bpp, pattern, w);
  }
}

namespace ref {

void ColourBytes(uint8_t* bytes, int32_t count, const uint8_t* pattern, int32_t weight) {
  for (int32_t i = 0; i < count; ++i) {
    const int32_t d = bytes[i];
    bytes[i] = static_cast<uint8_t>(d + (((pattern[i % kColourPatternBytes] - d) * weight) >> 8));
  }
}

void BlendColourToYuy2(uint32_t colour,
                       int32_t x0,
                       int32_t y0,
                       int32_t x1,
                       int32_t y1,
                       uint8_t* frame,
                       int32_t frameW,
                       int32_t frameH,
                       int32_t level) {
  BlendColourWith(ColourBytes, 0, colour, x0, y0, x1, y1, frame, frameW, frameH, level);
}

void BlendColourToRgb24(uint32_t colour,
                        int32_t x0,
                        int32_t y0,
                        int32_t x1,
                        int32_t y1,
                        uint8_t* frame,
                        int32_t frameW,
                        int32_t frameH,
                        int32_t level) {
  BlendColourWith(ColourBytes, 1, colour, x0, y0, x1, y1, frame, frameW, frameH, level);
}

}  // namespace ref
}  // namespace zunk
