// The logo's edges as evidence: the template's edges looked for in generated corner
// pictures, and breaks from generated per-frame evidence.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "spans/edge_spans.h"
#include "spans/logo_edges.h"

namespace zunkhost {
namespace {

constexpr uint32_t kKey = 0xFF00FF;  // COLORREF magenta; the same as B, G, R, X
constexpr int32_t kW = 40, kH = 24;
constexpr int32_t kLogoX = 680, kLogoY = 30;  // top-right corner area

// A template: a card with a darker bar across it and a key margin of two pixels; `ring`
// leaves only a two-pixel outline of the card.
std::vector<uint32_t> Template(uint8_t level, bool ring) {
  std::vector<uint32_t> t(kW * kH, kKey);
  for (int32_t j = 2; j < kH - 2; ++j) {
    for (int32_t i = 2; i < kW - 2; ++i) {
      const bool edge = i < 4 || j < 4 || i >= kW - 4 || j >= kH - 4;
      if (ring && !edge)
        continue;
      const uint8_t v = (!ring && j >= 10 && j < 14) ? level / 2 : level;
      t[j * kW + i] = v | (v << 8) | (v << 16);
    }
  }
  return t;
}

// A sample whose top-right corner is noise of the given amplitude around `base`.
zunk::LearnSample Picture(uint32_t seed, int32_t base, int32_t amplitude) {
  zunk::LearnSample s;
  s.planes.assign(zunk::kSampleBytes, 128);
  std::mt19937 rng(seed);
  uint8_t* y = s.planes.data() + 1 * zunk::kCornerBytes;
  for (int32_t k = 0; k < zunk::kCornerLumaBytes; ++k) {
    const int32_t v = base + (amplitude ? static_cast<int32_t>(rng() % (2 * amplitude + 1)) -
                                              amplitude
                                        : 0);
    y[k] = static_cast<uint8_t>(std::clamp(v, 0, 255));
  }
  return s;
}

// The template's luma blended into the sample at the logo's place moved by (dx, dy).
void Blend(const std::vector<uint32_t>& t, int32_t percent, int32_t dx, int32_t dy,
           zunk::LearnSample* s) {
  uint8_t* y = s->planes.data() + 1 * zunk::kCornerBytes;
  const int32_t left = kLogoX - zunk::CornerLeft(1) + dx, top = kLogoY - zunk::CornerTop(1) + dy;
  for (int32_t j = 0; j < kH; ++j) {
    for (int32_t i = 0; i < kW; ++i) {
      if (t[j * kW + i] == kKey)
        continue;
      uint8_t& p = y[(top + j) * zunk::kCornerWidth + left + i];
      const int32_t v = t[j * kW + i] & 0xFF;
      p = static_cast<uint8_t>((v * percent + p * (100 - percent) + 50) / 100);
    }
  }
}

LogoEdgeModel Model(const std::vector<uint32_t>& t) {
  LogoEdgeModel m;
  EXPECT_TRUE(BuildLogoEdgeModel(t.data(), kW, kH, kKey, kLogoX, kLogoY, &m));
  return m;
}

bool Shown(const EdgeEvidence& e) {
  return e.nearBest >= 4 && e.nearBest * 100 >= e.farBest * 110;
}

TEST(LogoEdgesTest, ModelTakesTheOutlineAndInnerEdgesOfTheRightCorner) {
  const LogoEdgeModel m = Model(Template(240, false));
  EXPECT_EQ(m.corner, 1);
  EXPECT_EQ(m.left, kLogoX - zunk::CornerLeft(1));
  EXPECT_EQ(m.top, kLogoY);
  // The card's outline and the bar's two edges: no point inside a flat area.
  for (const LogoEdgeModel::Point& p : m.points) {
    const bool outline = p.x == 2 || p.y == 2 || p.x == kW - 3 || p.y == kH - 3;
    const bool bar = p.y == 9 || p.y == 10 || p.y == 13 || p.y == 14;
    EXPECT_TRUE(outline || bar) << p.x << "," << p.y;
  }
  LogoEdgeModel none;
  const std::vector<uint32_t> allKey(kW * kH, kKey);
  EXPECT_FALSE(BuildLogoEdgeModel(allKey.data(), kW, kH, kKey, kLogoX, kLogoY, &none));
  // A search that would leave every corner area: no model.
  EXPECT_FALSE(BuildLogoEdgeModel(Template(240, false).data(), kW, kH, kKey, 300, 250, &none));
}

TEST(LogoEdgesTest, LogoOverTextureIsShownOpaqueSeeThroughOutlinedAndMoved) {
  struct Case {
    const char* name;
    bool ring;
    int32_t percent, dx, dy;
  };
  for (const Case& c : {Case{"opaque", false, 100, 0, 0}, Case{"see-through 45 %", false, 45, 0, 0},
                        Case{"outline 80 %", true, 80, 0, 0}, Case{"moved 5, 2", false, 100, 5, 2},
                        Case{"moved -6, -3", true, 100, -6, -3}}) {
    const std::vector<uint32_t> t = Template(240, c.ring);
    const LogoEdgeModel m = Model(t);
    for (uint32_t seed = 1; seed <= 5; ++seed) {
      zunk::LearnSample s = Picture(seed, 100, 30);
      const EdgeEvidence without = MeasureLogoEdges(m, s);
      Blend(t, c.percent, c.dx, c.dy, &s);
      const EdgeEvidence with = MeasureLogoEdges(m, s);
      EXPECT_TRUE(Shown(with)) << c.name << " seed " << seed << ": " << with.nearBest << " near, "
                               << with.farBest << " far";
      EXPECT_FALSE(Shown(without)) << c.name << " seed " << seed;
      EXPECT_GT(with.nearBest, 2 * without.nearBest) << c.name;
    }
  }
}

TEST(LogoEdgesTest, FlatPicturesShowNoEdgesAnywhere) {
  const std::vector<uint32_t> t = Template(240, false);
  const LogoEdgeModel m = Model(t);
  const EdgeEvidence black = MeasureLogoEdges(m, Picture(1, 0, 0));
  EXPECT_EQ(black.nearBest, 0);
  EXPECT_EQ(black.farBest, 0);
  // A white logo over a white picture leaves nothing to see.
  zunk::LearnSample white = Picture(1, 240, 0);
  Blend(Template(240, true), 100, 0, 0, &white);
  EXPECT_LT(MeasureLogoEdges(m, white).nearBest, 4);
}

// The search over a frame reads only the part of its corner it needs: the evidence is that
// of the frame's whole sample, for every format, frame size and corner, and for searches
// cut short by the corner's edges.
TEST(LogoEdgesTest, FrameEvidenceIsThatOfTheFramesSample) {
  const std::vector<uint32_t> t = Template(240, false);
  const int32_t places[][2] = {{kLogoX, kLogoY}, {3, 2}, {20, 500}, {768 - kW - 3, 576 - kH - 2},
                               {600, 470}};
  const int32_t sizes[][2] = {{720, 576}, {1920, 1080}, {352, 289}};
  std::mt19937 rng(7);
  for (const auto& size : sizes) {
    for (int32_t format : {0, 1}) {
      std::vector<uint8_t> f(static_cast<size_t>(size[0]) * size[1] * (format == 0 ? 2 : 3));
      for (uint8_t& b : f)
        b = static_cast<uint8_t>(rng() % 64 + 96);
      const zunk::FrameView view{f.data(), size[0], size[1], format};
      zunk::LearnSample whole;
      ASSERT_TRUE(zunk::MakeLearnSample(view, 0, &whole));
      std::vector<uint8_t> scratch;
      for (const auto& place : places) {
        SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " format " << format
                                          << " logo at " << place[0] << "," << place[1]);
        LogoEdgeModel m;
        ASSERT_TRUE(BuildLogoEdgeModel(t.data(), kW, kH, kKey, place[0], place[1], &m));
        const EdgeEvidence want = MeasureLogoEdges(m, whole);
        EdgeEvidence got;
        ASSERT_TRUE(MeasureFrameLogoEdges(m, view, &scratch, &got));
        EXPECT_EQ(got.nearBest, want.nearBest);
        EXPECT_EQ(got.farBest, want.farBest);
        EXPECT_GT(want.nearBest, 0);
      }
    }
  }
  std::vector<uint8_t> f(64 * 64 * 3, 100), scratch;
  EdgeEvidence e{5, 5};
  EXPECT_FALSE(MeasureFrameLogoEdges(Model(t), {f.data(), 64, 64, 2}, &scratch, &e));
  EXPECT_EQ(e.nearBest, 0);
  EXPECT_FALSE(MeasureFrameLogoEdges(LogoEdgeModel(), {f.data(), 64, 64, 1}, &scratch, &e));
}

// Per-frame evidence of a programme (the logo's edges at 200 against 100 elsewhere), an
// advert (edges elsewhere stronger), black (nothing, no match) and a white stretch (no edges
// but the logo's colours match).
EdgeFrame Programme() { return {200, 100, 90}; }
EdgeFrame Advert() { return {60, 100, 50}; }
EdgeFrame Black() { return {0, 0, 30}; }
EdgeFrame WhiteOnWhite() { return {1, 2, 95}; }

void Append(std::vector<EdgeFrame>* f, EdgeFrame e, int32_t n) { f->insert(f->end(), n, e); }

TEST(EdgeSpansTest, FrameStates) {
  const std::vector<EdgeFrame> f = {Programme(), Advert(), Black(), WhiteOnWhite(),
                                    {100, 95, 80},  // neither clearly: cannot tell
                                    {10, 20, 80}};  // edges far fainter than the logo's
  EXPECT_EQ(TypicalEdgeStrength(f), 200);
  const std::vector<int8_t> s = EdgeStates(f, 200, 80);
  EXPECT_EQ(s, (std::vector<int8_t>{kEdgeShown, kEdgeGone, kEdgeGone, kEdgeUnknown, kEdgeUnknown,
                                    kEdgeUnknown}));
}

TEST(EdgeSpansTest, BreaksTakeInTheirBlackAndIgnoreWhatCannotTell) {
  std::vector<EdgeFrame> f;
  Append(&f, WhiteOnWhite(), 100);  // the recording starts where the logo cannot be seen
  Append(&f, Programme(), 400);
  Append(&f, WhiteOnWhite(), 300);  // a white stretch of programme
  Append(&f, Programme(), 200);
  Append(&f, Black(), 10);  // 1000..
  Append(&f, Advert(), 500);
  Append(&f, Black(), 5);  // ..1514
  Append(&f, Programme(), 300);
  Append(&f, Advert(), 60);  // a moment shorter than any break
  Append(&f, Programme(), 300);
  Append(&f, Advert(), 300);  // 2175.. to the end
  bool told = false;
  const std::vector<Span> b = EdgeBreaks(f, 80, 25.0, &told);
  EXPECT_TRUE(told);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].first, 1000);
  EXPECT_EQ(b[0].last, 1514);
  EXPECT_EQ(b[1].first, 2175);
  EXPECT_EQ(b[1].last, static_cast<int64_t>(f.size()) - 1);
}

TEST(EdgeSpansTest, FramesThatCannotTellBesideABreakBelongToIt) {
  std::vector<EdgeFrame> f;
  Append(&f, Programme(), 500);
  Append(&f, WhiteOnWhite(), 40);  // a cut to an advert too plain to tell at first
  Append(&f, Advert(), 400);
  Append(&f, WhiteOnWhite(), 20);  // and again at its end
  Append(&f, Programme(), 500);
  bool told = false;
  const std::vector<Span> b = EdgeBreaks(f, 80, 25.0, &told);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].first, 500);
  EXPECT_EQ(b[0].last, 959);
}

TEST(EdgeSpansTest, ShortReturnsInsideABreakAndScatteredFramesAreSmoothedOver) {
  std::vector<EdgeFrame> f;
  Append(&f, Programme(), 500);
  for (int32_t k = 0; k < 400; ++k)  // an advert with a frame in eight like the logo
    f.push_back(k % 8 == 7 ? Programme() : Advert());
  Append(&f, Programme(), 30);  // an advert that shows the logo's edges for a second
  Append(&f, Advert(), 300);
  Append(&f, Programme(), 500);
  bool told = false;
  const std::vector<Span> b = EdgeBreaks(f, 80, 25.0, &told);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_GE(b[0].first, 500);
  EXPECT_LE(b[0].first, 504);
  EXPECT_EQ(b[0].last, 1229);
}

TEST(EdgeSpansTest, NothingThatTellsGivesNoSpans) {
  std::vector<EdgeFrame> f;
  Append(&f, WhiteOnWhite(), 300);
  bool told = true;
  EXPECT_TRUE(EdgeBreaks(f, 80, 25.0, &told).empty());
  EXPECT_FALSE(told);
  EXPECT_TRUE(EdgeBreaks({}, 80, 25.0, &told).empty());
  EXPECT_FALSE(told);
}

}  // namespace
}  // namespace zunkhost
