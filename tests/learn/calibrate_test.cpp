// Calibration on synthetic recordings: levels in the gap between the samples with and
// without the logo, that the decision's arithmetic keeps apart (the usual detect level where
// the gap is wide around it); a wider tolerance for a logo
// that moves; and a plain refusal when the two groups overlap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "learn/calibrate.h"
#include "learn/logo_finder.h"
#include "learn/synthetic_logo.h"

namespace zunk {
namespace testing_util {
namespace {

// 40 programme samples, then 16 of adverts; every fourth programme frame has the logo
// moved `shift` reference pixels to the right.
std::vector<LearnSample> Recording(const LogoArt& logo, int32_t corner, int32_t shift) {
  Scene scene;
  scene.logo = &logo;
  PlaceInCorner(logo, corner, &scene.logoX, &scene.logoY);
  const int32_t x = scene.logoX;
  std::vector<LearnSample> samples;
  for (int32_t n = 0; n < 56; ++n) {
    scene.logoX = x + (n % 4 == 1 ? shift : 0);
    const std::vector<uint8_t> f = MakeFrame(scene, n < 40 ? Shot::kProgramme : Shot::kAdvert, n);
    LearnSample s;
    EXPECT_TRUE(MakeLearnSample({f.data(), 768, 576, 0}, n, &s));
    samples.push_back(std::move(s));
  }
  return samples;
}

void ExpectSeparated(const Calibration& c) {
  EXPECT_TRUE(c.separated) << c.message;
  EXPECT_GT(c.withLow, c.matchLevel) << c.message;
  EXPECT_GT(c.matchLevel, c.withoutHigh) << c.message;
  EXPECT_GE(c.programmeLeast, c.detectLevel) << c.message;
  EXPECT_GT(c.detectLevel, c.advertMost) << c.message;
  EXPECT_GE(c.detectLevel, 1);
  EXPECT_LE(c.detectLevel, 100);
}

TEST(CalibrateTest, OpaqueAndSeeThroughLogosGetLevelsInTheGap) {
  const LogoArt opaque = MakeLogo(LogoKind::kBadge, 80, 0x2040C0, 255);
  const std::vector<LearnSample> a = Recording(opaque, 1, 0);
  const FoundLogo fa = FindLogo(a, {});
  ASSERT_TRUE(fa.found) << fa.message;
  const Calibration ca = Calibrate(a, fa, 3, 10);
  ExpectSeparated(ca);
  EXPECT_EQ(ca.posTolerance, 3);
  EXPECT_EQ(ca.withCount, fa.logoSamples);
  EXPECT_EQ(ca.withoutCount, 56 + 56 - fa.logoSamples);

  const LogoArt glass = MakeLogo(LogoKind::kLetters, 90, 0xFFFFFF, 115);
  const std::vector<LearnSample> b = Recording(glass, 2, 0);
  const FoundLogo fb = FindLogo(b, {});
  ASSERT_TRUE(fb.found) << fb.message;
  const Calibration cb = Calibrate(b, fb, 3, 10);
  ExpectSeparated(cb);
  // A see-through logo never matches as well as an opaque one.
  EXPECT_LT(cb.withLow, ca.withLow) << cb.message;

  // Programme keeps its confidence and adverts never raise it: the plug-in's usual detect
  // level, not the middle of the gap, which would notice an advert behind a see-through
  // logo late.
  for (const Calibration* c : {&ca, &cb}) {
    ASSERT_GE(c->programmeLeast, 90) << c->message;
    ASSERT_LE(c->advertMost, 70) << c->message;
    EXPECT_EQ(c->detectLevel, 80) << c->message;
  }
}

TEST(CalibrateTest, ALogoThatMovesWidensTheTolerance) {
  const LogoArt logo = MakeLogo(LogoKind::kBadge, 70, 0xF0F0F0, 255);
  const std::vector<LearnSample> s = Recording(logo, 0, 7);
  FindOptions options;
  const FoundLogo f = FindLogo(s, options);
  ASSERT_TRUE(f.found) << f.message;
  const Calibration c = Calibrate(s, f, 3, 10);
  EXPECT_TRUE(c.separated) << c.message;
  EXPECT_GE(c.posTolerance, 7) << c.message << "; " << f.message;
}

TEST(CalibrateTest, GroupsThatOverlapAreSaidAndTheDefaultsKept) {
  const LogoArt logo = MakeLogo(LogoKind::kBadge, 80, 0x2040C0, 255);
  const std::vector<LearnSample> s = Recording(logo, 1, 0);
  FoundLogo f = FindLogo(s, {});
  ASSERT_TRUE(f.found) << f.message;
  // Taken for samples with the logo: the adverts too.
  std::fill(f.showsLogo.begin(), f.showsLogo.end(), 1);
  const Calibration c = Calibrate(s, f, 3, 10);
  EXPECT_FALSE(c.separated);
  EXPECT_NE(c.message.find("overlap"), std::string::npos) << c.message;
  EXPECT_EQ(c.matchLevel, 80);
  EXPECT_EQ(c.detectLevel, 80);

  f.found = false;
  EXPECT_FALSE(Calibrate(s, f, 3, 10).separated);
}

}  // namespace
}  // namespace testing_util
}  // namespace zunk
