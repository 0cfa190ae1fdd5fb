// A span of frames: an advert break, found or known.
#pragma once

#include <cstdint>

namespace zunkhost {

struct Span {
  int64_t first;  // first frame inside
  int64_t last;   // last frame inside
};

}  // namespace zunkhost
