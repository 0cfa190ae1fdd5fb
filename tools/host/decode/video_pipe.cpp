// Frame pipes shared by both builds: raw reading and writing.
#include "decode/video_pipe.h"

namespace zunkhost {

size_t FrameBytes(const VideoGeometry& g) {
  return static_cast<size_t>(g.width) * g.height * (g.pixelFormat == 0 ? 2 : 3);
}

bool ReadFrame(FILE* f, uint8_t* buf, size_t n) {
  size_t got = 0;
  while (got < n) {
    size_t r = std::fread(buf + got, 1, n - got, f);
    if (r == 0)
      return false;
    got += r;
  }
  return true;
}

}  // namespace zunkhost
