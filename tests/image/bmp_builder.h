// Small bitmap files built in memory for the reader's tests: every header kind, palettes,
// bit fields, rows packed at any depth and in either order, and hand-written RLE streams.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace zunk {
namespace testing_util {

using Bytes = std::vector<uint8_t>;

struct BmpSpec {
  // 12 (core), 16 (OS/2 2.x cut short: sizes, planes, bits), 40, or a larger size: the 40
  // bytes, the three masks, then zeros (the OS/2 2.x fields of 64, the colour space of V4/V5)
  uint32_t headerBytes = 40;
  int32_t width = 1;
  int32_t height = 1;  // negative: rows stored top first
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> masks;    // red, green, blue: after a 40-byte header or inside V4/V5
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  int64_t colorsUsed = -1;        // -1: the palette's size
  int32_t xDensity = 2835;
  int32_t yDensity = 2835;
  int64_t sizeImage = -1;  // -1: the pixel data's size
  size_t gap = 0;          // unused bytes between the palette and the pixels
  Bytes bits;              // pixel data as stored
};

inline void Put16(Bytes* b, uint32_t v) {
  b->push_back(v & 0xFF);
  b->push_back(v >> 8 & 0xFF);
}
inline void Put32(Bytes* b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void Set32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    (*b)[at + i] = static_cast<uint8_t>(v >> 8 * i);
}

inline Bytes BuildBmp(const BmpSpec& s) {
  Bytes b = {'B', 'M'};
  Put32(&b, 0);  // file size, set below
  Put32(&b, 0);
  Put32(&b, 0);  // pixel offset, set below
  Put32(&b, s.headerBytes);
  if (s.headerBytes == 12) {
    Put16(&b, static_cast<uint32_t>(s.width));
    Put16(&b, static_cast<uint32_t>(s.height));
    Put16(&b, s.planes);
    Put16(&b, s.bitCount);
  } else if (s.headerBytes == 16) {
    Put32(&b, static_cast<uint32_t>(s.width));
    Put32(&b, static_cast<uint32_t>(s.height));
    Put16(&b, s.planes);
    Put16(&b, s.bitCount);
  } else {
    Put32(&b, static_cast<uint32_t>(s.width));
    Put32(&b, static_cast<uint32_t>(s.height));
    Put16(&b, s.planes);
    Put16(&b, s.bitCount);
    Put32(&b, s.compression);
    Put32(&b, static_cast<uint32_t>(s.sizeImage < 0 ? s.bits.size() : s.sizeImage));
    Put32(&b, static_cast<uint32_t>(s.xDensity));
    Put32(&b, static_cast<uint32_t>(s.yDensity));
    Put32(&b, static_cast<uint32_t>(s.colorsUsed < 0 ? s.palette.size() : s.colorsUsed));
    Put32(&b, 0);
    if (s.headerBytes > 40) {
      for (size_t i = 0; i < 3; ++i)
        Put32(&b, i < s.masks.size() ? s.masks[i] : 0);
      b.resize(14 + s.headerBytes, 0);
    } else {
      for (uint32_t m : s.masks)
        Put32(&b, m);
    }
  }
  for (uint32_t c : s.palette) {
    b.push_back(c & 0xFF);
    b.push_back(c >> 8 & 0xFF);
    b.push_back(c >> 16 & 0xFF);
    if (s.headerBytes != 12)
      b.push_back(0);
  }
  b.resize(b.size() + s.gap, 0xEE);
  Set32(&b, 10, static_cast<uint32_t>(b.size()));
  b.insert(b.end(), s.bits.begin(), s.bits.end());
  Set32(&b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

// Packs values (palette indices, or 16-, 24- or 32-bit pixel values), given top row
// first, into rows padded to 4 bytes, stored in the order the height asks for.
inline Bytes PackRows(int32_t width,
                      int32_t height,
                      int bitCount,
                      const std::vector<uint32_t>& values) {
  const int32_t rows = height < 0 ? -height : height;
  const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
  Bytes out(stride * rows, 0);
  for (int32_t y = 0; y < rows; ++y) {
    uint8_t* row = out.data() + stride * (height < 0 ? y : rows - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = values[static_cast<size_t>(y) * width + x];
      if (bitCount < 8) {
        const size_t bit = static_cast<size_t>(x) * bitCount;
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - bitCount - bit % 8));
      } else {
        for (int i = 0; i < bitCount / 8; ++i)
          row[static_cast<size_t>(x) * (bitCount / 8) + i] = static_cast<uint8_t>(v >> 8 * i);
      }
    }
  }
  return out;
}

}  // namespace testing_util
}  // namespace zunk
