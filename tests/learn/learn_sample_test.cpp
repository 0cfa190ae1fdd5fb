// Learning samples: the same picture gives the same sample from either pixel format and
// any frame size; frames the plug-in would not accept give none; a capture's series stays
// within its memory, spread over what was offered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "learn/learn_sample.h"
#include "learn/sample_series.h"
#include "learn/synthetic_logo.h"

namespace zunk {
namespace testing_util {
namespace {

LearnSample SampleOf(int32_t w, int32_t h, int32_t format, bool interlaced = false) {
  Scene scene;
  scene.width = w;
  scene.height = h;
  scene.format = format;
  scene.interlaced = interlaced;
  const std::vector<uint8_t> f = MakeFrame(scene, Shot::kProgramme, 3);
  LearnSample s;
  EXPECT_TRUE(MakeLearnSample({f.data(), w, h, format}, 3, &s));
  return s;
}

// The largest difference between two samples' bytes over their luma and colour planes.
void Differences(const LearnSample& a, const LearnSample& b, int32_t* luma, int32_t* colour) {
  *luma = *colour = 0;
  for (int32_t c = 0; c < kCorners; ++c) {
    for (int32_t i = 0; i < kCornerLumaBytes; ++i)
      *luma = std::max(*luma, std::abs(a.Luma(c)[i] - b.Luma(c)[i]));
    for (int32_t i = 0; i < kCornerChromaBytes; ++i)
      *colour =
          std::max({*colour, std::abs(a.U(c)[i] - b.U(c)[i]), std::abs(a.V(c)[i] - b.V(c)[i])});
  }
}

TEST(LearnSampleTest, BothFormatsGiveTheSamePicture) {
  const LearnSample yuy2 = SampleOf(768, 576, 0), bgr = SampleOf(768, 576, 1);
  ASSERT_EQ(yuy2.planes.size(), static_cast<size_t>(kSampleBytes));
  int32_t luma = 0, colour = 0;
  Differences(yuy2, bgr, &luma, &colour);
  // Format 0 carries one colour per two pixels: the colour planes differ by rounding only.
  EXPECT_LE(luma, 1);
  EXPECT_LE(colour, 3);
  EXPECT_EQ(yuy2.frame, 3);
  EXPECT_GT(yuy2.lumaSpread, 4);
  EXPECT_FALSE(IsBlankSample(yuy2));
}

TEST(LearnSampleTest, EveryFrameSizeComesToTheReferenceScale) {
  const LearnSample reference = SampleOf(768, 576, 1);
  const int32_t sizes[][2] = {{720, 576}, {1280, 720}, {1920, 1080}, {1919, 1081}, {352, 288}};
  for (const auto& size : sizes) {
    for (int32_t format : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " format " << format);
      const LearnSample s = SampleOf(size[0], size[1], format, size[0] == 1920);
      // The picture is the same at every size, up to the averaging of its finest detail.
      int64_t sum = 0;
      for (int32_t c = 0; c < kCorners; ++c)
        for (int32_t i = 0; i < kCornerLumaBytes; ++i)
          sum += std::abs(s.Luma(c)[i] - reference.Luma(c)[i]);
      EXPECT_LT(sum / (kCorners * kCornerLumaBytes), 12);
    }
  }
}

TEST(LearnSampleTest, FramesThePluginRefusesGiveNoSample) {
  std::vector<uint8_t> f(64 * 64 * 3, 100);
  LearnSample s;
  EXPECT_FALSE(MakeLearnSample({f.data(), 64, 64, 2}, 0, &s));
  EXPECT_FALSE(MakeLearnSample({nullptr, 64, 64, 0}, 0, &s));
  EXPECT_FALSE(MakeLearnSample({f.data(), 1, 64, 1}, 0, &s));
  EXPECT_FALSE(MakeLearnSample({f.data(), 64, 0, 1}, 0, &s));
  EXPECT_TRUE(s.planes.empty());
  // Tiny but valid: every reference pixel takes the frame pixel under it.
  ASSERT_TRUE(MakeLearnSample({f.data(), 2, 2, 1}, 0, &s));
  EXPECT_EQ(s.Luma(3)[kCornerLumaBytes - 1], 100);
  // Flat grey is blank; so is black.
  EXPECT_TRUE(IsBlankSample(s));
}

TEST(LearnSampleTest, OneCornerAloneIsThatCornerOfTheWholeSample) {
  for (int32_t format : {0, 1}) {
    Scene scene;
    scene.width = 1280;
    scene.height = 720;
    scene.format = format;
    const std::vector<uint8_t> f = MakeFrame(scene, Shot::kProgramme, 5);
    const FrameView view{f.data(), scene.width, scene.height, format};
    LearnSample whole;
    ASSERT_TRUE(MakeLearnSample(view, 5, &whole));
    for (int32_t c = 0; c < kCorners; ++c) {
      SCOPED_TRACE(::testing::Message() << "format " << format << " corner " << c);
      LearnSample one;
      ASSERT_TRUE(MakeLearnSampleCorner(view, c, 5, &one));
      ASSERT_EQ(one.planes.size(), whole.planes.size());
      EXPECT_TRUE(std::equal(whole.Luma(c), whole.Luma(c) + kCornerBytes, one.Luma(c)));
    }
  }
  std::vector<uint8_t> f(64 * 64 * 3, 100);
  LearnSample s;
  EXPECT_FALSE(MakeLearnSampleCorner({f.data(), 64, 64, 1}, 4, 0, &s));
  EXPECT_FALSE(MakeLearnSampleCorner({f.data(), 64, 64, 1}, -1, 0, &s));
  EXPECT_FALSE(MakeLearnSampleCorner({f.data(), 64, 64, 2}, 0, 0, &s));
  EXPECT_TRUE(s.planes.empty());
}

TEST(LearnSampleTest, APartOfACornersLumaIsThatPartOfTheSample) {
  const int32_t sizes[][2] = {{720, 576}, {1919, 1081}, {352, 288}, {7, 5}};
  uint32_t seed = 17;
  auto next = [&seed](int32_t n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
  };
  for (const auto& size : sizes) {
    for (int32_t format : {0, 1}) {
      // Noise, so that a pixel taken from the wrong place or a box rounded differently shows.
      std::vector<uint8_t> f(static_cast<size_t>(size[0]) * size[1] * (format == 0 ? 2 : 3));
      for (uint8_t& b : f)
        b = static_cast<uint8_t>(next(256));
      const FrameView view{f.data(), size[0], size[1], format};
      LearnSample whole;
      ASSERT_TRUE(MakeLearnSample(view, 0, &whole));
      for (int32_t k = 0; k < 12; ++k) {
        const int32_t c = k % kCorners;
        // Whole corners, single pixels and rectangles touching the corner's far edges.
        const int32_t w = k == 0 ? kCornerWidth : 1 + next(k < 4 ? 1 : kCornerWidth);
        const int32_t h = k == 0 ? kCornerHeight : 1 + next(k < 4 ? 1 : kCornerHeight);
        const int32_t x = k % 3 == 2 ? kCornerWidth - w : next(kCornerWidth - w + 1);
        const int32_t y = k % 3 == 2 ? kCornerHeight - h : next(kCornerHeight - h + 1);
        SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " format " << format
                                          << " corner " << c << " " << w << "x" << h << " at "
                                          << x << "," << y);
        const int32_t stride = w + 3;
        std::vector<uint8_t> part(static_cast<size_t>(stride) * h, 0xA5);
        ASSERT_TRUE(MakeCornerLuma(view, c, x, y, w, h, part.data(), stride));
        for (int32_t j = 0; j < h; ++j) {
          const uint8_t* want = whole.Luma(c) + (y + j) * kCornerWidth + x;
          const uint8_t* got = part.data() + static_cast<size_t>(j) * stride;
          ASSERT_TRUE(std::equal(want, want + w, got)) << "row " << j;
          ASSERT_EQ(got[w], 0xA5);  // the rows' padding is not written
        }
      }
    }
  }
  std::vector<uint8_t> f(64 * 64 * 3, 100), out(kCornerLumaBytes, 7);
  const FrameView view{f.data(), 64, 64, 1};
  EXPECT_FALSE(MakeCornerLuma(view, 4, 0, 0, 8, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma(view, 0, 0, 0, 0, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma(view, 0, -1, 0, 8, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma(view, 0, kCornerWidth - 7, 0, 8, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma(view, 0, 0, kCornerHeight - 7, 8, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma(view, 0, 0, 0, 8, 8, out.data(), 7));
  EXPECT_FALSE(MakeCornerLuma({f.data(), 64, 64, 2}, 0, 0, 0, 8, 8, out.data(), 8));
  EXPECT_FALSE(MakeCornerLuma({f.data(), 1, 64, 1}, 0, 0, 0, 8, 8, out.data(), 8));
  EXPECT_EQ(std::count(out.begin(), out.end(), 7), kCornerLumaBytes);
}

TEST(SampleSeriesTest, ACaptureStaysWithinItsMemorySpreadOverWhatWasOffered) {
  EXPECT_LE(int64_t{kCaptureSamples} * kSampleBytes, 16 * 1000 * 1000);
  EXPECT_GE(kCaptureSamples, 60);
  SampleSeries series = MakeSampleSeries(kCaptureSamples, 1);
  const LearnSample picture = SampleOf(768, 576, 0);
  LearnSample black = picture;
  std::fill(black.planes.begin(), black.planes.end(), 0);
  black.meanLuma = black.lumaSpread = 0;
  int32_t made = 0;
  // 120 offers over a minute, ten of them black.
  for (int64_t n = 0; n < 120; ++n) {
    if (!SeriesWants(series, n))
      continue;
    ++made;
    LearnSample s = n >= 50 && n < 60 ? black : picture;
    s.frame = n;
    SeriesAdd(&series, std::move(s));
  }
  EXPECT_LT(made, 120);  // thinned offers are not even sampled
  EXPECT_LT(static_cast<int32_t>(series.samples.size()), kCaptureSamples);
  EXPECT_GE(static_cast<int32_t>(series.samples.size()), kCaptureSamples / 2 - 6);
  EXPECT_GT(series.blank, 0);
  for (size_t i = 1; i < series.samples.size(); ++i) {
    EXPECT_GT(series.samples[i].frame, series.samples[i - 1].frame);
    EXPECT_EQ(series.samples[i].frame % series.spacing, 0);
  }
  // Repeated numbers still thin.
  SampleSeries same = MakeSampleSeries(4, 1);
  for (int32_t i = 0; i < 20; ++i) {
    LearnSample s = picture;
    s.frame = 0;
    SeriesAdd(&same, std::move(s));
  }
  EXPECT_LT(same.samples.size(), 4u);
}

}  // namespace
}  // namespace testing_util
}  // namespace zunk
