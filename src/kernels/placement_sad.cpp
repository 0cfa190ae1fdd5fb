// The per-frame preparation around the placement sums: the window and template as byte
// planes, the placement-free part of every difference, and the entries of the difference row.
#include <cstddef>
#include <cstring>

#include "kernels/placement_sad.h"

namespace zunk {

void SadTemplatePlanes(const WorkPixel* tpl,
                       int32_t tw,
                       int32_t th,
                       uint32_t colorKey,
                       int32_t grey,
                       uint8_t* planes,
                       uint32_t* excess,
                       uint32_t* counted) {
  const ptrdiff_t ts = SadTemplateStride(tw);
  const ptrdiff_t plane = ts * th;
  std::memset(planes, 0, static_cast<size_t>(plane) * 4);
  const WorkPixel key = KeyWorkPixel(colorKey);
  uint32_t e[3] = {0, 0, 0}, n = 0;
  for (int32_t y = 0; y < th; ++y) {
    for (int32_t x = 0; x < tw; ++x) {
      const WorkPixel& p = tpl[static_cast<ptrdiff_t>(y) * tw + x];
      if (p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x)
        continue;
      ++n;
      const int32_t words[3] = {p.b, p.g, p.r};
      for (int c = 0; c < 3; ++c) {
        const int32_t u = words[c] + grey;
        const uint8_t clamped = ClampToByte(u);
        planes[c * plane + y * ts + x] = clamped;
        e[c] += static_cast<uint32_t>(u > clamped ? u - clamped : clamped - u);
      }
      planes[3 * plane + y * ts + x] = 0xFF;
    }
  }
  excess[0] = e[0];
  excess[1] = e[1];
  excess[2] = e[2];
  *counted = n;
}

bool SadTemplateWords(const WorkPixel* tpl,
                      int32_t tw,
                      int32_t th,
                      uint32_t colorKey,
                      int16_t* words,
                      uint8_t* mask,
                      uint32_t* histogram,
                      uint32_t* counted) {
  const ptrdiff_t ts = SadTemplateStride(tw);
  const ptrdiff_t plane = ts * th;
  for (ptrdiff_t i = 0; i < 3 * plane; ++i)
    words[i] = -32768;
  std::memset(mask, 0, static_cast<size_t>(plane));
  std::memset(histogram, 0, sizeof(uint32_t) * 3 * kWordBins);
  const WorkPixel key = KeyWorkPixel(colorKey);
  uint32_t n = 0;
  for (int32_t y = 0; y < th; ++y) {
    for (int32_t x = 0; x < tw; ++x) {
      const WorkPixel& p = tpl[static_cast<ptrdiff_t>(y) * tw + x];
      if (p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x)
        continue;
      ++n;
      const int16_t w[3] = {p.b, p.g, p.r};
      for (int c = 0; c < 3; ++c) {
        if (w[c] < -255 || w[c] > 255)
          return false;
        words[c * plane + y * ts + x] = w[c];
        ++histogram[c * kWordBins + w[c] + 255];
      }
      mask[y * ts + x] = 0xFF;
    }
  }
  *counted = n;
  return true;
}

void SadExcessFromHistogram(const uint32_t* histogram, int32_t grey, uint32_t* excess) {
  for (int c = 0; c < 3; ++c) {
    const uint32_t* h = histogram + c * kWordBins;
    uint32_t e = 0;
    // Only words with w + grey outside 0..255 have an excess.
    for (int32_t w = -255; w < -grey; ++w)
      e += h[w + 255] * static_cast<uint32_t>(-(w + grey));
    for (int32_t w = 256 - grey; w <= 255; ++w)
      e += h[w + 255] * static_cast<uint32_t>(w + grey - 255);
    excess[c] = e;
  }
}

void SadSumsToDiffEntries(const uint32_t* sums,
                          const uint32_t* excess,
                          uint32_t counted,
                          int32_t placements,
                          DiffEntry* out) {
  for (int32_t k = 0; k < placements; ++k) {
    if (counted == 0) {
      out[k] = {0, 0, 0, 0};
      continue;
    }
    out[k] = {(sums[3 * k] + excess[0]) / counted, (sums[3 * k + 1] + excess[1]) / counted,
              (sums[3 * k + 2] + excess[2]) / counted, 0};
  }
}

}  // namespace zunk
