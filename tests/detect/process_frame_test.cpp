// ProcessFrame over synthetic streams in both pixel formats: the decision frame by frame,
// the skips, the change of channel, the template's life across streams, the overlay and
// the test mode's patch.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "detect/decision.h"
#include "detect/detect_fixture.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "pipeline/stream_template.h"
#include "plugin/lifecycle.h"
#include "settings/channel_profile.h"

namespace zunk {
namespace testing_util {
namespace {

constexpr int64_t kKey = 1001;
constexpr int32_t kLogoX = 600, kLogoY = 40;  // the profile's position (768 x 576 frames)

class ProcessFrameTest : public DetectStream, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    DetectStream::SetUp();
    logo = StripedLogo(60, 40);
    Presence.holdOff = 0;
    Presence.lastDecision = 0;
    Presence.messageFadeCounter = 0;
  }
  // One frame with the logo in place (present) or moved 15 pixels right (gone).
  int32_t Feed(bool present) {
    std::vector<uint8_t> f = Frame(present ? kLogoX : kLogoX + 15, kLogoY);
    return Process(&f, kKey);
  }
  void Enter() {
    StartStream(768, 576, GetParam());
    EnterChannel(kKey, kLogoX, kLogoY);
  }
};

TEST_P(ProcessFrameTest, WorkedExampleOfTheDecision) {
  AddChannel(kKey);
  Enter();
  ASSERT_EQ(StreamTemplate.TemplateWidth, 60);
  ASSERT_EQ(Presence.confidence, 100);

  // The logo is found at full speed while it is there.
  ASSERT_EQ(Feed(true), 1);
  EXPECT_EQ(LastFrameTrace.matchPercent, 100);
  EXPECT_GE(LastFrameTrace.scoreContrast, 64);
  EXPECT_EQ(LastFrameTrace.logoFound, 1);
  EXPECT_EQ(Presence.confidence, 100);

  // Gone: 90, 80, 70; the third frame decides absent.
  const int32_t expected[] = {90, 80, 70};
  for (int32_t c : expected) {
    ASSERT_EQ(Feed(false), 1);
    EXPECT_EQ(LastFrameTrace.logoFound, 0);
    EXPECT_EQ(Presence.confidence, c);
  }
  EXPECT_EQ(Presence.reactionState, 1);
  EXPECT_EQ(Presence.lastDecision, 1);
  EXPECT_EQ(Presence.holdOff, 12);
  EXPECT_EQ(Presence.messageFadeCounter, 25);

  // Back: the confidence climbs by 3 while the decision stays frozen for 12 frames.
  for (int i = 1; i <= 12; ++i) {
    ASSERT_EQ(Feed(true), 1);
    EXPECT_EQ(Presence.confidence, std::min(100, 70 + 3 * i));
    EXPECT_EQ(Presence.reactionState, 1) << "frame " << i;
    EXPECT_EQ(LastFrameTrace.decision, 1);
  }
  ASSERT_EQ(Feed(true), 1);
  EXPECT_EQ(Presence.reactionState, 0);
  EXPECT_EQ(LastFrameTrace.decision, 0);
  EXPECT_EQ(Presence.holdOff, 12);
}

TEST_P(ProcessFrameTest, DetectLevelsZeroAndHundred) {
  AddChannel(kKey).LogoDetectLevel = 0;
  Enter();
  for (int i = 0; i < 30; ++i)
    Feed(false);
  EXPECT_EQ(Presence.confidence, 0);
  EXPECT_EQ(Presence.reactionState, 0);

  Stop();
  Profiles[0].LogoDetectLevel = 100;
  Enter();
  Feed(true);
  EXPECT_EQ(Presence.reactionState, 0);
  Feed(false);  // 90 < 100 on the first miss
  EXPECT_EQ(Presence.reactionState, 1);
}

TEST_P(ProcessFrameTest, FlipsInsideTheHoldOffWaitForIt) {
  AddChannel(kKey);
  Enter();
  for (int i = 0; i < 3; ++i)
    Feed(false);
  ASSERT_EQ(Presence.reactionState, 1);
  // Back for a moment, gone again: nothing changes until the hold-off has run out.
  for (int i = 0; i < 12; ++i) {
    Feed(i < 10);
    EXPECT_EQ(Presence.reactionState, 1);
  }
  EXPECT_EQ(Presence.holdOff, 0);
  // 70 + 30 - 20 = 80: present at the first evaluation.
  Feed(false);
  EXPECT_EQ(Presence.confidence, 70);
  EXPECT_EQ(Presence.reactionState, 1);
  EXPECT_EQ(Presence.lastDecision, 1);
}

TEST_P(ProcessFrameTest, ChangeOfChannelWhileAbsentUndoesAndSkips) {
  AddChannel(kKey);
  AddChannel(2002);
  Enter();
  for (int i = 0; i < 3; ++i)
    Feed(false);
  ASSERT_EQ(Presence.reactionState, 1);
  std::vector<uint8_t> f = Frame(kLogoX, kLogoY);
  EXPECT_EQ(Process(&f, 2002), 0);
  EXPECT_EQ(Presence.reactionState, 0);
  EXPECT_EQ(Presence.confidence, 100);
  EXPECT_EQ(CurrentIndex, 1);
  EXPECT_EQ(Presence.lastDecision, 1);  // the hold-off and the last decision are left alone
  for (int i = 0; i < 24; ++i) {
    f = Frame(kLogoX + 15, kLogoY);
    EXPECT_EQ(Process(&f, 2002), 0) << i;
  }
  EXPECT_EQ(Presence.confidence, 100);
  f = Frame(kLogoX + 15, kLogoY);
  EXPECT_EQ(Process(&f, 2002), 1);
}

TEST_P(ProcessFrameTest, RecordingSkipsFiveFramesBeforeSeeingTheChannel) {
  AddChannel(kKey);
  StartStream(768, 576, GetParam(), 1);
  std::vector<uint8_t> f = Frame(kLogoX, kLogoY);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(Process(&f, kKey), 0);
  EXPECT_EQ(LastChannelKey, 0);
  EXPECT_EQ(Process(&f, kKey), 0);
  EXPECT_EQ(LastChannelKey, kKey);
}

TEST_P(ProcessFrameTest, ShowLogoDrawsTheTemplateOverTheFrame) {
  ChannelProfile& p = AddChannel(kKey);
  p.ShowLogo = 1;
  p.LogoTransparency = 0;
  Enter();
  std::vector<uint8_t> f = Frame(-1, 0, 200);
  const std::vector<uint8_t> before = f;
  ASSERT_EQ(Process(&f, kKey), 1);
  EXPECT_EQ(f, before);

  Profiles[0].LogoTransparency = 100;
  f = before;
  ASSERT_EQ(Process(&f, kKey), 1);
  for (int32_t y = 0; y < logo.h; ++y) {
    for (int32_t x = 0; x < logo.w; ++x) {
      const uint8_t t = logo.At(x, y);
      const uint8_t got = Get(f, kLogoX + x, kLogoY + y);
      if (t == 0)
        ASSERT_EQ(got, Get(before, kLogoX + x, kLogoY + y)) << x << "," << y;
      else if (GetParam() == 1)
        ASSERT_EQ(got, t) << x << "," << y;
      else
        ASSERT_NEAR(got, t, 2) << x << "," << y;  // grey through the luma formula
    }
  }
  // Nothing outside the logo's rectangle changed.
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      if (x < kLogoX || x >= kLogoX + logo.w || y < kLogoY || y >= kLogoY + logo.h) {
        ASSERT_EQ(Get(f, x, y), Get(before, x, y));
      }
}

TEST_P(ProcessFrameTest, TestModeHidesTheLogoWithTheFramesCentre) {
  AddChannel(kKey);
  Enter();
  SimulateLogoLoss = 1;
  // The centre of the picture holds the logo's pattern off by 15 pixels, and a bright mark
  // that the patch carries over.
  const int32_t cx = (768 - 60) / 2, cy = (576 - 40) / 2;
  auto frame = [&] {
    std::vector<uint8_t> f = Frame(kLogoX, kLogoY);
    for (int32_t y = 0; y < logo.h; ++y)
      for (int32_t x = 0; x < logo.w; ++x)
        if (logo.At(x, y) != 0)
          Put(&f, cx + 15 + x, cy + y, logo.At(x, y));
    Put(&f, cx + 5, cy + 5, 250);
    return f;
  };
  std::vector<uint8_t> f = frame();
  const std::vector<uint8_t> before = f;
  ASSERT_EQ(Process(&f, kKey), 1);
  const int32_t t = 30;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = -t; x < 60 + t; ++x)
      ASSERT_EQ(Get(f, kLogoX + x, kLogoY + y), Get(before, cx + x, cy + y)) << x << "," << y;
  EXPECT_EQ(Get(f, kLogoX + 5, kLogoY + 5), 250);
  // The detector no longer sees the logo: absent within a few frames.
  for (int i = 0; i < 4 && Presence.reactionState == 0; ++i) {
    f = frame();
    Process(&f, kKey);
  }
  EXPECT_EQ(Presence.reactionState, 1);
}

TEST_P(ProcessFrameTest, ExtremeSpeedsKeepTheConfidenceInRange) {
  ChannelProfile& p = AddChannel(kKey);
  p.LogoOffResponseSpeed = INT_MIN;
  p.LogoOnResponseSpeed = INT_MAX;
  Enter();
  Feed(false);
  EXPECT_EQ(Presence.confidence, 100);
  Profiles[0].LogoOffResponseSpeed = INT_MAX;
  Feed(false);
  EXPECT_EQ(Presence.confidence, 0);
  Profiles[0].LogoOnResponseSpeed = INT_MIN;
  Feed(true);
  EXPECT_EQ(Presence.confidence, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, ProcessFrameTest, ::testing::Values(0, 1));

using TemplateLifeTest = DetectStream;

TEST_F(TemplateLifeTest, ScalesWithTheStreamAndSurvivesStopAndStart) {
  logo = StripedLogo(60, 40);
  AddChannel(7);
  StartStream(768, 576, 1);
  EnterChannel(7, 600, 40);
  EXPECT_EQ(StreamTemplate.TemplateWidth, 60);
  Stop();

  // A new stream whose frames carry key 0: no change of channel, the template is prepared
  // again for the new size before it is matched.
  StartStream(720, 576, 1);
  std::vector<uint8_t> f = Frame(-1, 0);
  EXPECT_EQ(Process(&f, 0), 1);
  EXPECT_EQ(StreamTemplate.TemplateWidth, 56);
  EXPECT_EQ(StreamTemplate.TemplateHeight, 40);
  EXPECT_EQ(SearchHalfWidth, 28);
  Stop();

  StartStream(1920, 1080, 0);
  f = Frame(-1, 0);
  EXPECT_EQ(Process(&f, 0), 1);
  EXPECT_EQ(StreamTemplate.TemplateWidth, 150);
  EXPECT_EQ(StreamTemplate.TemplateHeight, 75);
}

TEST_F(TemplateLifeTest, AReactionOnKeyZeroIsUndoneAtTheNextChannel) {
  logo = StripedLogo(60, 40);
  AddChannel(7);
  StartStream(768, 576, 1);
  EnterChannel(7, 600, 40);
  Stop();
  StartStream(768, 576, 1);
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> f = Frame(615, 40);
    ASSERT_EQ(Process(&f, 0), 1);
  }
  ASSERT_EQ(Presence.reactionState, 1);
  std::vector<uint8_t> f = Frame(600, 40);
  Process(&f, 7);
  EXPECT_EQ(Presence.reactionState, 0);
}

TEST_F(TemplateLifeTest, TemplatesThatCannotBeMatchedAreNeverMatched) {
  // Larger than the reference frame: rejected at load.
  logo = StripedLogo(800, 40);
  AddChannel(7);
  StartStream(768, 576, 1);
  EnterChannel(7, -1, 0);
  EXPECT_EQ(TemplateLoaded, 0);
  std::vector<uint8_t> f = Frame(-1, 0);
  EXPECT_EQ(Process(&f, 7), 0);
  Stop();

  // Vanishes at this frame size: loaded, but never reaches the kernels.
  logo = StripedLogo(3, 3);  // 0.39 pixels at this scale
  StartStream(100, 80, 0);
  EnterChannel(7, -1, 0);
  EXPECT_EQ(TemplateLoaded, 1);
  EXPECT_EQ(StreamTemplate.Prepared, 0);
  f = Frame(-1, 0);
  EXPECT_EQ(Process(&f, 7), 0);
  Stop();

  // Frames smaller than the search: tiny but valid geometry.
  logo = StripedLogo(60, 40);
  StartStream(13, 9, 1);
  EnterChannel(7, -1, 0);
  f = Frame(-1, 0);
  EXPECT_EQ(Process(&f, 7), 1);
}

TEST_F(TemplateLifeTest, UnknownPixelFormatLeavesTheFrameAlone) {
  logo = StripedLogo(60, 40);
  AddChannel(7).ShowLogo = 1;
  StartStream(768, 576, 2);
  format = 1;  // paint as 24-bit; the plug-in must not touch it
  std::vector<uint8_t> f = Frame(600, 40);
  const std::vector<uint8_t> before = f;
  for (int i = 0; i < 30; ++i)
    EXPECT_EQ(Process(&f, 7), 0);
  EXPECT_EQ(f, before);
}

}  // namespace
}  // namespace testing_util
}  // namespace zunk
