// The shell through its exports: version, descriptor, skips and stream geometry.
#include <gtest/gtest.h>

#include <cstring>

#include "base/mul_div.h"
#include "detect/decision.h"
#include "host/host_records.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"

extern "C" int32_t Quintora_Plugin_Version();
extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

namespace zunk {
namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(30, 768, 768), 30);
  EXPECT_EQ(MulDiv(30, 720, 768), 28);  // 28.125
  EXPECT_EQ(MulDiv(3, 20, 100), 1);     // 0.6
  EXPECT_EQ(MulDiv(3, 50, 100), 2);     // 1.5 -> 2
  EXPECT_EQ(MulDiv(-3, 50, 100), -2);   // -1.5 -> -2
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(7, 1, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);  // overflow
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
}

TEST(ExportsTest, VersionAndDescriptor) {
  EXPECT_EQ(Quintora_Plugin_Version(), 3);
  PluginDescriptor* d = Quintora_Plugin_PR();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d, Quintora_Plugin_PR());
  EXPECT_EQ(Quintora_Plugin_Version(), 3);
  EXPECT_STREQ(d->name, "\xC4\xE5\xF2\xE5\xEA\xF2\xEE\xF0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2");
  EXPECT_EQ(std::strlen(d->name), 18u);
  EXPECT_EQ(std::strlen(d->description), 31u);
  EXPECT_NE(d->Init, nullptr);
  EXPECT_NE(d->Exit, nullptr);
}

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d = Quintora_Plugin_PR();
    InitInfo info = {0, nullptr};
    d->Init(&info);
  }
  void TearDown() override {
    d->Stop();
    d->Exit();
  }
  void StartStream(int w, int h, int format, int recording) {
    StreamFormat f = {};
    f.width = w;
    f.height = h;
    f.pixelFormat = format;
    f.recording = recording;
    EXPECT_EQ(d->Start(&f), 1);
  }
  PluginDescriptor* d = nullptr;
};

TEST_F(LifecycleTest, NullFrameAndRecordingSkip) {
  StartStream(768, 576, 0, 1);
  FrameInfo none = {};
  EXPECT_EQ(d->ProcessFrame(&none), 0);
  EXPECT_EQ(StartSkip, 5);  // a frame without pixels does not count

  std::vector<uint8_t> pixels(768 * 576 * 2, 16);
  ChannelInfo channel = {};
  channel.keyLow = 7;
  std::strcpy(channel.name, "One");
  FrameInfo frame = {};
  frame.pixels = pixels.data();
  frame.channel = &channel;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(d->ProcessFrame(&frame), 0);
    EXPECT_EQ(LastChannelKey, 0) << "skipped frames must not see the channel";
  }
  EXPECT_EQ(d->ProcessFrame(&frame), 0);
  EXPECT_EQ(LastChannelKey, 7);
  EXPECT_STREQ(ChannelName, "One");
  EXPECT_EQ(ChangeSkip, 24);
  EXPECT_EQ(Presence.confidence, 100);
}

TEST_F(LifecycleTest, PreviewHasNoStartSkip) {
  StartStream(720, 576, 1, 0);
  EXPECT_EQ(StartSkip, 0);
  EXPECT_EQ(SearchHalfWidth, 28);
  ASSERT_NE(ScoreRow, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(ScoreRow) % 8, 0u);
  EXPECT_NE(MessageSurface.pixels, nullptr);
  d->Stop();
  EXPECT_EQ(ScoreRow, nullptr);
  EXPECT_EQ(MessageSurface.pixels, nullptr);
  StartStream(768, 576, 0, 0);
  EXPECT_EQ(SearchHalfWidth, 30);
}

TEST_F(LifecycleTest, ChannelNameIsReadBounded) {
  StartStream(768, 576, 0, 0);
  std::vector<uint8_t> pixels(768 * 576 * 2, 16);
  ChannelInfo channel = {};
  channel.keyLow = 3;
  std::memset(channel.name, 'A', sizeof channel.name);  // no terminator at all
  FrameInfo frame = {};
  frame.pixels = pixels.data();
  frame.channel = &channel;
  EXPECT_EQ(d->ProcessFrame(&frame), 0);
  EXPECT_EQ(std::strlen(ChannelName), kChannelNameMax);
}

TEST_F(LifecycleTest, OddStreamsLeaveFramesAlone) {
  std::vector<uint8_t> pixels(64, 0);
  ChannelInfo channel = {};
  channel.keyLow = 9;
  FrameInfo frame = {};
  frame.pixels = pixels.data();
  frame.channel = &channel;
  const int sizes[][3] = {{0, 576, 0}, {768, -1, 0}, {768, 576, 7}, {100000, 576, 1}};
  for (const auto& s : sizes) {
    StartStream(s[0], s[1], s[2], 0);
    EXPECT_EQ(d->ProcessFrame(&frame), 0);
    EXPECT_EQ(LastChannelKey, 0);
    EXPECT_EQ(ScoreRow, nullptr);
  }
  EXPECT_EQ(d->Start(nullptr), 1);
  EXPECT_EQ(d->ProcessFrame(&frame), 0);
}

}  // namespace
}  // namespace zunk
