// The reactions as frame processing fires them, through the module's frame operation:
// the commands at the frames the decision changes, in order at a change of channel, none
// of them made while the module lock is held, and none out of order when Stop on another
// thread overlaps the frame that loses the logo.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "detect/detect_fixture.h"
#include "host/host_records.h"
#include "react/react_fake_host.h"
#include "settings/channel_profile.h"

extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

namespace zunk {
namespace {

using Names = std::vector<std::string>;

class ReactionFrames : public testing_util::DetectStream {
 protected:
  void SetUp() override {
    DetectStream::SetUp();
    host = &zunktest::InstallFakeHost();
    logo = testing_util::StripedLogo(60, 40);
  }
  void TearDown() override {
    Quintora_Plugin_PR()->Stop();
    EXPECT_EQ(host->callsUnderLock, 0) << "a host call made under the module lock";
    zunktest::RemoveFakeHost();
    DetectStream::TearDown();
  }
  // One frame of the channel, as the host hands it over: the logo in its place, or moved
  // far beyond the tolerance (another picture where the logo was).
  void Feed(int64_t key, bool logoShown) {
    std::vector<uint8_t> f = Frame(logoShown ? 600 : 615, 40);
    channel.keyLow = static_cast<uint32_t>(key);
    FrameInfo info = {};
    info.pixels = f.data();
    info.channel = &channel;
    Quintora_Plugin_PR()->ProcessFrame(&info);
  }
  // Feeds frames until the host has received `count` more commands; at most `limit`.
  Names FeedUntil(int64_t key, bool logoShown, size_t count, int limit = 60) {
    const size_t start = host->commands.size();
    for (int i = 0; i < limit && host->commands.size() < start + count; ++i)
      Feed(key, logoShown);
    Names n = host->Names();
    host->ClearLogs();
    return n;
  }
  zunktest::FakeHost* host = nullptr;
};

TEST_F(ReactionFrames, TheSoundDropsOverTheBreakAndComesBack) {
  AddChannel(7).PreviewAction = 2;
  StartStream(768, 576, 1);
  EXPECT_EQ(FeedUntil(7, true, 1, 40), Names{}) << "nothing while the logo is there";
  EXPECT_EQ(FeedUntil(7, false, 2), (Names{"GetVolume", "SetVolume 300"}));
  EXPECT_EQ(FeedUntil(7, true, 1), (Names{"SetVolume 500"}));
  EXPECT_EQ(FeedUntil(7, true, 1, 30), Names{}) << "once per change";
}

TEST_F(ReactionFrames, AChangeOfChannelUndoesThenStartsTheNewChannelsReaction) {
  AddChannel(7).RecordAction = 1;
  AddChannel(8).RecordAction = 2;
  StartStream(768, 576, 0, 1);
  for (int i = 0; i < 5; ++i)
    Feed(7, true);  // the recording's start skip
  EXPECT_EQ(FeedUntil(7, true, 1, 30), Names{});
  EXPECT_EQ(FeedUntil(7, false, 1), (Names{"Pause"}));
  // The break's pause ends with the channel; the new channel records only its breaks.
  Feed(8, false);
  EXPECT_EQ(host->Names(), (Names{"Resume", "Pause"}));
  host->ClearLogs();
  EXPECT_EQ(FeedUntil(8, false, 1), (Names{"Resume"}));
}

TEST_F(ReactionFrames, StopWhileAbsentResumesOnce) {
  AddChannel(7).RecordAction = 1;
  StartStream(768, 576, 1, 1);
  for (int i = 0; i < 5; ++i)
    Feed(7, true);
  FeedUntil(7, true, 1, 30);
  EXPECT_EQ(FeedUntil(7, false, 1), (Names{"Pause"}));
  Quintora_Plugin_PR()->Stop();
  Quintora_Plugin_PR()->Stop();
  EXPECT_EQ(host->Names(), (Names{"Resume"}));
}

// Stop on the interface thread at every moment around the frame that loses the logo, on
// the video thread: the sound is never left low, and a recording never gets its Resume
// before its Pause.
TEST_F(ReactionFrames, AStopOverlappingTheLossOfTheLogoLeavesNothingUndone) {
  AddChannel(7).PreviewAction = 2;
  AddChannel(8).RecordAction = 1;
  for (int round = 0; round < 16; ++round) {
    const bool recording = round % 2 == 1;
    const int64_t key = recording ? 8 : 7;
    SCOPED_TRACE(round);
    StartStream(768, 576, 1, recording ? 1 : 0);
    for (int i = 0; i < 5; ++i)
      Feed(key, true);
    FeedUntil(key, true, 1, 30);
    std::vector<uint8_t> gone = Frame(615, 40);
    channel.keyLow = static_cast<uint32_t>(key);
    std::thread video([&] {
      FrameInfo info = {};
      info.pixels = gone.data();
      info.channel = &channel;
      for (int i = 0; i < 30; ++i)
        Quintora_Plugin_PR()->ProcessFrame(&info);
    });
    // Later each round, from before the loss to after it.
    std::this_thread::sleep_for(std::chrono::milliseconds(round * 3));
    Quintora_Plugin_PR()->Stop();
    video.join();
    const Names names = host->Names();
    host->ClearLogs();
    if (recording) {
      EXPECT_TRUE(names.empty() || names == (Names{"Pause", "Resume"})) << names.size();
    } else {
      EXPECT_EQ(host->volume, 500u);
      EXPECT_TRUE(names.empty() || names == (Names{"GetVolume", "SetVolume 300", "SetVolume 500"}))
          << names.size();
    }
  }
}

}  // namespace
}  // namespace zunk
