// Template resampling: step tables, the worked examples and the key rule on every variant,
// then every SIMD variant against the reference on random sizes, pictures and keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

using test::Variant;

TEST(ResampleSteps, WorkedExamples) {
  ResampleStep s[2];
  BuildResampleSteps(4, 2, 4, s);  // 4 -> 2: samples at 0.5 and 2.5
  EXPECT_EQ(s[0].advance, 0);
  EXPECT_EQ(s[0].weight[0], 2048);
  EXPECT_EQ(s[1].advance, 8);
  EXPECT_EQ(s[1].weight[3], 2048);
  EXPECT_EQ(s[1].next, 4);
  BuildResampleSteps(3, 2, 4, s);  // 3 -> 2: samples at 0.25 and 1.75
  EXPECT_EQ(s[0].advance, 0);
  EXPECT_EQ(s[0].weight[0], 3072);
  EXPECT_EQ(s[1].advance, 4);
  EXPECT_EQ(s[1].weight[0], 1024);
}

TEST(ResampleSteps, EnlargingClampsBothSamplesInside) {
  for (int n = 1; n <= 12; ++n) {
    for (int m = n; m <= 40; ++m) {
      std::vector<ResampleStep> s(m);
      BuildResampleSteps(n, m, 1, s.data());
      int first = 0;
      for (int i = 0; i < m; ++i) {
        first += s[i].advance;
        ASSERT_GE(first, 0) << n << "->" << m << " at " << i;
        ASSERT_LE(first + s[i].next, n - 1) << n << "->" << m << " at " << i;
      }
    }
  }
}

class ResampleExamples : public testing::TestWithParam<Variant> {
 protected:
  std::vector<WorkPixel> Run(const std::vector<uint8_t>& src,
                             int srcW,
                             int srcH,
                             int dstW,
                             int dstH,
                             uint32_t key) {
    std::vector<WorkPixel> dst(dstW * dstH, WorkPixel{-1, -1, -1, -1});
    std::vector<WorkPixel> tmp(dstW * srcH);
    std::vector<ResampleStep> cols(dstW), rows(dstH);
    KernelsFor(GetParam().mask)
        .ResampleBgrxToWork(src.data(), srcW, srcH, dst.data(), dstW, dstH, tmp.data(), cols.data(),
                            rows.data(), key);
    return dst;
  }
};

std::vector<uint8_t> Grey(const std::vector<int>& levels) {
  std::vector<uint8_t> v;
  for (int l : levels)
    v.insert(v.end(), {uint8_t(l), uint8_t(l), uint8_t(l), 0xEE});
  return v;
}

TEST_P(ResampleExamples, HalvingAveragesPairsRoundingDown) {
  // Rows: 10, 20 -> 15; 11, 20 -> 15; 20, 11 -> 15. Then rows 15 and 15 -> 15, X = 0.
  const std::vector<uint8_t> src = Grey({10, 20, 11, 20, 20, 11, 20, 11});
  const std::vector<WorkPixel> dst = Run(src, 4, 2, 2, 1, 0x123456);
  EXPECT_EQ(dst[0].b, 15);
  EXPECT_EQ(dst[0].g, 15);
  EXPECT_EQ(dst[1].r, 15);
  EXPECT_EQ(dst[0].x, 0);
  EXPECT_EQ(dst[1].x, 0);
}

TEST_P(ResampleExamples, KeyColourSurvivesAndNeverMixes) {
  // Key magenta. 4 -> 2 along rows: logo L next to key gives L; two keys give the key.
  const uint32_t key = 0xFF00FF;
  std::vector<uint8_t> src{10, 20, 30, 0, 255, 0, 255, 7, 255, 0, 255, 0, 255, 0, 255, 9};
  const std::vector<WorkPixel> dst = Run(src, 4, 1, 2, 1, key);
  EXPECT_EQ(dst[0].b, 10);
  EXPECT_EQ(dst[0].g, 20);
  EXPECT_EQ(dst[0].r, 30);
  EXPECT_EQ(dst[1].b, 255);
  EXPECT_EQ(dst[1].g, 0);
  EXPECT_EQ(dst[1].r, 255);
  // The same along columns (1 x 4 -> 1 x 2).
  const std::vector<WorkPixel> col = Run(src, 1, 4, 1, 2, key);
  EXPECT_EQ(col[0].r, 30);
  EXPECT_EQ(col[1].b, 255);
  EXPECT_EQ(col[1].g, 0);
}

TEST_P(ResampleExamples, SameSizeIsAPlainCopy) {
  // Rows 40, 0 over 60, 100 with a black key. Same size: copied as is, X = 0.
  const std::vector<uint8_t> src = Grey({40, 0, 60, 100});
  const std::vector<WorkPixel> same = Run(src, 2, 2, 2, 2, 0x000000);
  EXPECT_EQ(same[1].b, 0);
  EXPECT_EQ(same[2].g, 60);
  EXPECT_EQ(same[3].x, 0);
  // Width kept, height halved: only the column pass mixes, and its key rule applies.
  const std::vector<WorkPixel> half = Run(src, 2, 2, 2, 1, 0x000000);
  EXPECT_EQ(half[0].b, 50);   // 60 + floor(-20 * 2048 / 4096)
  EXPECT_EQ(half[1].b, 100);  // the keyed 0 gives way to 100
}

TEST_P(ResampleExamples, EnlargingRepeatsTheEdges) {
  const std::vector<uint8_t> src = Grey({10, 90});
  const std::vector<WorkPixel> dst = Run(src, 2, 1, 6, 3, 0xFFFFFF);
  EXPECT_EQ(dst[0].b, 10);
  EXPECT_EQ(dst[5].b, 90);
  EXPECT_EQ(dst[12].b, 10);
  EXPECT_EQ(dst[17].b, 90);
  for (const WorkPixel& p : dst)
    EXPECT_EQ(p.x, 0);
}

TEST_P(ResampleExamples, EmptySizesWriteNothing) {
  std::vector<WorkPixel> dst(4, WorkPixel{-1, -1, -1, -1});
  KernelsFor(GetParam().mask)
      .ResampleBgrxToWork(nullptr, 0, 3, dst.data(), 2, 2, nullptr, nullptr, nullptr, 0);
  KernelsFor(GetParam().mask)
      .ResampleBgrxToWork(nullptr, 3, 3, dst.data(), 2, -2, nullptr, nullptr, nullptr, 0);
  for (const WorkPixel& p : dst)
    EXPECT_EQ(p.b, -1);
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         ResampleExamples,
                         testing::ValuesIn(test::AllVariants()),
                         test::VariantName);

class ResampleExact : public testing::TestWithParam<Variant> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ResampleExact);

TEST_P(ResampleExact, MatchesReference) {
  const ResampleFn fast = KernelsFor(GetParam().mask).ResampleBgrxToWork;
  test::Rng rng(401);
  for (int n = 0; n < 1500; ++n) {
    // Sizes 1..200 along each axis, the tall ones with narrow widths to keep the test fast.
    const bool tall = rng.Percent(30);
    const int32_t srcW = rng.Size(tall ? 40 : 200), srcH = rng.Size(tall ? 200 : 40);
    const int32_t dstW = rng.Percent(15) ? srcW : rng.Size(tall ? 40 : 200);
    const int32_t dstH = rng.Percent(15) ? srcH : rng.Size(tall ? 200 : 40);
    const uint32_t key = test::RandomKey(rng);
    SCOPED_TRACE(std::to_string(srcW) + "x" + std::to_string(srcH) + " -> " + std::to_string(dstW) +
                 "x" + std::to_string(dstH) + " key " + std::to_string(key));
    std::vector<uint8_t> src = test::RandomBytes(rng, srcW * srcH * 4);
    // Key-coloured background in runs, as a logo bitmap has.
    const int percent = rng.Int(0, 80);
    bool keyed = false;
    for (size_t i = 0; i < src.size(); i += 4) {
      if (rng.Percent(20))
        keyed = rng.Percent(percent);
      if (keyed) {
        src[i] = (key >> 16) & 0xFF;
        src[i + 1] = (key >> 8) & 0xFF;
        src[i + 2] = key & 0xFF;
      }
    }
    const std::vector<uint8_t> start = test::RandomBytes(rng, dstW * dstH * sizeof(WorkPixel));
    test::Guarded expected(start), actual(start);
    std::vector<WorkPixel> tmp(dstW * srcH);
    std::vector<ResampleStep> cols(dstW), rows(dstH);
    ref::ResampleBgrxToWork(src.data(), srcW, srcH, reinterpret_cast<WorkPixel*>(expected.data()),
                            dstW, dstH, tmp.data(), cols.data(), rows.data(), key);
    fast(src.data(), srcW, srcH, reinterpret_cast<WorkPixel*>(actual.data()), dstW, dstH,
         tmp.data(), cols.data(), rows.data(), key);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(expected.all(), actual.all());
  }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         ResampleExact,
                         testing::ValuesIn(test::SimdVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
