// A matched stream for the frame benchmarks: a 60 x 40 reference logo served by a fake
// bitmap service, one channel whose template is loaded, and a frame showing the logo.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/host_records.h"

namespace zunk {
namespace bench {

struct BenchStream {
  int32_t width = 0, height = 0, format = 0;
  std::vector<uint8_t> frame;
  ChannelInfo channel = {};
  FrameInfo info = {};
};

// Starts a stream of the given geometry with the logo at reference position (600, 40), runs
// it past the change of channel and its skip, and leaves a frame with the logo in `s`.
// `showLogo` turns the overlay on.
void StartBenchStream(BenchStream* s, int32_t width, int32_t height, int32_t format, bool showLogo);
void StopBenchStream();

}  // namespace bench
}  // namespace zunk
