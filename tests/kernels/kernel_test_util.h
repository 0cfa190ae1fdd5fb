// Shared helpers of the kernel tests: the variants this CPU runs, seeded random content and
// buffers with guard zones around them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kernels/kernels.h"

namespace zunk::test {

struct Variant {
  const char* name;
  uint32_t mask;
};

// Every SIMD level this CPU runs; each is checked against the reference.
inline std::vector<Variant> SimdVariants() {
  std::vector<Variant> v;
  const uint32_t f = CpuFeatures();
  if (f & kCpuSse2)
    v.push_back({"sse2", kCpuSse2});
  if ((f & kCpuSse2) && (f & kCpuAvx2))
    v.push_back({"avx2", kCpuSse2 | kCpuAvx2});
  if ((f & kCpuSse2) && (f & kCpuAvx2) && (f & kCpuAvx512Bw))
    v.push_back({"avx512bw", kCpuSse2 | kCpuAvx2 | kCpuAvx512Bw});
  return v;
}

// The reference and every SIMD level: for the worked examples.
inline std::vector<Variant> AllVariants() {
  std::vector<Variant> v{{"ref", 0}};
  for (const Variant& s : SimdVariants())
    v.push_back(s);
  return v;
}

inline std::string VariantName(const testing::TestParamInfo<Variant>& info) {
  return info.param.name;
}

class Rng {
 public:
  explicit Rng(uint32_t seed) : gen_(seed) {}
  // Uniform in lo..hi inclusive.
  int32_t Int(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(gen_);
  }
  bool Percent(int p) { return Int(0, 99) < p; }
  // A size 1..max, small ones as often as large ones.
  int32_t Size(int32_t max) { return Percent(50) ? Int(1, max < 24 ? max : 24) : Int(1, max); }

 private:
  std::mt19937 gen_;
};

inline std::vector<uint8_t> RandomBytes(Rng& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (uint8_t& b : v)
    b = static_cast<uint8_t>(rng.Int(0, 255));
  return v;
}

inline std::vector<WorkPixel> RandomWork(Rng& rng, size_t n, int32_t lo, int32_t hi) {
  std::vector<WorkPixel> v(n);
  for (WorkPixel& p : v) {
    p = {static_cast<int16_t>(rng.Int(lo, hi)), static_cast<int16_t>(rng.Int(lo, hi)),
         static_cast<int16_t>(rng.Int(lo, hi)), static_cast<int16_t>(rng.Int(lo, hi))};
  }
  return v;
}

// A random COLORREF, often one of the common keys.
inline uint32_t RandomKey(Rng& rng) {
  switch (rng.Int(0, 3)) {
    case 0:
      return 0x000000;
    case 1:
      return 0xFF00FF;
    default:
      return static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
  }
}

// A byte buffer of n bytes with guard zones of a fixed pattern on both sides.
class Guarded {
 public:
  static constexpr size_t kGuard = 64;
  explicit Guarded(const std::vector<uint8_t>& content)
      : bytes_(content.size() + 2 * kGuard, 0xA5) {
    std::copy(content.begin(), content.end(), bytes_.begin() + kGuard);
  }
  uint8_t* data() { return bytes_.data() + kGuard; }
  const std::vector<uint8_t>& all() const { return bytes_; }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuard; ++i) {
      if (bytes_[i] != 0xA5 || bytes_[bytes_.size() - 1 - i] != 0xA5)
        return false;
    }
    return true;
  }

 private:
  std::vector<uint8_t> bytes_;
};

template <typename T>
std::vector<uint8_t> AsBytes(const std::vector<T>& v) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(v.data());
  return std::vector<uint8_t>(p, p + v.size() * sizeof(T));
}

}  // namespace zunk::test
