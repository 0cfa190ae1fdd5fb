// The logo finder on synthetic recordings: every kind of logo (opaque, see-through, thin
// outline, coloured and white, with holes) in each corner, from 20 to 200 reference pixels
// wide, in each frame size and pixel format, interlaced; the place within 2 reference
// pixels, the mask over the logo's pixels, the samples without the logo left out; and the
// reasons it gives when there is no logo to find.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "learn/logo_finder.h"
#include "learn/sample_series.h"
#include "learn/synthetic_logo.h"

namespace zunk {
namespace testing_util {
namespace {

struct Recording {
  SampleSeries series = MakeSampleSeries(96, 1);
  std::vector<Shot> shots;  // per kept sample
};

// Programme with the logo, an advert break in the middle with black at its ends and a fade
// out before it: `programme` + `advert` + 4 black + 3 fades frames, each one sample.
Recording Record(const Scene& scene, int32_t programme, int32_t advert) {
  std::vector<Shot> plan;
  for (int32_t i = 0; i < programme; ++i) {
    if (i == programme / 2) {
      plan.insert(plan.end(), {Shot::kFade, Shot::kFade, Shot::kFade, Shot::kBlack, Shot::kBlack});
      plan.insert(plan.end(), advert, Shot::kAdvert);
      plan.insert(plan.end(), {Shot::kBlack, Shot::kBlack});
    }
    plan.push_back(Shot::kProgramme);
  }
  Recording r;
  for (size_t n = 0; n < plan.size(); ++n) {
    const std::vector<uint8_t> f = MakeFrame(scene, plan[n], static_cast<int32_t>(n));
    LearnSample s;
    EXPECT_TRUE(MakeLearnSample({f.data(), scene.width, scene.height, scene.format},
                                static_cast<int64_t>(n), &s));
    const size_t before = r.series.samples.size();
    SeriesAdd(&r.series, std::move(s));
    if (r.series.samples.size() > before)
      r.shots.push_back(plan[n]);
  }
  return r;
}

// The drawn part of a logo's picture, inclusive.
void DrawnBox(const LogoArt& logo, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
  *x0 = logo.w;
  *y0 = logo.h;
  *x1 = *y1 = -1;
  for (int32_t y = 0; y < logo.h; ++y)
    for (int32_t x = 0; x < logo.w; ++x)
      if (logo.Alpha(x, y)) {
        *x0 = std::min(*x0, x);
        *y0 = std::min(*y0, y);
        *x1 = std::max(*x1, x);
        *y1 = std::max(*y1, y);
      }
}

struct Case {
  const char* name;
  LogoKind kind;
  int32_t width;  // reference pixels
  uint32_t colour;
  uint8_t alpha;
  int32_t corner;
  int32_t frameW, frameH, format;
  bool interlaced;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class FinderKindsTest : public ::testing::TestWithParam<Case> {};

TEST_P(FinderKindsTest, FindsTheLogoAndLeavesOutTheSamplesWithoutIt) {
  const Case& c = GetParam();
  const LogoArt logo = MakeLogo(c.kind, c.width, c.colour, c.alpha);
  Scene scene;
  scene.width = c.frameW;
  scene.height = c.frameH;
  scene.format = c.format;
  scene.interlaced = c.interlaced;
  scene.logo = &logo;
  PlaceInCorner(logo, c.corner, &scene.logoX, &scene.logoY);
  const Recording rec = Record(scene, 40, 14);
  const FoundLogo found = FindLogo(rec.series.samples, FindOptions());
  ASSERT_TRUE(found.found) << found.message;
  EXPECT_EQ(found.reason, kFindFound) << found.message;
  EXPECT_EQ(found.place.corner, c.corner);
  int32_t x0, y0, x1, y1;
  DrawnBox(logo, &x0, &y0, &x1, &y1);
  EXPECT_NEAR(found.place.x, scene.logoX + x0, 2) << found.message;
  EXPECT_NEAR(found.place.y, scene.logoY + y0, 2) << found.message;
  EXPECT_NEAR(found.place.width, x1 - x0 + 1, 4) << found.message;
  EXPECT_NEAR(found.place.height, y1 - y0 + 1, 4) << found.message;

  // The mask covers the logo's pixels; the holes stay open.
  int32_t logoPixels = 0, covered = 0, holes = 0, holesOpen = 0;
  for (int32_t y = 0; y < logo.h; ++y)
    for (int32_t x = 0; x < logo.w; ++x) {
      const int32_t fx = scene.logoX + x - found.place.x, fy = scene.logoY + y - found.place.y;
      const bool in = fx >= 0 && fy >= 0 && fx < found.place.width && fy < found.place.height;
      const bool masked = in && found.mask[static_cast<size_t>(fy) * found.place.width + fx];
      const bool interior = x > 2 && y > 2 && x < logo.w - 3 && y < logo.h - 3;
      if (logo.Alpha(x, y)) {
        ++logoPixels;
        covered += masked;
      } else if (c.kind == LogoKind::kHoles && interior) {
        ++holes;
        holesOpen += !masked;
      }
    }
  EXPECT_GE(covered * 100, logoPixels * 90) << covered << " of " << logoPixels;
  if (getenv("ZUNK_DUMP"))
    for (int32_t y = -2; y < logo.h + 2; ++y) {
      std::string line;
      for (int32_t x = -2; x < logo.w + 2; ++x) {
        const int32_t fx = scene.logoX + x - found.place.x, fy = scene.logoY + y - found.place.y;
        const bool in = fx >= 0 && fy >= 0 && fx < found.place.width && fy < found.place.height;
        const bool masked = in && found.mask[static_cast<size_t>(fy) * found.place.width + fx];
        const bool drawn = x >= 0 && y >= 0 && x < logo.w && y < logo.h && logo.Alpha(x, y);
        line += drawn ? (masked ? '#' : 'o') : (masked ? '+' : '.');
      }
      printf("%s\n", line.c_str());
    }
  if (holes) {
    EXPECT_GE(holesOpen * 100, holes * 70) << holesOpen << " of " << holes;
  }

  // The template: key outside the mask, and no logo pixel in the key colour.
  for (size_t i = 0; i < found.mask.size(); ++i)
    EXPECT_EQ((found.pixels[i] & 0xFFFFFF) == KeyBgrx(found.colorKey), !found.mask[i]) << i;

  // Adverts and fades left out, nearly all programme samples kept.
  int32_t programme = 0, kept = 0;
  for (size_t i = 0; i < rec.shots.size(); ++i) {
    if (rec.shots[i] == Shot::kProgramme) {
      ++programme;
      kept += found.showsLogo[i];
    } else {
      EXPECT_EQ(found.showsLogo[i], 0) << "sample " << i << " shot " << int(rec.shots[i]);
    }
  }
  EXPECT_GE(kept * 100, programme * 90) << kept << " of " << programme;
}

const Case kCases[] = {
    {"OpaqueBadgeTopRight", LogoKind::kBadge, 80, 0x2040C0, 255, 1, 768, 576, 0, false},
    {"WhiteLettersTopLeft", LogoKind::kLetters, 90, 0xFFFFFF, 255, 0, 720, 576, 1, false},
    {"SeeThrough40BottomLeft", LogoKind::kLetters, 100, 0xFFFFFF, 102, 2, 1920, 1080, 0, true},
    {"SeeThrough70BottomRight", LogoKind::kBadge, 60, 0xF0F0F0, 178, 3, 1280, 720, 1, false},
    {"ThinOutline60", LogoKind::kOutline, 120, 0xFFFFFF, 153, 1, 768, 576, 1, true},
    {"ColouredOutline", LogoKind::kOutline, 70, 0x00C0FF, 255, 2, 720, 576, 0, true},
    {"HolesOpaque", LogoKind::kHoles, 110, 0xC02020, 255, 0, 1920, 1080, 1, false},
    {"HolesSeeThrough", LogoKind::kHoles, 90, 0xFFFFFF, 140, 3, 768, 576, 0, false},
    {"Smallest20", LogoKind::kBadge, 20, 0xFFFFFF, 230, 1, 1280, 720, 0, false},
    {"Widest200", LogoKind::kLetters, 200, 0x40FF40, 200, 0, 768, 576, 0, false},
    {"ColouredSeeThrough50", LogoKind::kLetters, 64, 0x2020E0, 128, 2, 1920, 1080, 1, false},
};

// The logo's place and size exactly, for opaque, see-through and outline logos drawn at the
// reference scale: the edges mark the picture's pixels just outside the logo too (and a
// colour edge, at half resolution, up to three pixels out), none of which is the logo's.
TEST(FinderBoxTest, TheBoxIsTheLogosOwn) {
  struct Kind {
    const char* name;
    LogoKind kind;
    int32_t width;
    uint32_t colour;
    uint8_t alpha;
  };
  const Kind kinds[] = {{"opaque", LogoKind::kBadge, 66, 0x2040C0, 255},
                        {"see-through 45 %", LogoKind::kLetters, 80, 0xFFFFFF, 115},
                        {"outline", LogoKind::kOutline, 88, 0x00C0FF, 255}};
  for (const Kind& k : kinds) {
    const LogoArt logo = MakeLogo(k.kind, k.width, k.colour, k.alpha);
    Scene scene;
    scene.logo = &logo;
    PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);
    const Recording rec = Record(scene, 40, 14);
    const FoundLogo found = FindLogo(rec.series.samples, FindOptions());
    ASSERT_TRUE(found.found) << k.name << ": " << found.message;
    int32_t x0, y0, x1, y1;
    DrawnBox(logo, &x0, &y0, &x1, &y1);
    EXPECT_EQ(found.place.x, scene.logoX + x0) << k.name;
    EXPECT_EQ(found.place.y, scene.logoY + y0) << k.name;
    EXPECT_EQ(found.place.width, x1 - x0 + 1) << k.name;
    EXPECT_EQ(found.place.height, y1 - y0 + 1) << k.name;
  }
}

// A white logo over a picture that is a white wall behind its left part in two samples of
// three: there its edges are a few levels faint, against a picture that does not move at
// all, while its right part stands on a moving picture in every sample. The whole logo is
// found, not only the part on the moving picture.
TEST(FinderBoxTest, AWhiteLogoPartlyOverAWhiteWallIsFoundWhole) {
  const LogoArt logo = MakeLogo(LogoKind::kLetters, 110, 0xFAFAFA, 255);
  Scene scene;
  scene.logo = &logo;
  PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);
  scene.wallX = scene.logoX + logo.w * 3 / 5;
  scene.wallGap = 3;
  const Recording rec = Record(scene, 60, 20);
  const FoundLogo found = FindLogo(rec.series.samples, FindOptions());
  ASSERT_TRUE(found.found) << found.message;
  EXPECT_EQ(found.place.corner, 1) << found.message;
  int32_t x0, y0, x1, y1;
  DrawnBox(logo, &x0, &y0, &x1, &y1);
  EXPECT_NEAR(found.place.x, scene.logoX + x0, 2) << found.message;
  EXPECT_NEAR(found.place.y, scene.logoY + y0, 2) << found.message;
  EXPECT_NEAR(found.place.width, x1 - x0 + 1, 4) << found.message;
  EXPECT_NEAR(found.place.height, y1 - y0 + 1, 4) << found.message;
  int32_t programme = 0, kept = 0;
  for (size_t i = 0; i < rec.shots.size(); ++i)
    if (rec.shots[i] == Shot::kProgramme) {
      ++programme;
      kept += found.showsLogo[i];
    }
  EXPECT_GE(kept * 100, programme * 90) << kept << " of " << programme;
}

// Samples of a scene, one per frame; `still` repeats the first frame's picture.
std::vector<LearnSample> Samples(const Scene& scene,
                                 const std::vector<Shot>& shots,
                                 bool still = false) {
  std::vector<LearnSample> out;
  for (size_t n = 0; n < shots.size(); ++n) {
    const std::vector<uint8_t> f = MakeFrame(scene, shots[n], still ? 0 : static_cast<int32_t>(n));
    LearnSample s;
    EXPECT_TRUE(MakeLearnSample({f.data(), scene.width, scene.height, scene.format},
                                static_cast<int64_t>(n), &s));
    out.push_back(std::move(s));
  }
  return out;
}

TEST(FinderReasonsTest, EachFailureSaysWhy) {
  const LogoArt logo = MakeLogo(LogoKind::kBadge, 70, 0xFFFFFF, 255);
  Scene scene;
  scene.logo = &logo;
  PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);

  FoundLogo r = FindLogo({}, FindOptions());
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.reason, kFindNoFrames);
  EXPECT_FALSE(r.message.empty());

  r = FindLogo(Samples(scene, std::vector<Shot>(kMinSamples - 1, Shot::kProgramme)), {});
  EXPECT_EQ(r.reason, kFindTooShort);
  EXPECT_NE(r.message.find("2 minutes"), std::string::npos) << r.message;

  // All advert: nothing stays in place.
  r = FindLogo(Samples(scene, std::vector<Shot>(40, Shot::kAdvert)), {});
  EXPECT_EQ(r.reason, kFindNoSteadyLogo) << r.message;
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.logoSamples, 0);

  // A still picture: everything stays in place.
  r = FindLogo(Samples(scene, std::vector<Shot>(40, Shot::kProgramme), true), {});
  EXPECT_EQ(r.reason, kFindTooStill) << r.message;
  EXPECT_FALSE(r.found);

  // Fewer samples with the logo than a finding needs.
  std::vector<Shot> few(40, Shot::kAdvert);
  for (int32_t i = 0; i < kMinLogoSamples - 3; ++i)
    few[i * 5] = Shot::kProgramme;
  r = FindLogo(Samples(scene, few), {});
  EXPECT_FALSE(r.found) << r.message;
}

TEST(FinderReasonsTest, TwoLogosAreBothReportedAndACornerCanBeChosen) {
  const LogoArt logo = MakeLogo(LogoKind::kLetters, 90, 0xFFFFFF, 255);
  const LogoArt mark = MakeLogo(LogoKind::kBadge, 60, 0x3030E0, 255);
  Scene scene;
  scene.logo = &logo;
  scene.second = &mark;
  PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);
  PlaceInCorner(mark, 2, &scene.secondX, &scene.secondY);
  const std::vector<LearnSample> samples = Samples(scene, std::vector<Shot>(40, Shot::kProgramme));
  FoundLogo r = FindLogo(samples, {});
  ASSERT_TRUE(r.found) << r.message;
  EXPECT_EQ(r.reason, kFindTwoLogos) << r.message;
  EXPECT_FALSE(r.sure);
  EXPECT_NE(r.place.corner, r.second.corner);
  EXPECT_TRUE(r.place.corner == 1 || r.place.corner == 2);
  EXPECT_TRUE(r.second.corner == 1 || r.second.corner == 2);
  EXPECT_GE(r.place.strength, r.second.strength);
  EXPECT_NE(r.message.find(CornerName(r.second.corner)), std::string::npos) << r.message;

  for (int32_t corner : {1, 2}) {
    FindOptions only;
    only.corner = corner;
    r = FindLogo(samples, only);
    ASSERT_TRUE(r.found) << r.message;
    EXPECT_EQ(r.place.corner, corner);
    int32_t x0, y0, x1, y1;
    DrawnBox(corner == 1 ? logo : mark, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(r.place.x, (corner == 1 ? scene.logoX : scene.secondX) + x0, 2) << r.message;
    EXPECT_NEAR(r.place.y, (corner == 1 ? scene.logoY : scene.secondY) + y0, 2) << r.message;
  }
}

TEST(FinderReasonsTest, AStillSceneThatLastsAWhileLosesToTheLogo) {
  // A still object of a scene that lasts a quarter of the programme (a shot held still, or a
  // caption), bolder than the logo: its edges persist while the scene lasts; the logo's
  // persist through every scene.
  const LogoArt logo = MakeLogo(LogoKind::kLetters, 70, 0xF0F0F0, 140);
  const LogoArt still = MakeLogo(LogoKind::kBadge, 100, 0x3030E0, 255);
  Scene scene;
  scene.logo = &logo;
  PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);
  PlaceInCorner(still, 2, &scene.secondX, &scene.secondY);
  std::vector<LearnSample> samples;
  for (int32_t n = 0; n < 56; ++n) {
    scene.second = n >= 10 && n < 20 ? &still : nullptr;
    const std::vector<uint8_t> f = MakeFrame(scene, n < 40 ? Shot::kProgramme : Shot::kAdvert, n);
    LearnSample s;
    ASSERT_TRUE(MakeLearnSample({f.data(), 768, 576, 0}, n, &s));
    samples.push_back(std::move(s));
  }
  const FoundLogo r = FindLogo(samples, {});
  ASSERT_TRUE(r.found) << r.message;
  EXPECT_EQ(r.reason, kFindFound) << r.message;
  EXPECT_EQ(r.place.corner, 1) << r.message;
  int32_t x0, y0, x1, y1;
  DrawnBox(logo, &x0, &y0, &x1, &y1);
  EXPECT_NEAR(r.place.x, scene.logoX + x0, 2) << r.message;
  EXPECT_NEAR(r.place.y, scene.logoY + y0, 2) << r.message;
}

INSTANTIATE_TEST_SUITE_P(Kinds,
                         FinderKindsTest,
                         ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) {
                           return std::string(i.param.name);
                         });

}  // namespace
}  // namespace testing_util
}  // namespace zunk
