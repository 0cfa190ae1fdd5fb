// The whole frame operation, BM_ProcessFrame/<format>/<size>/<overlay>, beside
// BM_memcpy/frame/<format>/<size>: a copy of the same frame's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench_stream.h"
#include "pipeline/frame_pipeline.h"
#include "plugin/lifecycle.h"

namespace zunk {
namespace bench {
namespace {

struct Size {
  const char* name;
  int32_t w, h;
};
constexpr Size kSizes[] = {{"768x576", 768, 576}, {"1920x1080", 1920, 1080}};
constexpr const char* kFormats[] = {"yuy2", "rgb24"};

void ProcessFrameCase(benchmark::State& state, int32_t format, Size size, bool overlay) {
  BenchStream s;
  StartBenchStream(&s, size.w, size.h, format, overlay);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ProcessFrame(&s.info));
    benchmark::ClobberMemory();
  }
  if (!LastFrameTrace.matched)
    state.SkipWithError("the frame was not matched");
  StopBenchStream();
}

void MemcpyFrame(benchmark::State& state, size_t bytes) {
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

int Register() {
  for (int32_t format = 0; format < 2; ++format) {
    for (const Size& size : kSizes) {
      const std::string tail = std::string(kFormats[format]) + "/" + size.name;
      for (bool overlay : {false, true}) {
        benchmark::RegisterBenchmark(
            ("BM_ProcessFrame/" + tail + (overlay ? "/overlay_on" : "/overlay_off")).c_str(),
            ProcessFrameCase, format, size, overlay);
      }
      const size_t bytes = static_cast<size_t>(size.w) * size.h * (format == 1 ? 3 : 2);
      benchmark::RegisterBenchmark(("BM_memcpy/frame/" + tail).c_str(), MemcpyFrame, bytes);
    }
  }
  return 0;
}
const int registered = Register();

}  // namespace
}  // namespace bench
}  // namespace zunk
