// Reference conversion of frame pixels into work pixels, written straight from the
// formulas. Each weighted chroma term is floored on its own toward minus infinity (an
// arithmetic shift right; GCC and Clang shift signed values arithmetically), and the sums
// are clamped to 0..255.
#include <cstddef>

#include "kernels/convert.h"

namespace zunk {
namespace {

int16_t Sat8(int32_t v) {
  return static_cast<int16_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace

WorkPixel YuvToWork(int32_t y, int32_t u, int32_t v) {
  u -= 128;
  v -= 128;
  const int32_t bu = (454 * u) >> 8;
  const int32_t gu = (-86 * u) >> 8;
  const int32_t gv = (-183 * v) >> 8;
  const int32_t rv = (359 * v) >> 8;
  return {Sat8(y + bu), Sat8(y + gu + gv), Sat8(y + rv), static_cast<int16_t>(y)};
}

namespace ref {

void Yuy2GroupsToWork(const uint8_t* groups, int32_t count, WorkPixel* out) {
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* g = groups + 4 * i;
    out[2 * i] = YuvToWork(g[0], g[1], g[3]);
    out[2 * i + 1] = YuvToWork(g[2], g[1], g[3]);
  }
}

// X = 0: the 24-bit format has no luma word to carry, and a fixed 0 keeps black pixels
// equal to a black key in all four words.
void Rgb24PixelsToWork(const uint8_t* pixels, int32_t count, WorkPixel* out) {
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* p = pixels + 3 * i;
    out[i] = {p[0], p[1], p[2], 0};
  }
}

void CopyRegionFromYuy2(const uint8_t* frame,
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
                        int32_t workH) {
  CopyRegionFromYuy2With(Yuy2GroupsToWork, frame, x0, y0, x1, y1, frameW, frameH, work, dstX, dstY,
                         workW, workH);
}

void CopyRegionFromRgb24(const uint8_t* frame,
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
                         int32_t workH) {
  CopyRegionFromRgb24With(Rgb24PixelsToWork, frame, x0, y0, x1, y1, frameW, frameH, work, dstX,
                          dstY, workW, workH);
}

}  // namespace ref
}  // namespace zunk
