// A frame to draw into, as the host delivers it: pixel format 0 (packed YUV 4:2:2, YUY2,
// top-down) or 1 (B, G, R, bottom-up), width x height pixels.
#pragma once

#include <cstdint>

namespace zunk {

struct FrameTarget {
  uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t pixelFormat;
};

}  // namespace zunk
