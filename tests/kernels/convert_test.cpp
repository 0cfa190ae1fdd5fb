// Frame region conversion: worked examples on every variant, then every SIMD variant
// against the reference on random frames, rectangles and positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

using test::Variant;

bool Same(const WorkPixel& a, const WorkPixel& b) {
  return a.b == b.b && a.g == b.g && a.r == b.r && a.x == b.x;
}

std::string Show(const WorkPixel& p) {
  return std::to_string(p.b) + "," + std::to_string(p.g) + "," + std::to_string(p.r) + "," +
         std::to_string(p.x);
}

#define EXPECT_PIXEL(actual, b, g, r, x) \
  EXPECT_TRUE(Same(actual, WorkPixel{b, g, r, x})) << Show(actual)

TEST(YuvToWork, FloorsEachTermAndSaturates) {
  EXPECT_PIXEL(YuvToWork(77, 128, 128), 77, 77, 77, 77);       // neutral chroma
  EXPECT_PIXEL(YuvToWork(255, 128, 255), 255, 164, 255, 255);  // 255 + 178 saturates
  EXPECT_PIXEL(YuvToWork(0, 128, 255), 0, 0, 178, 0);
  EXPECT_PIXEL(YuvToWork(0, 0, 128), 0, 43, 0, 0);  // 0 - 227 saturates
  EXPECT_PIXEL(YuvToWork(255, 0, 128), 28, 255, 255, 255);
  EXPECT_PIXEL(YuvToWork(100, 127, 129), 98, 99, 101, 100);  // floor(-454 / 256) = -2
}

class ConvertExamples : public testing::TestWithParam<Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};

TEST_P(ConvertExamples, Yuy2ColumnsAndHalfGroups) {
  // One row of four groups; chroma differs per group so the pairing shows.
  const std::vector<uint8_t> frame{10, 100, 20, 110, 30, 120, 40, 130,
                                   50, 140, 60, 150, 70, 160, 80, 170};
  const WorkPixel blank{-1, -1, -1, -1};
  std::vector<WorkPixel> work(8, blank);
  k_.CopyRegionFromYuy2(frame.data(), 1, 0, 8, 1, 8, 1, work.data(), 0, 0, 8, 1);
  EXPECT_TRUE(Same(work[0], YuvToWork(20, 100, 110)));  // odd x0: Y1 of the group to the left
  for (int i = 1; i < 7; ++i) {
    const int g = (i + 1) / 2;  // pixel 1 + i of the frame
    EXPECT_TRUE(Same(work[i], YuvToWork(frame[(1 + i) * 2], frame[4 * g + 1], frame[4 * g + 3])))
        << i;
  }
  EXPECT_TRUE(Same(work[7], blank));

  std::vector<WorkPixel> one(2, blank);
  k_.CopyRegionFromYuy2(frame.data(), 4, 0, 5, 1, 8, 1, one.data(), 0, 0, 2, 1);
  EXPECT_TRUE(Same(one[0], YuvToWork(50, 140, 150)));  // even single column: Y0
  k_.CopyRegionFromYuy2(frame.data(), 5, 0, 6, 1, 8, 1, one.data(), 1, 0, 2, 1);
  EXPECT_TRUE(Same(one[1], YuvToWork(60, 140, 150)));  // odd single column: Y1

  // Odd frame width: the last column has no complete group and is not part of the picture.
  std::vector<WorkPixel> odd(8, blank);
  k_.CopyRegionFromYuy2(frame.data(), 0, 0, 7, 1, 7, 1, odd.data(), 0, 0, 8, 1);
  EXPECT_TRUE(Same(odd[5], YuvToWork(60, 140, 150)));
  EXPECT_TRUE(Same(odd[6], blank));
}

TEST_P(ConvertExamples, Rgb24BottomUpAndClipped) {
  // 5 x 3 frame: rows of 15 bytes, not a multiple of 4. Byte = 16 * memory row + offset.
  std::vector<uint8_t> frame(45);
  for (int i = 0; i < 45; ++i)
    frame[i] = static_cast<uint8_t>(16 * (i / 15) + i % 15);
  const WorkPixel blank{-1, -1, -1, -1};
  std::vector<WorkPixel> work(5 * 3, blank);
  k_.CopyRegionFromRgb24(frame.data(), 0, 0, 5, 3, 5, 3, work.data(), 0, 0, 5, 3);
  EXPECT_PIXEL(work[0], 32, 33, 34, 0);  // picture row 0 is memory row 2
  EXPECT_PIXEL(work[5 + 4], 16 + 12, 16 + 13, 16 + 14, 0);
  EXPECT_PIXEL(work[10 + 1], 3, 4, 5, 0);

  // x0 = -2 moves the destination right by 2; the rest is cut at the work buffer's edge.
  std::vector<WorkPixel> part(4, blank);
  k_.CopyRegionFromRgb24(frame.data(), -2, 1, 5, 2, 5, 3, part.data(), 0, 0, 4, 1);
  EXPECT_TRUE(Same(part[0], blank));
  EXPECT_TRUE(Same(part[1], blank));
  EXPECT_PIXEL(part[2], 16, 17, 18, 0);
  EXPECT_PIXEL(part[3], 19, 20, 21, 0);
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         ConvertExamples,
                         testing::ValuesIn(test::AllVariants()),
                         test::VariantName);

class ConvertExact : public testing::TestWithParam<Variant> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ConvertExact);

struct RegionCase {
  int32_t frameW, frameH, workW, workH, x0, y0, x1, y1, dstX, dstY;
  std::string Describe() const {
    return "frame " + std::to_string(frameW) + "x" + std::to_string(frameH) + " work " +
           std::to_string(workW) + "x" + std::to_string(workH) + " rect " + std::to_string(x0) +
           "," + std::to_string(y0) + ".." + std::to_string(x1) + "," + std::to_string(y1) +
           " at " + std::to_string(dstX) + "," + std::to_string(dstY);
  }
};

RegionCase RandomRegion(test::Rng& rng) {
  RegionCase c;
  c.frameW = rng.Size(200);
  c.frameH = rng.Size(200);
  c.workW = rng.Size(200);
  c.workH = rng.Size(60);
  c.x0 = rng.Int(-c.frameW / 2 - 3, c.frameW + 2);
  c.y0 = rng.Int(-c.frameH / 2 - 3, c.frameH + 2);
  c.x1 = c.x0 + rng.Int(-2, c.frameW + 4);
  c.y1 = c.y0 + rng.Int(-2, 40);
  c.dstX = rng.Int(-c.workW / 2 - 3, c.workW + 1);
  c.dstY = rng.Int(-5, c.workH + 1);
  return c;
}

void CheckConvert(CopyRegionFn fast, CopyRegionFn ref, int bytesPerPixel, uint32_t seed) {
  test::Rng rng(seed);
  for (int n = 0; n < 1500; ++n) {
    const RegionCase c = RandomRegion(rng);
    SCOPED_TRACE(c.Describe());
    const std::vector<uint8_t> frame = test::RandomBytes(rng, c.frameW * c.frameH * bytesPerPixel);
    const std::vector<uint8_t> start =
        test::AsBytes(test::RandomWork(rng, c.workW * c.workH, -300, 300));
    test::Guarded expected(start), actual(start);
    ref(frame.data(), c.x0, c.y0, c.x1, c.y1, c.frameW, c.frameH,
        reinterpret_cast<WorkPixel*>(expected.data()), c.dstX, c.dstY, c.workW, c.workH);
    fast(frame.data(), c.x0, c.y0, c.x1, c.y1, c.frameW, c.frameH,
         reinterpret_cast<WorkPixel*>(actual.data()), c.dstX, c.dstY, c.workW, c.workH);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(expected.all(), actual.all());
  }
}

TEST_P(ConvertExact, Yuy2MatchesReference) {
  CheckConvert(KernelsFor(GetParam().mask).CopyRegionFromYuy2, ref::CopyRegionFromYuy2, 2, 101);
}

TEST_P(ConvertExact, Rgb24MatchesReference) {
  CheckConvert(KernelsFor(GetParam().mask).CopyRegionFromRgb24, ref::CopyRegionFromRgb24, 3, 102);
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         ConvertExact,
                         testing::ValuesIn(test::SimdVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
