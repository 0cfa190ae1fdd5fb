// Blend kernels: worked examples on every variant, then every SIMD variant against the
// reference on random frames, sources, rectangles, levels and keys.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

using test::Variant;
using Bytes = std::vector<uint8_t>;

class BlendExamples : public testing::TestWithParam<Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};

TEST_P(BlendExamples, Rgb24LevelsAndBottomUpRows) {
  // 2 x 1 source into a 3 x 2 frame at (1, 0): picture row 0 is the frame's last memory row.
  const Bytes bgrx{0, 200, 77, 9, 200, 0, 1, 9};
  const Bytes start{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  Bytes frame = start;
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 2, 1, 2, 1, frame.data(), 1, 0, 3, 2, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 200, 77, 200, 0, 1}));
  frame = start;
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 2, 1, 2, 1, frame.data(), 1, 0, 3, 2, 0, 0, 0);
  EXPECT_EQ(frame, start);
  // Level 33 is weight 84: 10 + floor(-10 * 84 / 256) = 6, 11 + floor(189 * 84 / 256) = 73.
  frame = start;
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 2, 1, frame.data(), 0, 1, 3, 2, 33, 0, 0);
  EXPECT_EQ(frame[0], 0 + 0);  // 1 + floor(-1 * 84 / 256) = 0
  EXPECT_EQ(frame[1], 2 + (198 * 84 >> 8));
  EXPECT_EQ(frame[2], 3 + (74 * 84 >> 8));
  // Levels beyond the range: above 100 acts as 100, below 0 as 0.
  frame = start;
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 2, 1, frame.data(), 0, 1, 3, 2, 150, 0, 0);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 3), (Bytes{0, 200, 77}));
  frame = start;
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 2, 1, frame.data(), 0, 1, 3, 2, -20, 0, 0);
  EXPECT_EQ(frame, start);
}

TEST_P(BlendExamples, Rgb24KeyAndWorkClamp) {
  // Key 0x00FF00 (green) matches B = 0, G = 255, R = 0 whatever X.
  const Bytes bgrx{0, 255, 0, 123};
  Bytes frame{9, 9, 9};
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 1, 1, frame.data(), 0, 0, 1, 1, 100, 0x00FF00, 1);
  EXPECT_EQ(frame, (Bytes{9, 9, 9}));
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 1, 1, frame.data(), 0, 0, 1, 1, 100, 0x00FF00, 2);
  EXPECT_EQ(frame, (Bytes{0, 255, 0}));  // keyOn = 2: bit 0 clear, keying off
  frame = {9, 9, 9};
  k_.BlendBgrxToRgb24(bgrx.data(), 0, 0, 1, 1, 1, 1, frame.data(), 0, 0, 1, 1, 100, 0x00FF00, 3);
  EXPECT_EQ(frame, (Bytes{9, 9, 9}));
  // Work words outside 0..255 are clamped; the key test ignores X into a format-1 frame.
  const std::vector<WorkPixel> work{{300, -5, 128, 0}, {0, 255, 0, 77}};
  frame = {9, 9, 9, 9, 9, 9};
  k_.BlendWorkToRgb24(work.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 100, 0x00FF00, 1);
  EXPECT_EQ(frame, (Bytes{255, 0, 128, 9, 9, 9}));
}

TEST_P(BlendExamples, Yuy2FullAndHalfGroups) {
  // P0 = (10, 20, 30), P1 = (50, 60, 70): lumas 21 and 61, chroma of (30, 40, 50) 121 and 133.
  const Bytes bgrx{10, 20, 30, 0, 50, 60, 70, 0};
  Bytes frame{200, 50, 100, 90, 1, 2, 3, 4};
  k_.BlendBgrxToYuy2(bgrx.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 4, 1, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{21, 121, 61, 133, 1, 2, 3, 4}));
  // Grey gives neutral chroma.
  const Bytes grey{100, 100, 100, 0, 100, 100, 100, 0};
  k_.BlendBgrxToYuy2(grey.data(), 0, 0, 2, 1, 2, 1, frame.data(), 2, 0, 4, 1, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{21, 121, 61, 133, 100, 128, 100, 128}));
  // Left pixel keyed at level 100: its luma stays, the chroma is the mean of new and old:
  // (121 + 50) / 2 = 85 and (133 + 90) / 2 = 111 for the drawn pixel (10, 20, 30).
  const Bytes keyedLeft{1, 2, 3, 0, 10, 20, 30, 0};
  frame = {200, 50, 100, 90};
  k_.BlendBgrxToYuy2(keyedLeft.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 100, 0x010203,
                     1);
  EXPECT_EQ(frame, (Bytes{200, 85, 21, 111}));
  // Odd dstX: the first frame column is the right half of its group.
  frame = {200, 50, 100, 90};
  k_.BlendBgrxToYuy2(bgrx.data(), 0, 0, 1, 1, 2, 1, frame.data(), 1, 0, 2, 1, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{200, 85, 21, 111}));
  // Odd width at even dstX: the last column is a left half; the pixel after it keeps its luma.
  frame = {200, 50, 100, 90, 200, 50, 100, 90};
  const Bytes three{50, 60, 70, 0, 50, 60, 70, 0, 10, 20, 30, 0};
  k_.BlendBgrxToYuy2(three.data(), 0, 0, 3, 1, 3, 1, frame.data(), 0, 0, 4, 1, 100, 0, 0);
  EXPECT_EQ(Bytes(frame.begin() + 4, frame.end()), (Bytes{21, 85, 100, 111}));
  // Both keyed, or level 0: the group stays as it was.
  frame = {200, 50, 100, 90};
  const Bytes bothKeyed{1, 2, 3, 0, 1, 2, 3, 0};
  k_.BlendBgrxToYuy2(bothKeyed.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 100, 0x010203,
                     1);
  k_.BlendBgrxToYuy2(bgrx.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 0, 0, 0);
  EXPECT_EQ(frame, (Bytes{200, 50, 100, 90}));
}

TEST_P(BlendExamples, Yuy2OddFrameWidthLeavesTheIncompleteGroup) {
  // A 3-pixel row has one whole group; the last column's group would reach past the row.
  const Bytes grey{100, 100, 100, 0, 100, 100, 100, 0, 100, 100, 100, 0};
  Bytes frame{1, 2, 3, 4, 5, 6};
  k_.BlendBgrxToYuy2(grey.data(), 0, 0, 3, 1, 3, 1, frame.data(), 0, 0, 3, 1, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{100, 128, 100, 128, 5, 6}));
  frame = {1, 2, 3, 4, 5, 6};
  k_.BlendBgrxToYuy2(grey.data(), 0, 0, 1, 1, 3, 1, frame.data(), 2, 0, 3, 1, 100, 0, 0);
  EXPECT_EQ(frame, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_P(BlendExamples, Yuy2WorkKeyNeedsZeroX) {
  // B, G, R equal the key but X = 5: not keyed into a format-0 frame.
  const std::vector<WorkPixel> work{{3, 2, 1, 5}, {3, 2, 1, 0}};
  Bytes frame{200, 50, 100, 90};
  k_.BlendWorkToYuy2(work.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 100, 0x030201, 1);
  const int y = (29 * 3 + 150 * 2 + 77 * 1) >> 8;
  EXPECT_EQ(frame[0], y);
  EXPECT_EQ(frame[2], 100);
  // Keying off: nothing is keyed, not even a pixel whose X word is 255 (a luma of 255).
  const std::vector<WorkPixel> white{{255, 255, 255, 255}, {255, 255, 255, 0}};
  frame = {0, 128, 0, 128};
  k_.BlendWorkToYuy2(white.data(), 0, 0, 2, 1, 2, 1, frame.data(), 0, 0, 2, 1, 100, 0xFFFFFF, 0);
  EXPECT_EQ(frame, (Bytes{255, 128, 255, 128}));
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         BlendExamples,
                         testing::ValuesIn(test::AllVariants()),
                         test::VariantName);

class BlendExact : public testing::TestWithParam<Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BlendExact);

struct BlendCase {
  int32_t srcW, srcH, frameW, frameH, x0, y0, x1, y1, dstX, dstY, level, keyOn;
  uint32_t key;
  std::string Describe() const {
    return "src " + std::to_string(srcW) + "x" + std::to_string(srcH) + " frame " +
           std::to_string(frameW) + "x" + std::to_string(frameH) + " rect " + std::to_string(x0) +
           "," + std::to_string(y0) + ".." + std::to_string(x1) + "," + std::to_string(y1) +
           " at " + std::to_string(dstX) + "," + std::to_string(dstY) + " level " +
           std::to_string(level) + " key " + std::to_string(key) + "/" + std::to_string(keyOn);
  }
};

BlendCase RandomBlend(test::Rng& rng) {
  BlendCase c;
  c.srcW = rng.Size(200);
  c.srcH = rng.Size(40);
  c.frameW = rng.Size(200);
  c.frameH = rng.Size(40);
  c.x0 = rng.Int(-c.srcW / 2 - 3, c.srcW + 1);
  c.y0 = rng.Int(-5, c.srcH + 1);
  c.x1 = c.x0 + rng.Int(-2, c.srcW + 4);
  c.y1 = c.y0 + rng.Int(-2, c.srcH + 4);
  c.dstX = rng.Int(-c.frameW / 2 - 3, c.frameW + 1);
  c.dstY = rng.Int(-5, c.frameH + 1);
  c.level = rng.Percent(5) ? rng.Int(-50, 200) : rng.Int(0, 100);
  c.keyOn = rng.Int(0, 3);
  c.key = test::RandomKey(rng);
  return c;
}

// Source pixels: random, with runs of key-coloured pixels planted.
Bytes RandomBgrx(test::Rng& rng, const BlendCase& c) {
  Bytes s = test::RandomBytes(rng, c.srcW * c.srcH * 4);
  const int percent = rng.Int(0, 70);
  for (size_t i = 0; i < s.size(); i += 4) {
    if (rng.Percent(percent)) {
      s[i] = (c.key >> 16) & 0xFF;
      s[i + 1] = (c.key >> 8) & 0xFF;
      s[i + 2] = c.key & 0xFF;
    }
  }
  return s;
}

std::vector<WorkPixel> RandomWorkSource(test::Rng& rng, const BlendCase& c) {
  const bool wide = rng.Percent(20);
  std::vector<WorkPixel> s =
      test::RandomWork(rng, c.srcW * c.srcH, wide ? -400 : 0, wide ? 700 : 255);
  const int percent = rng.Int(0, 70);
  for (WorkPixel& p : s) {
    if (rng.Percent(percent)) {
      p = KeyWorkPixel(c.key);
      if (rng.Percent(20))
        p.x = static_cast<int16_t>(rng.Int(1, 255));
    } else if (!wide) {
      p.x = static_cast<int16_t>(rng.Int(0, 1) * rng.Int(0, 255));
    }
  }
  return s;
}

template <typename Src, typename Fn>
void CheckBlend(Fn fast,
                Fn ref,
                int frameBytes,
                uint32_t seed,
                std::vector<Src> (*makeSource)(test::Rng&, const BlendCase&)) {
  test::Rng rng(seed);
  for (int n = 0; n < 1500; ++n) {
    const BlendCase c = RandomBlend(rng);
    SCOPED_TRACE(c.Describe());
    const std::vector<Src> src = makeSource(rng, c);
    const Bytes start = test::RandomBytes(rng, c.frameW * c.frameH * frameBytes);
    test::Guarded expected(start), actual(start);
    ref(src.data(), c.x0, c.y0, c.x1, c.y1, c.srcW, c.srcH, expected.data(), c.dstX, c.dstY,
        c.frameW, c.frameH, c.level, c.key, c.keyOn);
    fast(src.data(), c.x0, c.y0, c.x1, c.y1, c.srcW, c.srcH, actual.data(), c.dstX, c.dstY,
         c.frameW, c.frameH, c.level, c.key, c.keyOn);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(expected.all(), actual.all());
  }
}

TEST_P(BlendExact, WorkToYuy2) {
  CheckBlend<WorkPixel>(k_.BlendWorkToYuy2, ref::BlendWorkToYuy2, 2, 301, RandomWorkSource);
}
TEST_P(BlendExact, WorkToRgb24) {
  CheckBlend<WorkPixel>(k_.BlendWorkToRgb24, ref::BlendWorkToRgb24, 3, 302, RandomWorkSource);
}
TEST_P(BlendExact, BgrxToYuy2) {
  CheckBlend<uint8_t>(k_.BlendBgrxToYuy2, ref::BlendBgrxToYuy2, 2, 303, RandomBgrx);
}
TEST_P(BlendExact, BgrxToRgb24) {
  CheckBlend<uint8_t>(k_.BlendBgrxToRgb24, ref::BlendBgrxToRgb24, 3, 304, RandomBgrx);
}

// Rows wide enough for several whole vector steps, with the key planted in patterns that
// random content rarely makes: whole steps keyed, every left or right pixel of a pair keyed,
// alternate pairs keyed, one keyed pixel per step.
TEST_P(BlendExact, BgrxToYuy2KeyPatternsOnWideRows) {
  const int32_t w = 150, h = 6;  // 75 groups a row: whole steps and a tail
  const uint32_t key = 0x4080C0;
  const std::function<bool(int32_t)> patterns[] = {
      [](int32_t) { return true; },         [](int32_t x) { return x < 64; },
      [](int32_t x) { return x % 2 == 0; }, [](int32_t x) { return x % 2 == 1; },
      [](int32_t x) { return x % 4 < 2; },  [](int32_t x) { return x % 32 == 17; },
  };
  test::Rng rng(305);
  for (size_t p = 0; p < std::size(patterns); ++p) {
    Bytes src = test::RandomBytes(rng, w * h * 4);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        if (patterns[p](x + y)) {  // each row shifted by one: both pixel parities lead
          uint8_t* px = &src[(y * w + x) * 4];
          px[0] = 0x40, px[1] = 0x80, px[2] = 0xC0;  // B, G, R of COLORREF 0x4080C0
        }
      }
    }
    for (const int32_t level : {0, 33, 100}) {
      SCOPED_TRACE("pattern " + std::to_string(p) + " level " + std::to_string(level));
      const Bytes start = test::RandomBytes(rng, w * h * 2);
      Bytes expected = start, actual = start;
      ref::BlendBgrxToYuy2(src.data(), 0, 0, w, h, w, h, expected.data(), 0, 0, w, h, level, key,
                           1);
      k_.BlendBgrxToYuy2(src.data(), 0, 0, w, h, w, h, actual.data(), 0, 0, w, h, level, key, 1);
      ASSERT_EQ(expected, actual);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         BlendExact,
                         testing::ValuesIn(test::SimdVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
