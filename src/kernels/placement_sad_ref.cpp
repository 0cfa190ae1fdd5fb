// Reference placement sums, straight from the definition: unsigned 32-bit sums of masked
// absolute differences of bytes.
#include "kernels/placement_sad.h"

#include <cstddef>

namespace zunk {

uint8_t ClampToByte(int32_t v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

namespace ref {

bool WindowBytePlanes(const WorkPixel* a,
                      int32_t aW,
                      int32_t w,
                      int32_t h,
                      uint32_t colorKey,
                      int32_t grey,
                      uint8_t* planes) {
  const ptrdiff_t plane = static_cast<ptrdiff_t>(w) * h;
  const WorkPixel key = KeyWorkPixel(colorKey);
  const bool keyFits = key.b + grey <= 255 && key.g + grey <= 255 && key.r + grey <= 255;
  for (int32_t y = 0; y < h; ++y) {
    const WorkPixel* row = a + static_cast<ptrdiff_t>(y) * aW;
    uint8_t* b = planes + static_cast<ptrdiff_t>(y) * w;
    uint8_t* g = b + plane;
    uint8_t* r = g + plane;
    for (int32_t x = 0; x < w; ++x) {
      const WorkPixel& p = row[x];
      if (p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x) {
        if (!keyFits)
          return false;
        b[x] = static_cast<uint8_t>(p.b + grey);
        g[x] = static_cast<uint8_t>(p.g + grey);
        r[x] = static_cast<uint8_t>(p.r + grey);
      } else {
        b[x] = ClampToByte(p.b);
        g[x] = ClampToByte(p.g);
        r[x] = ClampToByte(p.r);
      }
    }
  }
  return true;
}

void TemplateWordsToBytes(const int16_t* words, int32_t count, int32_t grey, uint8_t* bytes) {
  for (int32_t i = 0; i < count; ++i)
    bytes[i] = ClampToByte(words[i] + grey);
}

void PlacementSadRow(const uint8_t* window,
                     int32_t ww,
                     const uint8_t* tpl,
                     int32_t tw,
                     int32_t th,
                     int32_t placements,
                     uint32_t* sums) {
  const ptrdiff_t ts = SadTemplateStride(tw);
  const ptrdiff_t windowPlane = static_cast<ptrdiff_t>(ww) * th;
  const ptrdiff_t tplPlane = ts * th;
  const uint8_t* mask = tpl + 3 * tplPlane;
  for (int32_t k = 0; k < placements; ++k) {
    for (int32_t c = 0; c < 3; ++c) {
      uint32_t sum = 0;
      for (int32_t y = 0; y < th; ++y) {
        const uint8_t* a = window + c * windowPlane + y * static_cast<ptrdiff_t>(ww) + k;
        const uint8_t* t = tpl + c * tplPlane + y * ts;
        const uint8_t* m = mask + y * ts;
        for (int32_t x = 0; x < tw; ++x) {
          if (!m[x])
            continue;
          sum += a[x] > t[x] ? a[x] - t[x] : t[x] - a[x];
        }
      }
      sums[3 * k + c] = sum;
    }
  }
}

}  // namespace ref
}  // namespace zunk
