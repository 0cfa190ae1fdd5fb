// Making a learning sample from a frame, BM_MakeLearnSample/<format>/<size>, beside
// BM_memcpy of the same frame: what a capture pays per frame it keeps, and the finder on a
// full series, BM_FindLogo/<samples>.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "learn/learn_sample.h"
#include "learn/logo_finder.h"

namespace zunk {
namespace bench {
namespace {

// A busy frame: a byte pattern with no flat areas.
std::vector<uint8_t> BusyFrame(int32_t w, int32_t h, int32_t format) {
  std::vector<uint8_t> f(static_cast<size_t>(w) * h * (format == 0 ? 2 : 3));
  uint32_t seed = 1;
  for (uint8_t& b : f) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return f;
}

void BM_MakeLearnSample(benchmark::State& state) {
  const int32_t format = static_cast<int32_t>(state.range(0));
  const int32_t w = static_cast<int32_t>(state.range(1)), h = static_cast<int32_t>(state.range(2));
  const std::vector<uint8_t> frame = BusyFrame(w, h, format);
  LearnSample s;
  for (auto _ : state) {
    MakeLearnSample({frame.data(), w, h, format}, 0, &s);
    benchmark::DoNotOptimize(s.planes.data());
  }
}
BENCHMARK(BM_MakeLearnSample)
    ->Args({0, 720, 576})
    ->Args({1, 720, 576})
    ->Args({0, 1920, 1080})
    ->Args({1, 1920, 1080})
    ->Unit(benchmark::kMicrosecond);

void BM_FindLogo(benchmark::State& state) {
  std::vector<LearnSample> samples(static_cast<size_t>(state.range(0)));
  for (size_t i = 0; i < samples.size(); ++i) {
    const std::vector<uint8_t> frame = BusyFrame(768, 576, 0);
    MakeLearnSample({frame.data(), 768, 576, 0}, static_cast<int64_t>(i), &samples[i]);
    samples[i].planes[i % samples[i].planes.size()] ^= 0x55;  // no two alike
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(FindLogo(samples, FindOptions()).reason);
}
BENCHMARK(BM_FindLogo)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
}  // namespace zunk
