// Reference byte planes of a frame's rectangle, pixel by pixel through the region
// conversion's own formula (YuvToWork), and the rectangle walk shared by every variant.
#include <cstddef>

#include "kernels/convert.h"
#include "kernels/frame_planes.h"

namespace zunk {
namespace {

bool SameWords(const WorkPixel& p, const WorkPixel& key) {
  return p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x;
}

// One converted pixel into the planes at column i; true when it is the key.
bool Put(const WorkPixel& p, int32_t i, uint8_t* b, uint8_t* g, uint8_t* r, const WorkPixel& key) {
  b[i] = static_cast<uint8_t>(p.b);
  g[i] = static_cast<uint8_t>(p.g);
  r[i] = static_cast<uint8_t>(p.r);
  return SameWords(p, key);
}

// The rectangle is not empty and lies inside the frame's `usableW` columns and its rows.
bool Inside(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t usableW, int32_t frameH) {
  return x0 >= 0 && y0 >= 0 && x0 < x1 && y0 < y1 && x1 <= usableW && y1 <= frameH;
}

}  // namespace

bool Yuy2PlanesWith(Yuy2PlanesRowFn rowFn,
                    const uint8_t* frame,
                    int32_t x0,
                    int32_t y0,
                    int32_t x1,
                    int32_t y1,
                    int32_t frameW,
                    int32_t frameH,
                    uint32_t colorKey,
                    uint8_t* planes) {
  // With an odd frame width the last column has no complete group.
  if (!Inside(x0, y0, x1, y1, frameW & ~1, frameH))
    return false;
  const WorkPixel key = KeyWorkPixel(colorKey);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 2;
  const int32_t w = x1 - x0;
  const ptrdiff_t plane = static_cast<ptrdiff_t>(w) * (y1 - y0);
  bool keyed = false;
  for (int32_t y = y0; y < y1; ++y) {
    const uint8_t* row = frame + y * stride;
    uint8_t* b = planes + static_cast<ptrdiff_t>(y - y0) * w;
    uint8_t* g = b + plane;
    uint8_t* r = g + plane;
    int32_t x = x0;
    if (x & 1) {  // right half of the group that starts one column to the left
      const uint8_t* q = row + (x - 1) * 2;
      keyed |= Put(YuvToWork(q[2], q[1], q[3]), 0, b, g, r, key);
      ++x;
    }
    const int32_t pairs = (x1 - x) / 2;
    if (pairs > 0) {
      keyed |= rowFn(row + x * 2, pairs, b + (x - x0), g + (x - x0), r + (x - x0), key);
      x += 2 * pairs;
    }
    if (x != x1) {  // one even column left: the left half of its group
      const uint8_t* q = row + x * 2;
      keyed |= Put(YuvToWork(q[0], q[1], q[3]), x - x0, b, g, r, key);
    }
  }
  return !keyed;
}

bool Rgb24PlanesWith(Rgb24PlanesRowFn rowFn,
                     const uint8_t* frame,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     int32_t frameW,
                     int32_t frameH,
                     uint32_t colorKey,
                     uint8_t* planes) {
  if (!Inside(x0, y0, x1, y1, frameW, frameH))
    return false;
  const WorkPixel key = KeyWorkPixel(colorKey);
  const ptrdiff_t stride = static_cast<ptrdiff_t>(frameW) * 3;
  const int32_t w = x1 - x0;
  const ptrdiff_t plane = static_cast<ptrdiff_t>(w) * (y1 - y0);
  bool keyed = false;
  for (int32_t y = y0; y < y1; ++y) {
    // Bottom-up: picture row y lies at memory row frameH - 1 - y.
    const uint8_t* row = frame + (frameH - 1 - y) * stride + x0 * 3;
    uint8_t* b = planes + static_cast<ptrdiff_t>(y - y0) * w;
    keyed |= rowFn(row, w, b, b + plane, b + 2 * plane, key);
  }
  return !keyed;
}

namespace ref {

bool Yuy2PlanesRow(const uint8_t* groups,
                   int32_t count,
                   uint8_t* b,
                   uint8_t* g,
                   uint8_t* r,
                   WorkPixel key) {
  bool keyed = false;
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* q = groups + 4 * i;
    keyed |= Put(YuvToWork(q[0], q[1], q[3]), 2 * i, b, g, r, key);
    keyed |= Put(YuvToWork(q[2], q[1], q[3]), 2 * i + 1, b, g, r, key);
  }
  return keyed;
}

bool Rgb24PlanesRow(const uint8_t* pixels,
                    int32_t count,
                    uint8_t* b,
                    uint8_t* g,
                    uint8_t* r,
                    WorkPixel key) {
  bool keyed = false;
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* p = pixels + 3 * i;
    keyed |= Put({p[0], p[1], p[2], 0}, i, b, g, r, key);
  }
  return keyed;
}

bool FramePlanesFromYuy2(const uint8_t* frame,
                         int32_t x0,
                         int32_t y0,
                         int32_t x1,
                         int32_t y1,
                         int32_t frameW,
                         int32_t frameH,
                         uint32_t colorKey,
                         uint8_t* planes) {
  return Yuy2PlanesWith(Yuy2PlanesRow, frame, x0, y0, x1, y1, frameW, frameH, colorKey, planes);
}

bool FramePlanesFromRgb24(const uint8_t* frame,
                          int32_t x0,
                          int32_t y0,
                          int32_t x1,
                          int32_t y1,
                          int32_t frameW,
                          int32_t frameH,
                          uint32_t colorKey,
                          uint8_t* planes) {
  return Rgb24PlanesWith(Rgb24PlanesRow, frame, x0, y0, x1, y1, frameW, frameH, colorKey, planes);
}

}  // namespace ref
}  // namespace zunk
