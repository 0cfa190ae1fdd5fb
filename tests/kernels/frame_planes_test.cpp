// The frame's byte planes: the reference against the region conversion it stands for, then
// every SIMD variant against the reference on random frames, rectangles and keys, bit for bit,
// with guard bytes around the planes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

struct PlanesCase {
  int32_t format, frameW, frameH, x0, y0, x1, y1;
  uint32_t key;
  std::vector<uint8_t> frame;
  std::string Describe() const {
    return "format " + std::to_string(format) + " frame " + std::to_string(frameW) + "x" +
           std::to_string(frameH) + " rect " + std::to_string(x0) + "," + std::to_string(y0) +
           ".." + std::to_string(x1) + "," + std::to_string(y1) + " key " + std::to_string(key);
  }
};

// The key as a COLORREF 0x00BBGGRR from a work pixel's B, G, R.
uint32_t KeyOf(const WorkPixel& p) {
  return static_cast<uint32_t>(p.r) | static_cast<uint32_t>(p.g) << 8 |
         static_cast<uint32_t>(p.b) << 16;
}

// A random frame and a rectangle inside it (inside its whole groups for format 0); in some
// frames a few pixels equal the key in all four words.
PlanesCase RandomPlanesCase(test::Rng& rng, int32_t format) {
  PlanesCase c;
  c.format = format;
  c.frameW = rng.Size(260);
  if (format == 0 && c.frameW < 2)
    c.frameW = 2;
  c.frameH = rng.Size(12);
  const int32_t usable = format == 0 ? c.frameW & ~1 : c.frameW;
  c.x0 = rng.Int(0, usable - 1);
  c.x1 = rng.Int(c.x0 + 1, usable);
  c.y0 = rng.Int(0, c.frameH - 1);
  c.y1 = rng.Int(c.y0 + 1, c.frameH);
  const int32_t bpp = format == 0 ? 2 : 3;
  c.frame = test::RandomBytes(rng, static_cast<size_t>(c.frameW) * c.frameH * bpp);
  c.key = test::RandomKey(rng);
  if (rng.Percent(30)) {
    // Some pixels made the key: for format 0 a luma of 0 with its group's chroma, the key
    // being what that converts to (all of the group's keyed pixels share it).
    const int32_t n = rng.Int(1, 3);
    const int32_t gu = rng.Int(0, 255), gv = rng.Int(0, 255);
    if (format == 0)
      c.key = KeyOf(YuvToWork(0, gu, gv));
    const WorkPixel key = KeyWorkPixel(c.key);
    for (int i = 0; i < n; ++i) {
      const int32_t x = rng.Int(0, usable - 1), y = rng.Int(0, c.frameH - 1);
      uint8_t* p = c.frame.data() + (static_cast<size_t>(y) * c.frameW + x) * bpp;
      if (format == 0) {
        uint8_t* group = p - (x & 1) * 2;
        p[0] = 0;
        group[1] = static_cast<uint8_t>(gu);
        group[3] = static_cast<uint8_t>(gv);
      } else {
        p[0] = static_cast<uint8_t>(key.b);
        p[1] = static_cast<uint8_t>(key.g);
        p[2] = static_cast<uint8_t>(key.r);
      }
    }
  }
  return c;
}

// The reference is the region conversion's pixels split into planes; it refuses when one of
// them is the key.
TEST(FramePlanesReference, IsTheRegionConversionSplitIntoPlanes) {
  test::Rng rng(401);
  const KernelTable ref = KernelsFor(0);
  int refused = 0;
  for (int n = 0; n < 600; ++n) {
    const PlanesCase c = RandomPlanesCase(rng, n % 2);
    SCOPED_TRACE(c.Describe());
    const int32_t w = c.x1 - c.x0, h = c.y1 - c.y0;
    std::vector<WorkPixel> work(static_cast<size_t>(w) * h);
    CopyRegionFor(ref, c.format)(c.frame.data(), c.x0, c.y0, c.x1, c.y1, c.frameW, c.frameH,
                                 work.data(), 0, 0, w, h);
    const WorkPixel key = KeyWorkPixel(c.key);
    bool keyed = false;
    std::vector<uint8_t> expected(work.size() * 3);
    for (size_t i = 0; i < work.size(); ++i) {
      const WorkPixel& p = work[i];
      keyed = keyed || (p.b == key.b && p.g == key.g && p.r == key.r && p.x == key.x);
      expected[i] = static_cast<uint8_t>(p.b);
      expected[work.size() + i] = static_cast<uint8_t>(p.g);
      expected[2 * work.size() + i] = static_cast<uint8_t>(p.r);
    }
    std::vector<uint8_t> planes(expected.size(), 0x5A);
    const bool made = FramePlanesFor(ref, c.format)(c.frame.data(), c.x0, c.y0, c.x1, c.y1,
                                                    c.frameW, c.frameH, c.key, planes.data());
    ASSERT_EQ(made, !keyed);
    refused += !made;
    if (made) {
      ASSERT_EQ(planes, expected);
    }
  }
  EXPECT_GT(refused, 20);
}

TEST(FramePlanesReference, RefusesRectanglesOutsideTheFrame) {
  const std::vector<uint8_t> frame(7 * 2 * 3, 100);
  std::vector<uint8_t> planes(64, 0x5A);
  const KernelTable ref = KernelsFor(0);
  for (int32_t format = 0; format < 2; ++format) {
    const FramePlanesFn planesOf = FramePlanesFor(ref, format);
    SCOPED_TRACE(format);
    EXPECT_TRUE(planesOf(frame.data(), 0, 0, 6, 2, 7, 2, 0, planes.data()));
    EXPECT_FALSE(planesOf(frame.data(), -1, 0, 6, 2, 7, 2, 0, planes.data()));
    EXPECT_FALSE(planesOf(frame.data(), 0, -1, 6, 2, 7, 2, 0, planes.data()));
    EXPECT_FALSE(planesOf(frame.data(), 0, 0, 6, 3, 7, 2, 0, planes.data()));
    EXPECT_FALSE(planesOf(frame.data(), 3, 0, 3, 2, 7, 2, 0, planes.data()));  // empty
    EXPECT_FALSE(planesOf(frame.data(), 0, 1, 6, 1, 7, 2, 0, planes.data()));
    EXPECT_FALSE(planesOf(frame.data(), 4, 0, 3, 2, 7, 2, 0, planes.data()));
    // The odd frame's last column: a pixel for format 1, half a group for format 0.
    EXPECT_EQ(planesOf(frame.data(), 0, 0, 7, 2, 7, 2, 0, planes.data()), format == 1);
    EXPECT_FALSE(planesOf(frame.data(), 0, 0, 8, 2, 7, 2, 0, planes.data()));
  }
}

class FramePlanesExact : public testing::TestWithParam<test::Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FramePlanesExact);

TEST_P(FramePlanesExact, MatchesTheReference) {
  test::Rng rng(402);
  const KernelTable ref = KernelsFor(0);
  for (int n = 0; n < 3000; ++n) {
    const PlanesCase c = RandomPlanesCase(rng, n % 2);
    SCOPED_TRACE(c.Describe());
    const size_t bytes = static_cast<size_t>(c.x1 - c.x0) * (c.y1 - c.y0) * 3;
    std::vector<uint8_t> expected(bytes, 0x5A);
    test::Guarded actual(std::vector<uint8_t>(bytes, 0x5A));
    const std::vector<uint8_t> before = c.frame;
    const bool made = FramePlanesFor(ref, c.format)(c.frame.data(), c.x0, c.y0, c.x1, c.y1,
                                                    c.frameW, c.frameH, c.key, expected.data());
    ASSERT_EQ(FramePlanesFor(k_, c.format)(c.frame.data(), c.x0, c.y0, c.x1, c.y1, c.frameW,
                                           c.frameH, c.key, actual.data()),
              made);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(c.frame, before);
    if (made) {
      ASSERT_EQ(std::memcmp(actual.data(), expected.data(), bytes), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         FramePlanesExact,
                         testing::ValuesIn(test::SimdVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
