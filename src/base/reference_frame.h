// The reference frame every position and size in the settings is given in, and the frame
// sizes the module accepts.
#pragma once

#include <cstdint>

namespace zunk {

constexpr int32_t kReferenceWidth = 768;
constexpr int32_t kReferenceHeight = 576;
// Frame sizes the module accepts; anything outside leaves the frames alone.
constexpr int32_t kMaxFrameSide = 8192;

}  // namespace zunk
