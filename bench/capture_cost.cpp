// The live capture's cost on the video thread, for zunk-frame-timing: ProcessFrame's mean
// and worst time per frame with and without a capture running, beside a memcpy of the same
// frame. Frames come at 25 a second on a clock the loop moves on by 40 ms per frame, so the
// capture copies every twelfth or thirteenth frame as it does in a real stream; its finder
// reads nothing, since only the video thread's side is measured here.
#include "capture_cost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_stream.h"
#include "capture/capture_session.h"
#include "capture/core_finder.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "plugin/module_state.h"

namespace zunk {
namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

uint64_t streamClockMs = 0;
uint64_t StreamClock() {
  return streamClockMs;
}

char search;
const CaptureFinder kIdleFinder = {
    [](const CaptureStream&) -> void* { return &search; },
    [](void*, const uint8_t*) {},
    [](void*, CapturedLogo*) { return false; },
    [](void*) { return false; },
    [](void*, CapturedLogo*, CaptureFailure* why) {
      *why = CaptureFailure::kOther;
      return false;
    },
    [](void*) {},
};

struct Times {
  double mean = 0;
  double worst = 0;
};

// `frames` frame calls, 40 ms apart on the stream's clock.
Times TimeFrames(BenchStream* s, int frames, bool capturing) {
  Times t;
  double total = 0;
  for (int i = 0; i < frames; ++i) {
    streamClockMs += 40;
    if (capturing && ReadCaptureProgress().state != CaptureState::kRunning) {
      EndCapture();
      CaptureStart from;
      from.channelKey = LastChannelKey;
      from.channelKnown = true;
      from.width = s->width;
      from.height = s->height;
      from.format = s->format;
      StartCapture(from);
    }
    const Clock::time_point t0 = Clock::now();
    ProcessFrame(&s->info);
    const std::chrono::duration<double, std::nano> d = Clock::now() - t0;
    total += d.count();
    t.worst = std::max(t.worst, d.count());
  }
  t.mean = total / frames;
  return t;
}

}  // namespace

void PrintCaptureCost(int repetitions) {
  Platform clocked = NativePlatform();
  clocked.MonotonicMs = StreamClock;
  SetPlatformForTest(&clocked);
  SetCaptureFinder(&kIdleFinder);
  std::printf("\n%-34s %10s %10s %10s %10s %10s %8s\n", "capture on the video thread", "mean (us)",
              "worst (us)", "off (us)", "off worst", "memcpy", "extra");
  struct Size {
    const char* name;
    int32_t w, h;
  } sizes[] = {{"768x576", 768, 576}, {"1920x1080", 1920, 1080}};
  const char* formats[] = {"yuy2", "rgb24"};
  for (int32_t format = 0; format < 2; ++format) {
    for (const Size& size : sizes) {
      BenchStream s;
      StartBenchStream(&s, size.w, size.h, format, false);
      std::vector<uint8_t> copy(s.frame.size());
      const int frames = 250 * std::max(1, repetitions);  // 10 s of stream per repetition
      const Times off = TimeFrames(&s, frames, false);
      const Times on = TimeFrames(&s, frames, true);
      EndCapture();
      const Clock::time_point t0 = Clock::now();
      for (int i = 0; i < 50; ++i) {
        std::memcpy(copy.data(), s.frame.data(), s.frame.size());
        asm volatile("" : : "r"(copy.data()) : "memory");
      }
      const std::chrono::duration<double, std::nano> m = Clock::now() - t0;
      const double memcpyTime = m.count() / 50;
      StopBenchStream();
      char name[64];
      std::snprintf(name, sizeof name, "ProcessFrame+capture/%s/%s", formats[format], size.name);
      // "extra": the capture's added mean in memcpys of the frame.
      std::printf("%-34s %10.1f %10.1f %10.1f %10.1f %10.1f %8.3f\n", name, on.mean / 1000,
                  on.worst / 1000, off.mean / 1000, off.worst / 1000, memcpyTime / 1000,
                  (on.mean - off.mean) / memcpyTime);
    }
  }
  SetCaptureFinder(&kCoreLogoFinder);
  SetPlatformForTest(nullptr);
}

}  // namespace bench
}  // namespace zunk
