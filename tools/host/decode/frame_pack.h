// Packing decoded 4:2:0 frames into the plug-in's pixel formats: 0 = packed YUV 4:2:2
// (YUY2 byte order, top-down), 1 = 24-bit B, G, R bottom-up, resized first when the
// plug-in's frame size differs from the stream's.
#pragma once

#include <cstdint>
#include <vector>

#include "decode/frame_source.h"

namespace zunkhost {

class FramePacker {
 public:
  FramePacker(const StreamInfo& stream, int width, int height, int pixelFormat);
  // Writes one frame of width x height in the pixel format to out (FrameBytes bytes).
  void Pack(const PlanarFrame& frame, uint8_t* out);
  // From now on writes only the picture's rows [first, last) (counted from the top, first
  // taken down to an even row), each the same bytes as the whole frame's; the other rows of
  // out keep what they held. Clamped to the frame; (0, height) packs whole frames again.
  void PackRows(int first, int last);

 private:
  StreamInfo stream_;
  int width_, height_, pixelFormat_;
  int first_ = 0, last_;  // the picture rows packed
  std::vector<uint8_t> scaled_;  // 4:2:0 planes at the output size when resizing
  std::vector<uint8_t> row_;     // YUY2 of an odd width: whole pixel pairs
};

}  // namespace zunkhost
