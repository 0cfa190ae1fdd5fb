// The arithmetic of matching and the decision: geometry, scores, damping, confidence.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "base/mul_div.h"
#include "detect/decision.h"
#include "detect/matching.h"
#include "kernels/kernel_types.h"
#include "settings/channel_profile.h"

namespace zunk {
namespace {

TEST(DampingTest, ContrastAndMatchScaleTheOnSpeed) {
  EXPECT_EQ(DampedOnSpeed(3, 64, 100, 80), 3);  // contrast 64 or more: untouched
  EXPECT_EQ(DampedOnSpeed(3, 63, 100, 80), 2);  // 1.89
  EXPECT_EQ(DampedOnSpeed(3, 50, 100, 80), 2);  // 1.5, halves away from zero
  EXPECT_EQ(DampedOnSpeed(3, 20, 100, 80), 1);  // 0.6
  EXPECT_EQ(DampedOnSpeed(3, 0, 100, 80), 0);
  EXPECT_EQ(DampedOnSpeed(3, 500, 80, 80), 3);  // at the match level: f / L = 1
  EXPECT_EQ(DampedOnSpeed(3, 500, 60, 80), 1);  // f = 20: 0.75
  EXPECT_EQ(DampedOnSpeed(3, 500, 53, 80), 0);  // f negative
  EXPECT_EQ(DampedOnSpeed(10, 20, 60, 80), 1);  // both: 2, then 2 * 20 / 80 = 0.5 -> 1
  EXPECT_EQ(DampedOnSpeed(3, 100, 0, 0), 3);    // level 0: never below it
}

TEST(DampingTest, HandEditedExtremesDoNotOverflow) {
  EXPECT_EQ(DampedOnSpeed(3, 100, 50, INT_MAX), 0);
  EXPECT_EQ(DampedOnSpeed(INT_MAX, 100, 99, 100), MulDiv(INT_MAX, 97, 100));
  EXPECT_EQ(DampedOnSpeed(INT_MIN, 100, 100, 80), INT_MIN);
  EXPECT_EQ(DampedOnSpeed(5, 100, 100, INT_MIN), 5);
}

TEST(ConfidenceTest, MovesAndStaysWithinRange) {
  EXPECT_EQ(NextConfidence(100, 0, 3, 10), 90);
  EXPECT_EQ(NextConfidence(5, 0, 3, 10), 0);
  EXPECT_EQ(NextConfidence(98, 1, 3, 10), 100);
  EXPECT_EQ(NextConfidence(70, 1, 3, 10), 73);
  EXPECT_EQ(NextConfidence(50, 1, INT_MAX, 10), 100);
  EXPECT_EQ(NextConfidence(50, 1, INT_MIN, 10), 0);
  EXPECT_EQ(NextConfidence(50, 0, 3, INT_MIN), 100);
  EXPECT_EQ(NextConfidence(50, 0, 3, INT_MAX), 0);
}

TEST(PresenceStepTest, HoldsOffThenDecidesAndAsksForTheReactionsOnAChange) {
  // Present, confidence falls below the level: absent, a hold-off and a fade-in begin.
  PresenceState s = {79, 0, 0, 0, 3};
  PresenceStep step = StepPresence(s, 80);
  EXPECT_EQ(step.decision, 1);
  EXPECT_TRUE(step.changed);
  EXPECT_EQ(step.next.reactionState, 1);
  EXPECT_EQ(step.next.lastDecision, 1);
  EXPECT_EQ(step.next.holdOff, 12);
  EXPECT_EQ(step.next.messageFadeCounter, 25);
  EXPECT_EQ(step.next.confidence, 79) << "the step never moves the confidence";

  // During the hold-off the last decision stands, whatever the confidence says, and the
  // reactions' state is left as it is.
  s = {100, 0, 1, 2, 7};
  step = StepPresence(s, 80);
  EXPECT_EQ(step.decision, 1);
  EXPECT_FALSE(step.changed);
  EXPECT_EQ(step.next.holdOff, 1);
  EXPECT_EQ(step.next.reactionState, 0);
  EXPECT_EQ(step.next.lastDecision, 1);
  EXPECT_EQ(step.next.messageFadeCounter, 7);

  // The same decision again: nothing starts.
  s = {80, 0, 0, 0, 4};
  step = StepPresence(s, 80);
  EXPECT_EQ(step.decision, 0) << "at the level the logo counts present";
  EXPECT_FALSE(step.changed);
  EXPECT_EQ(step.next.holdOff, 0);
  EXPECT_EQ(step.next.messageFadeCounter, 4);

  // Back from absent.
  s = {95, 1, 1, 0, 0};
  step = StepPresence(s, 80);
  EXPECT_EQ(step.decision, 0);
  EXPECT_TRUE(step.changed);
  EXPECT_EQ(step.next.reactionState, 0);
  EXPECT_EQ(step.next.holdOff, 12);
}

TEST(MatchPercentTest, FromTheLargestChannelMean) {
  EXPECT_EQ(MatchPercentFromDifferences(0, 0, 0), 100);
  EXPECT_EQ(MatchPercentFromDifferences(252, 3, 0), 1);
  EXPECT_EQ(MatchPercentFromDifferences(0, 255, 0), 0);
  EXPECT_EQ(MatchPercentFromDifferences(0, 0, 40000), 0);
  EXPECT_EQ(MatchPercentFromDifferences(51, 10, 20), 80);
}

// A row of 2t + 1 entries with the given B + G + R sums (all in B).
std::vector<uint8_t> Row(const std::vector<uint32_t>& sums) {
  std::vector<uint8_t> row(sums.size() * sizeof(DiffEntry));
  for (size_t k = 0; k < sums.size(); ++k) {
    DiffEntry e = {sums[k], 0, 0, 7};
    std::memcpy(row.data() + k * sizeof e, &e, sizeof e);
  }
  return row;
}

std::vector<int32_t> Scores(const std::vector<uint8_t>& row, size_t n) {
  std::vector<int32_t> s(n);
  std::memcpy(s.data(), row.data(), n * 4);
  return s;
}

TEST(ScoreTest, ContrastFoundAndTies) {
  MatchResult r = {};
  // t = 2: offsets -2..2. Best at offset 0.
  std::vector<uint8_t> row = Row({300, 200, 10, 200, 300});
  ScorePlacements(row.data(), 2, 0, &r);
  EXPECT_EQ(Scores(row, 5), (std::vector<int32_t>{0, 100, 290, 100, 0}));
  EXPECT_EQ(r.scoreContrast, 290);
  EXPECT_EQ(r.logoFound, 1);

  // Best at offset +2, outside a tolerance of 1; inside a tolerance of 2.
  row = Row({300, 200, 100, 200, 10});
  ScorePlacements(row.data(), 2, 1, &r);
  EXPECT_EQ(r.logoFound, 0);
  row = Row({300, 200, 100, 200, 10});
  ScorePlacements(row.data(), 2, 2, &r);
  EXPECT_EQ(r.logoFound, 1);

  // Equal best scores at offset 0 and at +t: found with tolerance 0.
  row = Row({300, 200, 10, 200, 10});
  ScorePlacements(row.data(), 2, 0, &r);
  EXPECT_EQ(r.logoFound, 1);

  // A negative tolerance: nothing counts as found.
  row = Row({300, 200, 10, 200, 300});
  ScorePlacements(row.data(), 2, -1, &r);
  EXPECT_EQ(r.logoFound, 0);
}

TEST(ScoreTest, FlatAreaAndSinglePlacement) {
  MatchResult r = {};
  std::vector<uint8_t> row = Row({50, 50, 50});
  ScorePlacements(row.data(), 1, 0, &r);
  EXPECT_EQ(r.scoreContrast, 0);
  EXPECT_EQ(r.logoFound, 1);

  row = Row({1000});  // t = 0: one placement, differences beyond 255 on average
  ScorePlacements(row.data(), 0, 0, &r);
  EXPECT_EQ(Scores(row, 1), (std::vector<int32_t>{0}));
  EXPECT_EQ(r.scoreContrast, 0);
  EXPECT_EQ(r.logoFound, 1);
}

TEST(ScoreTest, NegativeScoresAreShiftedByTheSmallest) {
  MatchResult r = {};
  std::vector<uint8_t> row = Row({900, 1000, 700});  // scores -135, -235, 65
  ScorePlacements(row.data(), 1, 1, &r);
  EXPECT_EQ(Scores(row, 3), (std::vector<int32_t>{100, 0, 300}));
  EXPECT_EQ(r.scoreContrast, 300);
  EXPECT_EQ(r.logoFound, 1);
}

ChannelProfile At(int32_t x, int32_t y, int32_t tolerance) {
  ChannelProfile p;
  p.LogoPosX = x;
  p.LogoPosY = y;
  p.LogoPosTolerance = tolerance;
  return p;
}

TEST(GeometryTest, ScalingAndSearchWidth) {
  // 720 x 576, 60 x 40 template: tw 56, S 28.
  ChannelProfile p = At(600, 40, 5);
  MatchGeometry g = ComputeMatchGeometry(&p, 60, 40, 56, 40, 720, 576, 28);
  EXPECT_EQ(g.x, 563);  // 562.5
  EXPECT_EQ(g.y, 40);
  EXPECT_EQ(g.t, 28);
  EXPECT_EQ(g.tol, 5);  // 4.69
  // 1920 x 1080: everything scales up.
  g = ComputeMatchGeometry(&p, 60, 40, 150, 75, 1920, 1080, 75);
  EXPECT_EQ(g.x, 1500);
  EXPECT_EQ(g.y, 75);
  EXPECT_EQ(g.t, 75);
  EXPECT_EQ(g.tol, 13);  // 12.5
}

TEST(GeometryTest, ClampsAreWrittenBack) {
  ChannelProfile p = At(-5, -1, 3);
  MatchGeometry g = ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30);
  EXPECT_EQ(p.LogoPosX, 0);
  EXPECT_EQ(p.LogoPosY, 0);
  EXPECT_EQ(g.t, 0);  // left edge: one placement
  p = At(740, 600, 3);
  g = ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30);
  EXPECT_EQ(p.LogoPosX, 708);
  EXPECT_EQ(p.LogoPosY, 536);
  EXPECT_EQ(g.x + 60, 768);
  EXPECT_EQ(g.t, 0);  // right edge
  p = At(INT_MAX, INT_MIN, 3);
  g = ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30);
  EXPECT_EQ(p.LogoPosX, 708);
  EXPECT_EQ(p.LogoPosY, 0);
}

TEST(GeometryTest, ToleranceLimits) {
  ChannelProfile p = At(300, 40, 100);
  EXPECT_EQ(ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30).tol, 30);
  p.LogoPosTolerance = 0;
  EXPECT_EQ(ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30).tol, 0);
  p.LogoPosTolerance = INT_MAX;
  EXPECT_EQ(ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30).tol, 30);
  p.LogoPosTolerance = INT_MIN;
  EXPECT_LT(ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30).tol, 0);
  p.LogoPosTolerance = -2;
  EXPECT_EQ(ComputeMatchGeometry(&p, 60, 40, 60, 40, 768, 576, 30).tol, -2);
}

}  // namespace
}  // namespace zunk
