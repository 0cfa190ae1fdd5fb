// MatchFrame against its definition: the search area as work pixels, the match percentage
// and mean colour at the expected place, the grey level removed and the reference difference
// row, all through the reference kernels. Random templates, frames, keys and geometry, with
// key pixels in the template and in the frame (where the frame's own byte planes give way to
// the work window) and odd YUY2 widths.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "detect/matching.h"
#include "detect/template.h"
#include "kernels/kernels.h"

namespace zunk {
namespace {

class Random {
 public:
  explicit Random(uint32_t seed) : gen_(seed) {}
  int32_t Int(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(gen_);
  }
  bool Percent(int p) { return Int(0, 99) < p; }

 private:
  std::mt19937 gen_;
};

// The definition, on a fresh zeroed window of the buffers' width.
MatchResult Defined(const TemplateBuffers& tpl,
                    const FrameView& frame,
                    const MatchGeometry& g,
                    uint32_t key,
                    std::vector<uint8_t>* scoreRow) {
  const int32_t tw = tpl.TemplateWidth, th = tpl.TemplateHeight;
  const int32_t ww = tw + 2 * tpl.SearchHalfWidth;
  const auto* image = reinterpret_cast<const WorkPixel*>(tpl.TemplateImage);
  const auto* normalised = reinterpret_cast<const WorkPixel*>(tpl.TemplateNormalised);
  std::vector<WorkPixel> window(static_cast<size_t>(ww) * th, WorkPixel{0, 0, 0, 0});
  (frame.pixelFormat == 0 ? ref::CopyRegionFromYuy2 : ref::CopyRegionFromRgb24)(
      frame.pixels, g.x - g.t, g.y, g.x + tw + g.t, g.y + th, frame.width, frame.height,
      window.data(), 0, 0, ww, th);
  MatchResult m;
  uint32_t r = 0, gr = 0, b = 0;
  ref::MaskedMeanAbsDiff(window.data(), ww, th, image, tw, th, g.t, 0, tw + g.t, th, key, &r, &gr,
                         &b);
  m.matchPercent = MatchPercentFromDifferences(r, gr, b);
  uint64_t mean = 0;
  ref::MaskedMeanColour(window.data(), ww, th, normalised, tw, th, g.t, 0, tw + g.t, th, key,
                        &mean);
  ref::SubtractMeanGrey(window.data(), ww, th, key, mean);
  scoreRow->assign(static_cast<size_t>(2 * g.t + 1) * sizeof(DiffEntry), 0);
  ref::MaskedMeanAbsDiffRow(window.data(), ww, th, normalised, tw, th, g.t, 0,
                            reinterpret_cast<DiffEntry*>(scoreRow->data()), g.t, key);
  ScorePlacements(scoreRow->data(), g.t, g.tol, &m);
  return m;
}

// A picture of bmW x bmH reference pixels: smooth shapes, noise, and key pixels.
std::vector<uint32_t> Picture(Random& rng, int32_t w, int32_t h, uint32_t key) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  const int keyPercent = rng.Int(0, 2) == 0 ? 0 : rng.Int(5, 60);
  const uint32_t bgrx = KeyBgrx(key);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t v = 0;
      for (int c = 0; c < 3; ++c)
        v |= static_cast<uint32_t>((x * (c + 3) + y * (5 - c) + rng.Int(0, 40)) % 256) << (8 * c);
      p[static_cast<size_t>(y) * w + x] = rng.Percent(keyPercent) ? bgrx : v;
    }
  }
  return p;
}

TEST(MatchFrameTest, FramesOwnPlanesGiveTheDefinedResults) {
  Random rng(501);
  int planesTaken = 0, windowTaken = 0;
  for (int n = 0; n < 120; ++n) {
    const int32_t format = n % 2;
    const int32_t W = rng.Percent(30) ? 768 : rng.Int(200, 900);
    const int32_t H = rng.Percent(30) ? 576 : rng.Int(100, 600);
    const int32_t S = rng.Int(0, 40);
    uint32_t key = rng.Percent(40) ? 0 : static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
    const int32_t bmW = rng.Int(8, 160), bmH = rng.Int(4, 60);
    std::vector<uint32_t> picture = Picture(rng, bmW, bmH, key);
    TemplateBuffers tpl = {};
    if (!PrepareTemplateBuffers(&tpl, {picture.data(), bmW, bmH}, W, H, S, key)) {
      FreeTemplateBuffers(&tpl);
      continue;
    }
    const int32_t tw = tpl.TemplateWidth, th = tpl.TemplateHeight;
    if (tw + 2 * S > W) {
      FreeTemplateBuffers(&tpl);
      continue;
    }
    MatchGeometry g;
    g.t = rng.Int(0, S);
    g.x = rng.Percent(20) ? W - tw - g.t : rng.Int(g.t, W - tw - g.t);  // the right edge too
    g.y = rng.Int(0, H - th);
    g.tol = rng.Int(-1, g.t);
    std::string where = "format " + std::to_string(format) + " frame " + std::to_string(W) + "x" +
                        std::to_string(H) + " template " + std::to_string(tw) + "x" +
                        std::to_string(th) + " at " + std::to_string(g.x) + "," +
                        std::to_string(g.y) + " t " + std::to_string(g.t) + " key " +
                        std::to_string(key);
    SCOPED_TRACE(where);
    const int32_t bpp = format == 0 ? 2 : 3;
    std::vector<uint8_t> frame(static_cast<size_t>(W) * H * bpp);
    std::vector<uint8_t> row(static_cast<size_t>(16) * (2 * S + 1) + 16);
    std::vector<uint8_t> expectedRow;
    // Three frames on the same buffers (their planes made once per key and grey), the last
    // matched with another key; some with pixels equal to the key in the search area.
    for (int f = 0; f < 3; ++f) {
      for (uint8_t& v : frame)
        v = static_cast<uint8_t>(rng.Int(0, 255));
      if (f == 2)
        key = static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
      if (rng.Percent(25)) {
        const int32_t x = rng.Int(g.x - g.t, g.x + tw + g.t - 1), y = rng.Int(g.y, g.y + th - 1);
        uint8_t* p = frame.data() + (static_cast<size_t>(y) * W + x) * bpp;
        if (format == 0) {
          // Luma 0 with this group's chroma: the key is what that converts to.
          uint8_t* group = p - (x & 1) * 2;
          p[0] = 0;
          const WorkPixel k = YuvToWork(0, group[1], group[3]);
          key = static_cast<uint32_t>(k.r) | static_cast<uint32_t>(k.g) << 8 |
                static_cast<uint32_t>(k.b) << 16;
        } else {
          const WorkPixel k = KeyWorkPixel(key);
          p = frame.data() + (static_cast<size_t>(H - 1 - y) * W + x) * 3;
          p[0] = static_cast<uint8_t>(k.b);
          p[1] = static_cast<uint8_t>(k.g);
          p[2] = static_cast<uint8_t>(k.r);
        }
      }
      const FrameView view = {frame.data(), W, H, format};
      const MatchResult expected = Defined(tpl, view, g, key, &expectedRow);
      const bool planes = ExtractSearchArea(&tpl, view, g, key);
      (planes ? planesTaken : windowTaken)++;
      // The whole frame operation, as the frame path calls it.
      std::fill(row.begin(), row.end(), 0x5A);
      const MatchResult m = MatchFrame(&tpl, view, g, key, row.data());
      ASSERT_EQ(m.matchPercent, expected.matchPercent) << "frame " << f;
      ASSERT_EQ(m.scoreContrast, expected.scoreContrast) << "frame " << f;
      ASSERT_EQ(m.logoFound, expected.logoFound) << "frame " << f;
      ASSERT_EQ(std::memcmp(row.data(), expectedRow.data(), static_cast<size_t>(2 * g.t + 1) * 4),
                0)
          << "frame " << f;
    }
    FreeTemplateBuffers(&tpl);
  }
  EXPECT_GT(planesTaken, 150);
  EXPECT_GT(windowTaken, 20);
}

}  // namespace
}  // namespace zunk
