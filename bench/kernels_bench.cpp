// Kernel benchmarks: every case as BM_<Name>/<impl>/<size>, impl "ref" (the reference) or
// "simd" (the best variant this CPU runs), beside the anchors BM_memcpy (the bytes of one
// packed 4:2:2 frame) and BM_libyuv_YUY2ToARGB (a speed reference; its rounding differs).
#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kernels/kernels.h"

namespace zunk {
namespace {

constexpr uint32_t kKey = 0xFF00FF;  // magenta

std::vector<uint8_t> Bytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> v(n);
  for (uint8_t& b : v)
    b = static_cast<uint8_t>(gen());
  return v;
}

std::vector<WorkPixel> Work(size_t n, int lo, int hi, uint32_t seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> d(lo, hi);
  std::vector<WorkPixel> v(n);
  for (WorkPixel& p : v) {
    p = {static_cast<int16_t>(d(gen)), static_cast<int16_t>(d(gen)), static_cast<int16_t>(d(gen)),
         static_cast<int16_t>(d(gen))};
  }
  return v;
}

// A logo-like template: a key-coloured border around the content, so some pixels are keyed.
std::vector<WorkPixel> Template(int w, int h, uint32_t seed) {
  std::vector<WorkPixel> t = Work(w * h, -254, 255, seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (x < 4 || y < 3 || x >= w - 4 || y >= h - 3)
        t[y * w + x] = KeyWorkPixel(kKey);
    }
  }
  return t;
}

void DiffRow(benchmark::State& state, const KernelTable& k, int r) {
  const int tw = 60, th = 40, aw = tw + 2 * r;
  const std::vector<WorkPixel> tpl = Template(tw, th, 1);
  const std::vector<WorkPixel> a = Work(aw * th, -254, 255, 2);
  std::vector<DiffEntry> out(2 * r + 1);
  for (auto _ : state) {
    k.MaskedMeanAbsDiffRow(a.data(), aw, th, tpl.data(), tw, th, r, 0, out.data(), r, kKey);
    benchmark::DoNotOptimize(out.data());
  }
}

void CopyYuy2(benchmark::State& state, const KernelTable& k, int w, int h) {
  const int fw = 768, fh = 576;
  const std::vector<uint8_t> frame = Bytes(fw * fh * 2, 3);
  std::vector<WorkPixel> work(w * h);
  const int x0 = w == fw ? 0 : 300, y0 = h == fh ? 0 : 100;
  for (auto _ : state) {
    k.CopyRegionFromYuy2(frame.data(), x0, y0, x0 + w, y0 + h, fw, fh, work.data(), 0, 0, w, h);
    benchmark::DoNotOptimize(work.data());
  }
}

void CopyRgb24(benchmark::State& state, const KernelTable& k, int w, int h) {
  const int fw = 768, fh = 576;
  const std::vector<uint8_t> frame = Bytes(fw * fh * 3, 4);
  std::vector<WorkPixel> work(w * h);
  for (auto _ : state) {
    k.CopyRegionFromRgb24(frame.data(), 300, 100, 300 + w, 100 + h, fw, fh, work.data(), 0, 0, w,
                          h);
    benchmark::DoNotOptimize(work.data());
  }
}

// Whole frame, level 60, keying off: the on-screen message.
void BgrxToFrame(benchmark::State& state, BlendBgrxFn blend, int bytesPerPixel, int w, int h) {
  const std::vector<uint8_t> layer = Bytes(w * h * 4, 5);
  std::vector<uint8_t> frame = Bytes(w * h * bytesPerPixel, 6);
  for (auto _ : state) {
    blend(layer.data(), 0, 0, w, h, w, h, frame.data(), 0, 0, w, h, 60, kKey, 0);
    benchmark::DoNotOptimize(frame.data());
  }
}

// The logo overlay: the template into a 768 x 576 frame with its key.
void WorkToYuy2(benchmark::State& state, const KernelTable& k) {
  const std::vector<WorkPixel> tpl = Template(60, 40, 7);
  std::vector<WorkPixel> bytesTpl(tpl.size());
  for (size_t i = 0; i < tpl.size(); ++i) {
    const WorkPixel& p = tpl[i];
    bytesTpl[i] = {static_cast<int16_t>(p.b & 0xFF), static_cast<int16_t>(p.g & 0xFF),
                   static_cast<int16_t>(p.r & 0xFF), 0};
  }
  std::vector<uint8_t> frame = Bytes(768 * 576 * 2, 8);
  for (auto _ : state) {
    k.BlendWorkToYuy2(bytesTpl.data(), 0, 0, 60, 40, 60, 40, frame.data(), 600, 40, 768, 576, 60,
                      kKey, 1);
    benchmark::DoNotOptimize(frame.data());
  }
}

void Resample(benchmark::State& state, const KernelTable& k, int dw, int dh) {
  const int sw = 60, sh = 40;
  std::vector<uint8_t> src = Bytes(sw * sh * 4, 9);
  for (int y = 0; y < sh; ++y) {  // key-coloured background left and right of the logo
    for (int x : {0, 1, 2, 3, 56, 57, 58, 59}) {
      uint8_t* p = &src[(y * sw + x) * 4];
      p[0] = 255, p[1] = 0, p[2] = 255;
    }
  }
  std::vector<WorkPixel> dst(dw * dh), tmp(dw * sh);
  std::vector<ResampleStep> cols(dw), rows(dh);
  for (auto _ : state) {
    k.ResampleBgrxToWork(src.data(), sw, sh, dst.data(), dw, dh, tmp.data(), cols.data(),
                         rows.data(), kKey);
    benchmark::DoNotOptimize(dst.data());
  }
}

void Memcpy(benchmark::State& state, size_t bytes) {
  const std::vector<uint8_t> src = Bytes(bytes, 10);
  std::vector<uint8_t> dst(bytes);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}

void LibyuvYuy2ToArgb(benchmark::State& state, int w, int h) {
  const int fw = 768, fh = 576;
  const std::vector<uint8_t> frame = Bytes(fw * fh * 2, 11);
  std::vector<uint8_t> argb(w * h * 4);
  const int x0 = w == fw ? 0 : 300, y0 = h == fh ? 0 : 100;
  for (auto _ : state) {
    libyuv::YUY2ToARGB(frame.data() + y0 * fw * 2 + x0 * 2, fw * 2, argb.data(), w * 4, w, h);
    benchmark::DoNotOptimize(argb.data());
  }
}

void Register() {
  static const KernelTable kRef = KernelsFor(0);
  const struct {
    const char* name;
    const KernelTable* k;
  } impls[] = {{"ref", &kRef}, {"simd", &Kernels()}};
  for (const auto& impl : impls) {
    const std::string i = impl.name;
    const KernelTable& k = *impl.k;
    benchmark::RegisterBenchmark(("BM_MaskedMeanAbsDiffRow/" + i + "/t60x40r30").c_str(), DiffRow,
                                 k, 30);
    benchmark::RegisterBenchmark(("BM_MaskedMeanAbsDiffRow/" + i + "/t60x40r75").c_str(), DiffRow,
                                 k, 75);
    benchmark::RegisterBenchmark(("BM_CopyRegionFromYuy2/" + i + "/w120x40").c_str(), CopyYuy2, k,
                                 120, 40);
    benchmark::RegisterBenchmark(("BM_CopyRegionFromYuy2/" + i + "/f768x576").c_str(), CopyYuy2, k,
                                 768, 576);
    benchmark::RegisterBenchmark(("BM_CopyRegionFromRgb24/" + i + "/w120x40").c_str(), CopyRgb24, k,
                                 120, 40);
    for (const auto& size : {std::make_pair(768, 576), std::make_pair(1920, 1080)}) {
      const std::string s = "/f" + std::to_string(size.first) + "x" + std::to_string(size.second);
      benchmark::RegisterBenchmark(("BM_BlendBgrxToYuy2/" + i + s).c_str(), BgrxToFrame,
                                   k.BlendBgrxToYuy2, 2, size.first, size.second);
      benchmark::RegisterBenchmark(("BM_BlendBgrxToRgb24/" + i + s).c_str(), BgrxToFrame,
                                   k.BlendBgrxToRgb24, 3, size.first, size.second);
    }
    benchmark::RegisterBenchmark(("BM_BlendWorkToYuy2/" + i + "/t60x40").c_str(), WorkToYuy2, k);
    benchmark::RegisterBenchmark(("BM_ResampleBgrxToWork/" + i + "/60x40to56x40").c_str(), Resample,
                                 k, 56, 40);
    benchmark::RegisterBenchmark(("BM_ResampleBgrxToWork/" + i + "/60x40to150x75").c_str(),
                                 Resample, k, 150, 75);
  }
  benchmark::RegisterBenchmark("BM_memcpy/f768x576_yuy2", Memcpy, size_t{768} * 576 * 2);
  benchmark::RegisterBenchmark("BM_memcpy/f1920x1080_yuy2", Memcpy, size_t{1920} * 1080 * 2);
  benchmark::RegisterBenchmark("BM_libyuv_YUY2ToARGB/w120x40", LibyuvYuy2ToArgb, 120, 40);
  benchmark::RegisterBenchmark("BM_libyuv_YUY2ToARGB/f768x576", LibyuvYuy2ToArgb, 768, 576);
}

}  // namespace
}  // namespace zunk

int main(int argc, char** argv) {
  zunk::Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
