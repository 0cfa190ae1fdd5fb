// Clipping of region kernels and the blend weight.
#include "kernels/region.h"

namespace zunk {

bool ClipRegion(Region* r) {
  if (r->srcW <= 0 || r->srcH <= 0 || r->dstW <= 0 || r->dstH <= 0)
    return false;
  // 64-bit working copies: shifting an origin by a far-out coordinate cannot overflow.
  int64_t x0 = r->srcX0, y0 = r->srcY0, x1 = r->srcX1, y1 = r->srcY1;
  int64_t dx = r->dstX, dy = r->dstY;
  const int64_t sw = r->srcW, sh = r->srcH, dw = r->dstW, dh = r->dstH;

  if (x0 >= sw)
    return false;
  if (x0 < 0) {
    dx -= x0;
    x0 = 0;
  }
  if (y0 >= sh)
    return false;
  if (y0 < 0) {
    dy -= y0;
    y0 = 0;
  }
  if (x1 <= 0)
    return false;
  if (x1 > sw)
    x1 = sw;
  if (y1 <= 0)
    return false;
  if (y1 > sh)
    y1 = sh;
  if (dx >= dw)
    return false;
  if (dx < 0) {
    x0 -= dx;
    dx = 0;
  }
  if (dy >= dh)
    return false;
  if (dy < 0) {
    y0 -= dy;
    dy = 0;
  }
  if (x1 - x0 <= 0)
    return false;
  int64_t over = dx + (x1 - x0) - dw;
  if (over >= 0)
    x1 -= over;
  if (y1 - y0 <= 0)
    return false;
  over = dy + (y1 - y0) - dh;
  if (over >= 0)
    y1 -= over;

  // With positive image sizes every value now lies inside its image and the rectangle is
  // not empty (dx < dw and dy < dh), so the 32-bit fields hold them.
  r->srcX0 = static_cast<int32_t>(x0);
  r->srcY0 = static_cast<int32_t>(y0);
  r->srcX1 = static_cast<int32_t>(x1);
  r->srcY1 = static_cast<int32_t>(y1);
  r->dstX = static_cast<int32_t>(dx);
  r->dstY = static_cast<int32_t>(dy);
  return true;
}

int32_t BlendWeight(int32_t level) {
  if (level < 0)
    level = 0;
  if (level > 100)
    level = 100;
  return static_cast<int32_t>(static_cast<uint64_t>(static_cast<uint32_t>(level)) * 256 / 100);
}

BlendCall MakeBlendCall(int32_t level, uint32_t colorKey, int32_t keyOn) {
  return {BlendWeight(level), (keyOn & 1) != 0, KeyBgrx(colorKey), KeyWorkPixel(colorKey)};
}

}  // namespace zunk
