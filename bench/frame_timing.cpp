// zunk-frame-timing: the whole frame operation of this build's code timed beside a memcpy of
// the same frame in the same process, for the builds without Google Benchmark (the 32-bit
// Windows module's compiler and flags, run under the system's loader). Prints one line per
// case: the median over repetitions of the mean time per frame, and the ratio to memcpy;
// then the live capture's cost on the frame path (capture_cost.cpp).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_stream.h"
#include "capture_cost.h"
#include "plugin/lifecycle.h"
#include "plugin/module_state.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Fn>
double MedianNanosPerCall(Fn fn, int calls, int repetitions) {
  std::vector<double> samples;
  for (int r = 0; r < repetitions; ++r) {
    const Clock::time_point t0 = Clock::now();
    for (int i = 0; i < calls; ++i)
      fn();
    const std::chrono::duration<double, std::nano> d = Clock::now() - t0;
    samples.push_back(d.count() / calls);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  struct Size {
    const char* name;
    int32_t w, h;
  } sizes[] = {{"768x576", 768, 576}, {"1920x1080", 1920, 1080}};
  const char* formats[] = {"yuy2", "rgb24"};
  std::printf("%-40s %12s %12s %8s\n", "case", "frame (us)", "memcpy (us)", "ratio");
  for (int32_t format = 0; format < 2; ++format) {
    for (const Size& size : sizes) {
      for (bool overlay : {false, true}) {
        zunk::bench::BenchStream s;
        zunk::bench::StartBenchStream(&s, size.w, size.h, format, overlay);
        std::vector<uint8_t> copy(s.frame.size());
        const int calls = size.w > 1000 ? 100 : 400;
        // Interleaved, so that a change of machine load falls on both sides of the ratio.
        double frame = 0, memcpyTime = 0;
        std::vector<double> frames, copies;
        for (int r = 0; r < repetitions; ++r) {
          frames.push_back(MedianNanosPerCall([&] { zunk::ProcessFrame(&s.info); }, calls, 1));
          copies.push_back(MedianNanosPerCall(
              [&] {
                std::memcpy(copy.data(), s.frame.data(), s.frame.size());
                asm volatile("" : : "r"(copy.data()) : "memory");
              },
              calls, 1));
        }
        std::sort(frames.begin(), frames.end());
        std::sort(copies.begin(), copies.end());
        frame = frames[frames.size() / 2];
        memcpyTime = copies[copies.size() / 2];
        const bool matched = zunk::LastFrameTrace.matched != 0;
        zunk::bench::StopBenchStream();
        char name[64];
        std::snprintf(name, sizeof name, "ProcessFrame/%s/%s/overlay_%s", formats[format],
                      size.name, overlay ? "on" : "off");
        std::printf("%-40s %12.1f %12.1f %8.2f%s\n", name, frame / 1000, memcpyTime / 1000,
                    frame / memcpyTime, matched ? "" : "  (not matched!)");
      }
    }
  }
  zunk::bench::PrintCaptureCost(repetitions);
  return 0;
}
