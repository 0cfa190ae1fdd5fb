// What the last frame that reached the presence decision computed, for tools that trace a
// run: the native module exports it to the host emulator.
#pragma once

#include <cstdint>

namespace zunk {

struct FrameTrace {
  int32_t matched;  // 1 when the frame was matched (the values below are this frame's)
  int32_t matchPercent;
  int32_t scoreContrast;
  int32_t logoFound;
  int32_t confidence;
  int32_t decision;  // 1 = logo absent
};

}  // namespace zunk
