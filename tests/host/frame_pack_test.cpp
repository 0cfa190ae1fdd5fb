// Packing a band of rows: every row of the band is the same bytes as that row of the whole
// frame, in both formats (24-bit colour bottom-up), odd sizes and resized frames included,
// and no byte outside the band is written.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "decode/frame_pack.h"
#include "decode/video_pipe.h"

namespace zunkhost {
namespace {

struct Planes {
  int width, height, strideY, strideC;
  std::vector<uint8_t> y, u, v;
  PlanarFrame Frame() const { return {y.data(), u.data(), v.data(), strideY, strideC, strideC}; }
};

// Random 4:2:0 planes with padded rows.
Planes RandomPlanes(int width, int height, uint32_t seed) {
  std::mt19937 rng(seed);
  Planes p{width, height, width + 5, (width + 1) / 2 + 3, {}, {}, {}};
  auto fill = [&](std::vector<uint8_t>* plane, size_t bytes) {
    plane->resize(bytes);
    for (uint8_t& b : *plane)
      b = static_cast<uint8_t>(rng());
  };
  fill(&p.y, static_cast<size_t>(p.strideY) * height);
  fill(&p.u, static_cast<size_t>(p.strideC) * ((height + 1) / 2));
  fill(&p.v, static_cast<size_t>(p.strideC) * ((height + 1) / 2));
  return p;
}

// The picture row r's bytes in a packed frame (24-bit frames lie bottom-up).
size_t RowOffset(int r, int width, int height, int format) {
  const size_t rowBytes = static_cast<size_t>(width) * (format == 1 ? 3 : 2);
  return (format == 1 ? static_cast<size_t>(height - 1 - r) : static_cast<size_t>(r)) * rowBytes;
}

TEST(FramePackTest, ABandIsThoseRowsOfTheWholeFrameAndNothingElseIsWritten) {
  const struct {
    int streamW, streamH, width, height;
  } sizes[] = {{2, 2, 2, 2},         {7, 5, 7, 5},       {33, 17, 33, 17}, {64, 36, 64, 36},
               {720, 576, 720, 576}, {40, 30, 23, 17},   {40, 30, 64, 48}};
  for (const auto& s : sizes) {
    const Planes planes = RandomPlanes(s.streamW, s.streamH, s.streamW * 1000u + s.streamH);
    StreamInfo info;
    info.width = s.streamW;
    info.height = s.streamH;
    info.matrix = ColourMatrix::kBt709;
    const int h = s.height;
    const struct {
      int first, last;
    } bands[] = {{0, h},         {1, 3},      {2, h - 1},  {h - 1, h},  {h / 2, h / 2},
                 {-5, h + 9},    {h / 3, h},  {0, h / 4},  {3, h - 2},  {h + 4, h + 8}};
    for (int format : {0, 1}) {
      VideoGeometry g;
      g.width = s.width;
      g.height = h;
      g.pixelFormat = format;
      const size_t bytes = FrameBytes(g);
      const size_t rowBytes = bytes / h;
      std::vector<uint8_t> whole(bytes);
      FramePacker(info, s.width, h, format).Pack(planes.Frame(), whole.data());
      for (const auto& b : bands) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(h) + " from " +
                     std::to_string(s.streamW) + "x" + std::to_string(s.streamH) + " format " +
                     std::to_string(format) + " rows " + std::to_string(b.first) + ".." +
                     std::to_string(b.last));
        FramePacker packer(info, s.width, h, format);
        packer.PackRows(b.first, b.last);
        std::vector<uint8_t> band(bytes, 0xA5);
        packer.Pack(planes.Frame(), band.data());
        // The band starts on the even row at or above its first.
        const int first = std::max(0, std::min(b.first, h)) & ~1;
        const int last = std::max(first, std::min(b.last, h));
        for (int r = 0; r < h; ++r) {
          const size_t at = RowOffset(r, s.width, h, format);
          const bool inBand = r >= first && r < last;
          for (size_t i = 0; i < rowBytes; ++i) {
            const uint8_t want = inBand ? whole[at + i] : 0xA5;
            ASSERT_EQ(band[at + i], want) << "row " << r << " byte " << i;
          }
        }
      }
      // Whole frames again.
      FramePacker packer(info, s.width, h, format);
      packer.PackRows(1, 2);
      packer.PackRows(0, h);
      std::vector<uint8_t> again(bytes, 0xA5);
      packer.Pack(planes.Frame(), again.data());
      EXPECT_EQ(again, whole);
    }
  }
}

}  // namespace
}  // namespace zunkhost
