// The live capture's cost on the video thread, for zunk-frame-timing: ProcessFrame's time
// per frame with and without a capture running, the calls that copied a frame apart, beside a
// memcpy of the same frame. Frames come at 25 a second on a clock the loop moves on by 40 ms
// per frame, so the capture copies every thirteenth frame as it does in a real stream. Two
// captures: one whose finder reads nothing and gives each frame back at once, so that every
// copy the video thread would make is made; and the module's own finder, busy on the capture
// thread meanwhile (slower than this clock, so that more of its copies are skipped).
#include "capture_cost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_stream.h"
#include "capture/capture_session.h"
#include "capture/capture_shared.h"
#include "capture/core_finder.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "settings/channel_profile.h"

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
    [](void*, const FrameBands&) {},
    [](void*, CapturedLogo*) { return false; },
    [](void*) { return false; },
    [](void*, CapturedLogo*, CaptureFailure* why) {
      *why = CaptureFailure::kOther;
      return false;
    },
    [](void*) {},
};

// Each frame call's time, apart for the calls that copied a frame into the capture's store.
struct Times {
  std::vector<double> plain, copying;
};

double Quantile(std::vector<double> v, double q) {
  if (v.empty())
    return 0;
  const size_t k = std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
  return v[k];
}

// `frames` frame calls, 40 ms apart on the stream's clock.
Times TimeFrames(BenchStream* s, int frames, bool capturing) {
  Times t;
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
    // The store's count of copies is the video thread's own: this thread's here.
    const uint32_t copies = Capture.slots.filled;
    const Clock::time_point t0 = Clock::now();
    ProcessFrame(&s->info);
    const std::chrono::duration<double, std::nano> d = Clock::now() - t0;
    const bool copied = Capture.slots.filled != copies;
    (copied ? t.copying : t.plain).push_back(d.count());
    // In a real stream the capture thread has half a second to read the copy: here, outside
    // the timing, it gets the time it takes, so that the next copy finds its slot free.
    const FrameSlots& slots = Capture.slots;
    for (int waited = 0; copied && slots.count > 0 && waited < 5000 &&
                         slots.slot[slots.filled % static_cast<uint32_t>(slots.count)].full != 0;
         ++waited)
      Os().SleepMs(1);
  }
  return t;
}

void PrintHeader() {
  std::printf(
      "\nProcessFrame with a capture running (finder/format/frame; us): median without a\n"
      "capture, median of the calls that did not copy and of those that did; the worst\n"
      "copying call and the worst call without a capture (a loaded machine's preemptions);\n"
      "memcpy of the frame from the cache and from memory (the corners a capture copies\n"
      "are not in the cache: the frame path reads only the logo's area); the added mean\n"
      "in each memcpy, from the medians\n");
  std::printf("%-24s %7s %7s %8s %9s %9s %7s %7s %6s %6s\n", "case", "off", "on", "copying",
              "worst", "off worst", "memcpy", "cold", "extra", "cold");
}

}  // namespace

void PrintCaptureCost(int repetitions, const char* only) {
  bool headed = false;
  struct Size {
    const char* name;
    int32_t w, h;
  } sizes[] = {{"768x576", 768, 576}, {"1920x1080", 1920, 1080}};
  const char* formats[] = {"yuy2", "rgb24"};
  struct Finder {
    const char* name;
    const CaptureFinder* finder;
  } finders[] = {{"idle", &kIdleFinder}, {"core", &kCoreLogoFinder}};
  for (const Finder& finder : finders) {
    SetCaptureFinder(finder.finder);
    for (int32_t format = 0; format < 2; ++format) {
      for (const Size& size : sizes) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/%s/%s", finder.name, formats[format], size.name);
        if (only && !std::strstr(name, only))
          continue;
        if (!headed)
          PrintHeader();
        headed = true;
        BenchStream s;
        StartBenchStream(&s, size.w, size.h, format, false);
        SetBenchStreamClock(StreamClock);
        std::vector<uint8_t> copy(s.frame.size());
        const int frames = 250 * std::max(1, repetitions);  // 10 s of stream per repetition
        const Times off = TimeFrames(&s, frames, false);
        const Times on = TimeFrames(&s, frames, true);
        EndCapture();
        std::vector<double> hot, cold;
        std::vector<uint8_t> evict(size_t{32} << 20);
        for (int i = 0; i < 42; ++i) {
          // Every other copy after 32 MB of other memory went through the cache.
          if (i % 2)
            for (size_t k = 0; k < evict.size(); k += 64)
              ++evict[k];
          const Clock::time_point t0 = Clock::now();
          std::memcpy(copy.data(), s.frame.data(), s.frame.size());
          asm volatile("" : : "r"(copy.data()), "r"(evict.data()) : "memory");
          (i % 2 ? cold : hot)
              .push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count());
        }
        const double memcpyHot = Quantile(hot, 0.5), memcpyCold = Quantile(cold, 0.5);
        StopBenchStream();
        const double plain = Quantile(on.plain, 0.5), copying = Quantile(on.copying, 0.5);
        // A stream at 25 frames a second copies one frame in 12.5.
        const double added = (copying - plain) * 40.0 / kCaptureIntervalMs;
        auto worst = [](const std::vector<double>& v) {
          return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
        };
        std::printf("%-24s %7.1f %7.1f %8.1f %9.1f %9.1f %7.1f %7.1f %6.3f %6.3f\n", name,
                    Quantile(off.plain, 0.5) / 1000, plain / 1000, copying / 1000,
                    worst(on.copying) / 1000, worst(off.plain) / 1000, memcpyHot / 1000,
                    memcpyCold / 1000, added / memcpyHot, added / memcpyCold);
      }
    }
  }
  SetCaptureFinder(&kCoreLogoFinder);
}

}  // namespace bench
}  // namespace zunk
