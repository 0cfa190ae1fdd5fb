// Matching kernels: worked examples on every variant, then every SIMD variant against the
// reference on random templates with planted key pixels and signed content.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

using test::Variant;

constexpr uint32_t kMagenta = 0xFF00FF;  // key B = 255, G = 0, R = 255
const WorkPixel kMagentaPixel{255, 0, 255, 0};

uint64_t Mean(uint16_t b, uint16_t g, uint16_t r) {
  return uint64_t{b} | uint64_t{g} << 16 | uint64_t{r} << 32;
}

class MatchExamples : public testing::TestWithParam<Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};

TEST_P(MatchExamples, AllKeyTemplateGivesZeros) {
  const std::vector<WorkPixel> tpl(3 * 2, kMagentaPixel);
  const std::vector<WorkPixel> a(9 * 2, WorkPixel{40, 50, 60, 70});
  uint64_t mean = ~0ull;
  k_.MaskedMeanColour(a.data(), 9, 2, tpl.data(), 3, 2, 1, 0, 4, 2, kMagenta, &mean);
  EXPECT_EQ(mean, 0u);
  uint32_t r = 9, g = 9, b = 9;
  k_.MaskedMeanAbsDiff(a.data(), 9, 2, tpl.data(), 3, 2, 1, 0, 4, 2, kMagenta, &r, &g, &b);
  EXPECT_EQ(r + g + b, 0u);
  std::vector<DiffEntry> row(5, DiffEntry{7, 7, 7, 7});
  k_.MaskedMeanAbsDiffRow(a.data(), 9, 2, tpl.data(), 3, 2, 3, 0, row.data(), 2, kMagenta);
  for (const DiffEntry& e : row)
    EXPECT_EQ(e.b + e.g + e.r + e.x, 0u);
}

TEST_P(MatchExamples, MeanColourFloorsAndSkipsKeys) {
  const std::vector<WorkPixel> tpl{{1, 1, 1, 0}, kMagentaPixel, {2, 2, 2, 0}};
  const std::vector<WorkPixel> a{{10, 21, 255, 1}, {99, 99, 99, 99}, {11, 20, 0, 1}};
  uint64_t mean = 0;
  k_.MaskedMeanColour(a.data(), 3, 1, tpl.data(), 3, 1, 0, 0, 3, 1, kMagenta, &mean);
  EXPECT_EQ(mean, Mean(10, 20, 127));
}

TEST_P(MatchExamples, SubtractMeanGrey) {
  // White subtracts 254, black nothing; a pixel equal to the key in all four words stays.
  std::vector<WorkPixel> buf{{255, 255, 255, 9}, {0, 10, 20, 30}, kMagentaPixel, {255, 0, 255, 7}};
  k_.SubtractMeanGrey(buf.data(), 2, 2, kMagenta, Mean(255, 255, 255));
  EXPECT_EQ(buf[0].b, 1);
  EXPECT_EQ(buf[0].x, 9);
  EXPECT_EQ(buf[1].b, -254);
  EXPECT_EQ(buf[1].r, -234);
  EXPECT_EQ(buf[2].b, 255);  // keyed
  EXPECT_EQ(buf[2].g, 0);
  EXPECT_EQ(buf[3].b, 1);  // X differs from 0: not keyed
  EXPECT_EQ(buf[3].g, -254);
  std::vector<WorkPixel> same{{5, 6, 7, 8}};
  k_.SubtractMeanGrey(same.data(), 1, 1, 0, Mean(0, 0, 0));
  EXPECT_EQ(same[0].b, 5);
  EXPECT_EQ(same[0].r, 7);
}

TEST_P(MatchExamples, AbsDiffOutputsRedGreenBlue) {
  const std::vector<WorkPixel> tpl{{0, 0, 0, 0}, {4, 4, 4, 0}};
  const std::vector<WorkPixel> a{{10, 20, 30, 0}, {0, 0, -300, 0}};
  uint32_t r = 0, g = 0, b = 0;
  k_.MaskedMeanAbsDiff(a.data(), 2, 1, tpl.data(), 2, 1, 0, 0, 2, 1, kMagenta, &r, &g, &b);
  EXPECT_EQ(r, (30u + 304u) / 2);
  EXPECT_EQ(g, (20u + 4u) / 2);
  EXPECT_EQ(b, (10u + 4u) / 2);
}

TEST_P(MatchExamples, DiffRowPlacementsAndExactMatch) {
  // Template 2 x 1 equal to A at column 4 (offset +1 from cx = 3).
  const std::vector<WorkPixel> tpl{{-5, 6, 7, 0}, {8, -9, 10, 0}};
  std::vector<WorkPixel> a(8, WorkPixel{0, 0, 0, 3});
  a[4] = {-5, 6, 7, 3};
  a[5] = {8, -9, 10, 3};
  std::vector<DiffEntry> row(3);
  k_.MaskedMeanAbsDiffRow(a.data(), 8, 1, tpl.data(), 2, 1, 3, 0, row.data(), 1, kMagenta);
  EXPECT_EQ(row[2].b + row[2].g + row[2].r, 0u);
  EXPECT_EQ(row[2].x, 3u);
  EXPECT_EQ(row[1].b, (5u + 13u) / 2);  // A(3) vs T0 and A(4) vs T1, at offset 0
  std::vector<DiffEntry> one(1, DiffEntry{1, 1, 1, 1});
  k_.MaskedMeanAbsDiffRow(a.data(), 8, 1, tpl.data(), 2, 1, 4, 0, one.data(), 0, kMagenta);
  EXPECT_EQ(one[0].b + one[0].g + one[0].r, 0u);  // r = 0: the placement at cx alone
}

TEST_P(MatchExamples, EmptySizesReadNothing) {
  // Null buffers: an empty rectangle, template or run must not touch them.
  uint64_t mean = 1;
  k_.MaskedMeanColour(nullptr, 4, 4, nullptr, 4, 4, 2, 0, 2, 3, kMagenta, &mean);
  EXPECT_EQ(mean, 0u);
  uint32_t r = 1, g = 1, b = 1;
  k_.MaskedMeanAbsDiff(nullptr, 4, 4, nullptr, 4, 4, 0, 3, 2, 1, kMagenta, &r, &g, &b);
  EXPECT_EQ(r + g + b, 0u);
  k_.SubtractMeanGrey(nullptr, 0, 5, kMagenta, Mean(9, 9, 9));
  k_.SubtractMeanGrey(nullptr, 5, -1, kMagenta, Mean(9, 9, 9));
  std::vector<DiffEntry> row(3, DiffEntry{7, 7, 7, 7});
  k_.MaskedMeanAbsDiffRow(nullptr, 4, 4, nullptr, 0, 4, 1, 0, row.data(), 1, kMagenta);
  for (const DiffEntry& e : row)
    EXPECT_EQ(e.b + e.g + e.r + e.x, 0u);
  k_.MaskedMeanAbsDiffRow(nullptr, 4, 4, nullptr, 4, 4, 1, 0, nullptr, -1, kMagenta);
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         MatchExamples,
                         testing::ValuesIn(test::AllVariants()),
                         test::VariantName);

class MatchExact : public testing::TestWithParam<Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(MatchExact);

// Word range of a case: realistic signed content most of the time, sometimes wide enough to
// saturate or wrap the 16-bit differences.
void PickRange(test::Rng& rng, int32_t* lo, int32_t* hi) {
  switch (rng.Int(0, 5)) {
    case 0:
      *lo = 0;
      *hi = 255;
      break;
    case 1:
      *lo = -3000;
      *hi = 3000;
      break;
    case 2:
      *lo = -32768;
      *hi = 32767;
      break;
    default:
      *lo = -254;
      *hi = 255;
      break;
  }
}

// Replaces some template pixels by the key, and some others by near misses.
void PlantKeys(test::Rng& rng, std::vector<WorkPixel>& tpl, uint32_t colorKey) {
  const WorkPixel key = KeyWorkPixel(colorKey);
  const int percent = rng.Int(0, 3) == 0 ? 100 : rng.Int(0, 60);
  for (WorkPixel& p : tpl) {
    if (rng.Percent(percent)) {
      p = key;
    } else if (rng.Percent(5)) {
      p = key;
      p.x = 1;
    }
  }
}

struct MatchCase {
  int32_t tplW, tplH, aW, aH, x0, y0, r;
  uint32_t key;
  std::vector<WorkPixel> tpl, a;
  std::string Describe() const {
    return "tpl " + std::to_string(tplW) + "x" + std::to_string(tplH) + " a " + std::to_string(aW) +
           "x" + std::to_string(aH) + " at " + std::to_string(x0) + "," + std::to_string(y0) +
           " r " + std::to_string(r) + " key " + std::to_string(key);
  }
};

// A template and an image holding the template's rectangle (widened by r on both sides),
// often flush with the image's end so that any read past the area leaves the buffer.
MatchCase RandomMatch(test::Rng& rng, int32_t maxArea) {
  MatchCase c;
  c.tplW = rng.Size(200);
  c.tplH = rng.Int(1, std::max(1, std::min(60, maxArea / c.tplW)));
  c.r = rng.Percent(10) ? 0 : rng.Int(0, rng.Percent(20) ? 80 : 35);
  const bool flush = rng.Percent(40);
  c.x0 = flush ? c.r : c.r + rng.Int(0, 5);
  c.y0 = flush ? 0 : rng.Int(0, 3);
  c.aW = c.x0 + c.tplW + c.r + (flush ? 0 : rng.Int(0, 5));
  c.aH = c.y0 + c.tplH + (flush ? 0 : rng.Int(0, 3));
  c.key = test::RandomKey(rng);
  int32_t lo, hi;
  PickRange(rng, &lo, &hi);
  c.tpl = test::RandomWork(rng, c.tplW * c.tplH, lo, hi);
  PlantKeys(rng, c.tpl, c.key);
  c.a = test::RandomWork(rng, c.aW * c.aH, lo, hi);
  return c;
}

TEST_P(MatchExact, MaskedMeanColour) {
  test::Rng rng(201);
  for (int n = 0; n < 1500; ++n) {
    const MatchCase c = RandomMatch(rng, 4000);
    SCOPED_TRACE(c.Describe());
    uint64_t expected = 1, actual = 2;
    ref::MaskedMeanColour(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                          c.x0 + c.tplW, c.y0 + c.tplH, c.key, &expected);
    k_.MaskedMeanColour(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                        c.x0 + c.tplW, c.y0 + c.tplH, c.key, &actual);
    ASSERT_EQ(expected, actual);
  }
}

TEST_P(MatchExact, SubtractMeanGrey) {
  test::Rng rng(202);
  for (int n = 0; n < 1500; ++n) {
    const int32_t w = rng.Size(200), h = rng.Size(30);
    const uint32_t key = test::RandomKey(rng);
    std::vector<WorkPixel> start = test::RandomWork(rng, w * h, 0, 255);
    PlantKeys(rng, start, key);
    const uint64_t mean = rng.Percent(80)
                              ? Mean(rng.Int(0, 255), rng.Int(0, 255), rng.Int(0, 255))
                              : Mean(rng.Int(0, 65535), rng.Int(0, 65535), rng.Int(0, 65535));
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " mean " + std::to_string(mean));
    test::Guarded expected(test::AsBytes(start)), actual(test::AsBytes(start));
    ref::SubtractMeanGrey(reinterpret_cast<WorkPixel*>(expected.data()), w, h, key, mean);
    k_.SubtractMeanGrey(reinterpret_cast<WorkPixel*>(actual.data()), w, h, key, mean);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(expected.all(), actual.all());
  }
}

TEST_P(MatchExact, MaskedMeanAbsDiff) {
  test::Rng rng(203);
  for (int n = 0; n < 1500; ++n) {
    const MatchCase c = RandomMatch(rng, 4000);
    SCOPED_TRACE(c.Describe());
    uint32_t e[3] = {1, 1, 1}, a[3] = {2, 2, 2};
    ref::MaskedMeanAbsDiff(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                           c.x0 + c.tplW, c.y0 + c.tplH, c.key, &e[0], &e[1], &e[2]);
    k_.MaskedMeanAbsDiff(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                         c.x0 + c.tplW, c.y0 + c.tplH, c.key, &a[0], &a[1], &a[2]);
    ASSERT_EQ(std::vector<uint32_t>(e, e + 3), std::vector<uint32_t>(a, a + 3));
  }
}

TEST_P(MatchExact, MaskedMeanAbsDiffRow) {
  test::Rng rng(204);
  for (int n = 0; n < 1500; ++n) {
    const MatchCase c = RandomMatch(rng, 1500);
    SCOPED_TRACE(c.Describe());
    const size_t m = 2 * c.r + 1;
    const std::vector<uint8_t> start = test::RandomBytes(rng, m * sizeof(DiffEntry));
    test::Guarded expected(start), actual(start);
    // cx is the centre placement: the area starts at x0 - r.
    ref::MaskedMeanAbsDiffRow(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                              reinterpret_cast<DiffEntry*>(expected.data()), c.r, c.key);
    k_.MaskedMeanAbsDiffRow(c.a.data(), c.aW, c.aH, c.tpl.data(), c.tplW, c.tplH, c.x0, c.y0,
                            reinterpret_cast<DiffEntry*>(actual.data()), c.r, c.key);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(expected.all(), actual.all());
  }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         MatchExact,
                         testing::ValuesIn(test::SimdVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
