// A matched stream for the frame benchmarks: a striped reference logo (60 x 40 unless asked
// otherwise) served by a fake bitmap service, one channel whose template is loaded, and a
// frame showing the logo.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_records.h"

namespace zunk {
namespace bench {

struct BenchStream {
  int32_t width = 0, height = 0, format = 0;
  std::vector<uint8_t> frame;
  ChannelInfo channel = {};
  FrameInfo info = {};
};

// Starts a stream of the given geometry with a logoW x logoH reference logo at reference
// position (600, 40), moved left where a wide logo would leave less than the full search
// range on its right; runs it past the change of channel and its skip, and leaves a frame
// with the logo in `s`. `showLogo` turns the overlay on.
void StartBenchStream(BenchStream* s,
                      int32_t width,
                      int32_t height,
                      int32_t format,
                      bool showLogo,
                      int32_t logoW = 60,
                      int32_t logoH = 40);
void StopBenchStream();
// The stream's services from now on read this clock (milliseconds).
void SetBenchStreamClock(uint64_t (*clock)());

}  // namespace bench
}  // namespace zunk
