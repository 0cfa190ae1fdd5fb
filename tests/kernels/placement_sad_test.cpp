// Placement sums: every variant against the reference, and the decomposition of the frame
// path (byte planes, placement-free excess) against removing the window's grey level and
// taking the reference difference row, bit for bit.
#include <gtest/gtest.h>

#include <algorithm>

#include "kernel_test_util.h"
#include "kernels/kernels.h"
#include "kernels/placement_sad.h"

namespace zunk {
namespace {

class PlacementSadExact : public ::testing::TestWithParam<test::Variant> {
 protected:
  KernelTable k_ = KernelsFor(GetParam().mask);
};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PlacementSadExact);

// A template (bytes 0..255 less a grey level, some pixels the key) and a window of frame
// bytes around it, as the frame path sees them.
struct SadCase {
  int32_t tw, th, t, ww;
  uint32_t key;
  std::vector<WorkPixel> tpl, window;
};

SadCase RandomSadCase(test::Rng& rng, bool keyedWindow) {
  SadCase c;
  c.tw = rng.Size(160);
  c.th = rng.Int(1, 5);
  c.t = rng.Percent(10) ? 0 : rng.Int(0, 75);
  c.ww = c.tw + 2 * c.t + (rng.Percent(50) ? 0 : rng.Int(1, 9));  // wider than searched
  c.key = test::RandomKey(rng);
  const WorkPixel key = KeyWorkPixel(c.key);
  const int32_t tplGrey = rng.Int(0, 254);
  const int keyPercent = rng.Int(0, 3) == 0 ? 100 : rng.Int(0, 60);
  for (int32_t i = 0; i < c.tw * c.th; ++i) {
    WorkPixel p{static_cast<int16_t>(rng.Int(0, 255) - tplGrey),
                static_cast<int16_t>(rng.Int(0, 255) - tplGrey),
                static_cast<int16_t>(rng.Int(0, 255) - tplGrey), 0};
    if (rng.Percent(keyPercent))
      p = key;
    c.tpl.push_back(p);
  }
  const bool luma = rng.Percent(50);  // format 0 carries the luma in X, format 1 zero
  const int32_t lo = rng.Percent(20) ? 200 : 0, hi = rng.Percent(20) ? 60 : 255;
  for (int32_t i = 0; i < c.ww * c.th; ++i) {
    WorkPixel p{static_cast<int16_t>(rng.Int(std::min(lo, hi), std::max(lo, hi))),
                static_cast<int16_t>(rng.Int(0, 255)), static_cast<int16_t>(rng.Int(0, 255)),
                static_cast<int16_t>(luma ? rng.Int(0, 255) : 0)};
    if (keyedWindow && rng.Percent(10))
      p = key;
    c.window.push_back(p);
  }
  return c;
}

TEST_P(PlacementSadExact, RowMatchesTheReference) {
  test::Rng rng(301);
  for (int n = 0; n < 150; ++n) {
    const int32_t tw = rng.Size(170), th = rng.Int(1, 3), placements = rng.Int(1, 151);
    const int32_t ww = tw + placements - 1 + (rng.Percent(50) ? 0 : rng.Int(1, 5));
    SCOPED_TRACE(testing::Message() << "tw " << tw << " th " << th << " p " << placements);
    std::vector<uint8_t> window =
        test::RandomBytes(rng, static_cast<size_t>(SadWindowBytes(ww, th)));
    std::vector<uint8_t> tpl(static_cast<size_t>(SadTemplateBytes(tw, th)), 0);
    const int32_t ts = SadTemplateStride(tw);
    for (int32_t c = 0; c < 4; ++c)
      for (int32_t y = 0; y < th; ++y)
        for (int32_t x = 0; x < tw; ++x)
          tpl[(c * th + y) * ts + x] = c < 3 ? rng.Int(0, 255) : (rng.Percent(70) ? 0xFF : 0);
    // Masked pixels carry a template byte of 0, as SadTemplatePlanes leaves them.
    for (int32_t y = 0; y < th; ++y)
      for (int32_t x = 0; x < tw; ++x)
        if (!tpl[(3 * th + y) * ts + x])
          for (int32_t c = 0; c < 3; ++c)
            tpl[(c * th + y) * ts + x] = 0;
    std::vector<uint32_t> expected(3 * placements);
    ref::PlacementSadRow(window.data(), ww, tpl.data(), tw, th, placements, expected.data());
    test::Guarded out(std::vector<uint8_t>(expected.size() * 4, 0x5A));
    k_.PlacementSadRow(window.data(), ww, tpl.data(), tw, th, placements,
                       reinterpret_cast<uint32_t*>(out.data()));
    ASSERT_EQ(std::memcmp(out.data(), expected.data(), expected.size() * 4), 0);
    ASSERT_TRUE(out.GuardsIntact());
  }
}

TEST_P(PlacementSadExact, WindowPlanesMatchTheReference) {
  test::Rng rng(303);
  for (int n = 0; n < 250; ++n) {
    SadCase c = RandomSadCase(rng, rng.Percent(50));
    // Words beyond the byte range saturate.
    if (rng.Percent(20))
      for (WorkPixel& p : c.window)
        p.g = static_cast<int16_t>(rng.Int(-300, 600));
    const int32_t grey = rng.Int(0, 254);
    const int32_t w = rng.Int(1, c.ww);
    SCOPED_TRACE(testing::Message() << "w " << w << " key " << c.key << " grey " << grey);
    const size_t bytes = static_cast<size_t>(w) * c.th * 3;
    std::vector<uint8_t> expected(bytes);
    test::Guarded actual(std::vector<uint8_t>(bytes, 0));
    const bool ok =
        ref::WindowBytePlanes(c.window.data(), c.ww, w, c.th, c.key, grey, expected.data());
    ASSERT_EQ(k_.WindowBytePlanes(c.window.data(), c.ww, w, c.th, c.key, grey, actual.data()), ok);
    ASSERT_TRUE(actual.GuardsIntact());
    if (ok) {
      ASSERT_EQ(std::memcmp(actual.data(), expected.data(), bytes), 0);
    }
  }
}

// The template's planes for a grey level: every byte (key pixels and padding included), the
// excess beyond the byte range and the count, with grey levels that push t + grey past
// both ends of a byte; the input stays as it was.
TEST_P(PlacementSadExact, TemplatePlanesMatchTheReference) {
  test::Rng rng(307);
  for (int n = 0; n < 250; ++n) {
    const SadCase c = RandomSadCase(rng, false);
    const int32_t grey = rng.Percent(20) ? (rng.Percent(50) ? 0 : 254) : rng.Int(0, 254);
    SCOPED_TRACE(testing::Message()
                 << "tw " << c.tw << " th " << c.th << " key " << c.key << " grey " << grey);
    const size_t bytes = static_cast<size_t>(SadTemplateBytes(c.tw, c.th));
    std::vector<uint8_t> expected(bytes, 0x5A);
    uint32_t expectedExcess[3] = {}, expectedCounted = 0;
    SadTemplatePlanes(c.tpl.data(), c.tw, c.th, c.key, grey, expected.data(), expectedExcess,
                      &expectedCounted);
    test::Guarded actual(std::vector<uint8_t>(bytes, 0x5A));
    uint32_t excess[3] = {1, 2, 3}, counted = 7;
    const std::vector<WorkPixel> before = c.tpl;
    k_.TemplateBytePlanes(c.tpl.data(), c.tw, c.th, c.key, grey, actual.data(), excess, &counted);
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_EQ(std::memcmp(actual.data(), expected.data(), bytes), 0);
    ASSERT_EQ(excess[0], expectedExcess[0]);
    ASSERT_EQ(excess[1], expectedExcess[1]);
    ASSERT_EQ(excess[2], expectedExcess[2]);
    ASSERT_EQ(counted, expectedCounted);
    ASSERT_EQ(std::memcmp(c.tpl.data(), before.data(), before.size() * sizeof(WorkPixel)), 0);
  }
}

TEST_P(PlacementSadExact, TemplateWordsToBytesMatchTheReference) {
  test::Rng rng(308);
  for (int n = 0; n < 400; ++n) {
    const int32_t count = rng.Percent(30) ? rng.Int(0, 40) : rng.Int(0, 400);
    const int32_t grey = rng.Percent(20) ? (rng.Percent(50) ? 0 : 254) : rng.Int(0, 254);
    SCOPED_TRACE(testing::Message() << "count " << count << " grey " << grey);
    std::vector<int16_t> words(static_cast<size_t>(count));
    for (int16_t& w : words) {
      const int kind = rng.Int(0, 9);
      w = static_cast<int16_t>(kind == 0   ? -32768
                               : kind == 1 ? rng.Int(32500, 32767)
                               : kind == 2 ? rng.Int(-32768, 32767)
                                           : rng.Int(-300, 300));
    }
    std::vector<uint8_t> expected(static_cast<size_t>(count), 0x5A);
    ref::TemplateWordsToBytes(words.data(), count, grey, expected.data());
    test::Guarded actual(std::vector<uint8_t>(static_cast<size_t>(count), 0x5A));
    const std::vector<int16_t> before = words;
    k_.TemplateWordsToBytes(words.data(), count, grey, actual.data());
    ASSERT_TRUE(actual.GuardsIntact());
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), actual.data()));
    ASSERT_EQ(words, before);
  }
}

// The template's planes made per key from its words and per grey level from them: the same
// bytes, excess and count as SadTemplatePlanes; a word outside -255..255 is refused.
TEST_P(PlacementSadExact, TemplateWordsGiveTheTemplatePlanes) {
  test::Rng rng(309);
  for (int n = 0; n < 150; ++n) {
    SadCase c = RandomSadCase(rng, false);
    const bool outside = rng.Percent(10);
    if (outside) {
      WorkPixel& p = c.tpl[rng.Int(0, c.tw * c.th - 1)];
      p.g = static_cast<int16_t>(rng.Percent(50) ? 256 : -256);
      p.x = 1;  // never the key
    }
    SCOPED_TRACE(testing::Message() << "tw " << c.tw << " th " << c.th << " key " << c.key);
    const int32_t ts = SadTemplateStride(c.tw);
    const size_t plane = static_cast<size_t>(ts) * c.th;
    std::vector<int16_t> words(3 * plane);
    std::vector<uint8_t> planes(4 * plane + 64, 0x5A);
    std::vector<uint32_t> histogram(3 * kWordBins);
    uint32_t counted = 0;
    ASSERT_EQ(SadTemplateWords(c.tpl.data(), c.tw, c.th, c.key, words.data(),
                               planes.data() + 3 * plane, histogram.data(), &counted),
              !outside);
    if (outside)
      continue;
    for (int k = 0; k < 4; ++k) {
      const int32_t grey = k == 0 ? 0 : k == 1 ? 254 : rng.Int(0, 254);
      SCOPED_TRACE(testing::Message() << "grey " << grey);
      std::vector<uint8_t> expected(4 * plane + 64, 0x5A);
      uint32_t expectedExcess[3], expectedCounted = 0;
      SadTemplatePlanes(c.tpl.data(), c.tw, c.th, c.key, grey, expected.data(), expectedExcess,
                        &expectedCounted);
      k_.TemplateWordsToBytes(words.data(), static_cast<int32_t>(3 * plane), grey, planes.data());
      uint32_t excess[3];
      SadExcessFromHistogram(histogram.data(), grey, excess);
      ASSERT_EQ(planes, expected);
      ASSERT_EQ(counted, expectedCounted);
      ASSERT_EQ(excess[0], expectedExcess[0]);
      ASSERT_EQ(excess[1], expectedExcess[1]);
      ASSERT_EQ(excess[2], expectedExcess[2]);
    }
  }
}

TEST_P(PlacementSadExact, FramePathEqualsTheReferenceRow) {
  test::Rng rng(302);
  int planesTaken = 0;
  for (int n = 0; n < 250; ++n) {
    SadCase c = RandomSadCase(rng, rng.Percent(40));
    SCOPED_TRACE(testing::Message()
                 << "tw " << c.tw << " th " << c.th << " t " << c.t << " key " << c.key);
    uint64_t mean = 0;
    ref::MaskedMeanColour(c.window.data(), c.ww, c.th, c.tpl.data(), c.tw, c.th, c.t, 0, c.t + c.tw,
                          c.th, c.key, &mean);
    const int32_t grey = MeanGreyLevel(mean);

    std::vector<WorkPixel> shifted = c.window;
    ref::SubtractMeanGrey(shifted.data(), c.ww, c.th, c.key, mean);
    std::vector<DiffEntry> expected(2 * c.t + 1);
    ref::MaskedMeanAbsDiffRow(shifted.data(), c.ww, c.th, c.tpl.data(), c.tw, c.th, c.t, 0,
                              expected.data(), c.t, c.key);

    const int32_t searched = c.tw + 2 * c.t;
    std::vector<uint8_t> windowPlanes(static_cast<size_t>(SadWindowBytes(searched, c.th)));
    if (!k_.WindowBytePlanes(c.window.data(), c.ww, searched, c.th, c.key, grey,
                             windowPlanes.data())) {
      // Only a key pixel in the window whose key colour plus the grey leaves a byte.
      const WorkPixel key = KeyWorkPixel(c.key);
      EXPECT_GT(std::max({key.b, key.g, key.r}) + grey, 255);
      continue;
    }
    ++planesTaken;
    std::vector<uint8_t> tplPlanes(static_cast<size_t>(SadTemplateBytes(c.tw, c.th)));
    uint32_t excess[3], counted = 0;
    k_.TemplateBytePlanes(c.tpl.data(), c.tw, c.th, c.key, grey, tplPlanes.data(), excess,
                          &counted);
    std::vector<uint32_t> sums(3 * (2 * c.t + 1));
    k_.PlacementSadRow(windowPlanes.data(), searched, tplPlanes.data(), c.tw, c.th, 2 * c.t + 1,
                       sums.data());
    std::vector<DiffEntry> actual(2 * c.t + 1);
    SadSumsToDiffEntries(sums.data(), excess, counted, 2 * c.t + 1, actual.data());
    for (int32_t k = 0; k < 2 * c.t + 1; ++k) {
      ASSERT_EQ(actual[k].b, expected[k].b) << k;
      ASSERT_EQ(actual[k].g, expected[k].g) << k;
      ASSERT_EQ(actual[k].r, expected[k].r) << k;
    }
  }
  EXPECT_GT(planesTaken, 150);
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         PlacementSadExact,
                         ::testing::ValuesIn(test::AllVariants()),
                         test::VariantName);

}  // namespace
}  // namespace zunk
