// EncodeBmp24: the 14-byte file header, the 40-byte info header and the rows, last row first.
#include "image/bmp_writer.h"

#include <cstddef>

namespace zunk {

namespace {

void Put(std::vector<uint8_t>* out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    (*out)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const uint32_t* bgrx, int32_t width, int32_t height) {
  if (!bgrx || width <= 0 || height <= 0)
    return {};
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t image = stride * static_cast<size_t>(height);
  std::vector<uint8_t> out(54 + image, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put(&out, 2, static_cast<uint32_t>(out.size()), 4);
  Put(&out, 10, 54, 4);
  Put(&out, 14, 40, 4);
  Put(&out, 18, static_cast<uint32_t>(width), 4);
  Put(&out, 22, static_cast<uint32_t>(height), 4);  // positive: bottom-up
  Put(&out, 26, 1, 2);
  Put(&out, 28, 24, 2);
  Put(&out, 34, static_cast<uint32_t>(image), 4);
  Put(&out, 38, 2835, 4);  // 72 dots per inch
  Put(&out, 42, 2835, 4);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = bgrx + static_cast<size_t>(height - 1 - y) * width;
    uint8_t* to = out.data() + 54 + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x) {
      to[3 * x] = static_cast<uint8_t>(row[x]);
      to[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
      to[3 * x + 2] = static_cast<uint8_t>(row[x] >> 16);
    }
  }
  return out;
}

}  // namespace zunk
