// The region walk shared by every conversion variant: clipping, the rows of the frame in
// either orientation, and the half groups at the edges of a packed 4:2:2 row, which are
// converted here with the reference formula; the variant converts the whole groups between.
#include <cstddef>

#include "kernels/convert.h"
#include "kernels/region.h"

namespace zunk {

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
                            int32_t workH) {
  // With an odd frame width the last column has no complete group (its V byte would lie
  // past the row), so only the whole groups count as the picture.
  Region rg{x0, y0, x1, y1, frameW & ~1, frameH, dstX, dstY, workW, workH};
  if (!ClipRegion(&rg))
    return;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 2;
  const int32_t rows = rg.srcY1 - rg.srcY0;
  for (int32_t j = 0; j < rows; ++j) {
    const uint8_t* row = frame + (rg.srcY0 + j) * stride;
    WorkPixel* out = work + static_cast<ptrdiff_t>(rg.dstY + j) * workW + rg.dstX;
    int32_t x = rg.srcX0;
    if (x & 1) {  // right half of the group that starts one column to the left
      const uint8_t* g = row + (x - 1) * 2;
      *out++ = YuvToWork(g[2], g[1], g[3]);
      ++x;
    }
    const int32_t pairs = (rg.srcX1 - x) / 2;
    if (pairs > 0) {
      groups(row + x * 2, pairs, out);
      out += 2 * pairs;
      x += 2 * pairs;
    }
    if (x != rg.srcX1) {  // one even column left: the left half of its group
      const uint8_t* g = row + x * 2;
      *out = YuvToWork(g[0], g[1], g[3]);
    }
  }
}

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
                             int32_t workH) {
  Region rg{x0, y0, x1, y1, frameW, frameH, dstX, dstY, workW, workH};
  if (!ClipRegion(&rg))
    return;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 3;
  const int32_t cols = rg.srcX1 - rg.srcX0;
  const int32_t rows = rg.srcY1 - rg.srcY0;
  for (int32_t j = 0; j < rows; ++j) {
    // Bottom-up: picture row y lies at memory row frameH - 1 - y.
    const uint8_t* row = frame + (frameH - 1 - (rg.srcY0 + j)) * stride + rg.srcX0 * 3;
    pixels(row, cols, work + static_cast<ptrdiff_t>(rg.dstY + j) * workW + rg.dstX);
  }
}

}  // namespace zunk
