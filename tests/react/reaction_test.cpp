// The volume and recording reactions through the module's operations, against a fake
// host window and mixer: the commands for each host version, the undo at Stop, Start and
// Exit, and no host or mixer call while the module lock is held.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "host/host_records.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "platform/platform.h"
#include "react/mixer.h"
#include "react/react_fake_host.h"
#include "react/reaction.h"
#include "react/volume.h"
#include "settings/channel_profile.h"

extern "C" zunk::PluginDescriptor* Quintora_Plugin_PR();

namespace zunk {
namespace {

using Names = std::vector<std::string>;

class ReactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = &zunktest::InstallFakeHost();
    d = Quintora_Plugin_PR();
    InitInfo info = {0, nullptr};
    d->Init(&info);
  }
  void TearDown() override {
    d->Stop();
    d->Exit();
    EXPECT_EQ(host->callsUnderLock, 0) << "a host or mixer call made under the module lock";
    zunktest::RemoveFakeHost();
  }
  // A stream whose channel profile has the given actions.
  void StartStream(int recording, int previewAction, int recordAction) {
    StreamFormat f = {};
    f.width = 320;
    f.height = 240;
    f.recording = recording;
    d->Start(&f);
    ChannelProfile p;
    p.ChannelKey = 5;
    p.PreviewAction = previewAction;
    p.RecordAction = recordAction;
    Profiles.assign(1, p);
    CurrentIndex = 0;
    host->ClearLogs();
  }
  // As frame processing does on a change of decision: recorded under the lock, carried
  // out after it.
  void Decide(int absent) {
    ReactionLockScope lock;
    ApplyReaction(absent, RecordingStream);
    Presence.reactionState = absent;
  }
  Names Take() {
    Names n = host->Names();
    host->ClearLogs();
    return n;
  }

  zunktest::FakeHost* host = nullptr;
  PluginDescriptor* d = nullptr;
};

TEST_F(ReactionTest, PreviewLowersBy20PerCentStepsAndRestores) {
  const char* lowered[] = {
      "", "SetVolume 400", "SetVolume 300", "SetVolume 200", "SetVolume 100", "SetVolume 0"};
  for (int k = 1; k <= 5; ++k) {
    StartStream(0, k, 0);
    host->volume = 500;
    Decide(1);
    EXPECT_EQ(Take(), (Names{"GetVolume", lowered[k]})) << "PreviewAction " << k;
    EXPECT_EQ(SavedVolume, 500u);
    Decide(0);
    EXPECT_EQ(Take(), (Names{"SetVolume 500"})) << "PreviewAction " << k;
    d->Stop();
  }
}

TEST_F(ReactionTest, PreviewReductionIsUnsignedAndTruncating) {
  StartStream(0, 1, 0);
  host->volume = 0xFFFFFFFFu;  // the host's value is taken as it comes
  Decide(1);
  // 0xFFFFFFFF * 20 wraps in 32 bits: 0xFFFFFFEC / 100 = 42949672.
  EXPECT_EQ(host->volume, 0xFFFFFFFFu - 42949672u);
  Decide(0);
  host->volume = 7;
  Decide(1);
  EXPECT_EQ(host->volume, 6u);  // 7 - 140 / 100
}

TEST_F(ReactionTest, RecordingStreamLeavesTheVolumeAlone) {
  StartStream(1, 3, 0);
  Decide(1);
  Decide(0);
  EXPECT_EQ(Take(), Names{});
}

TEST_F(ReactionTest, TheActionInForceWhenTheLogoReturnsDecides) {
  StartStream(0, 2, 0);
  Decide(1);
  EXPECT_EQ(host->volume, 300u);
  Profiles[0].PreviewAction = 0;  // changed to none while absent: the sound stays low
  Decide(0);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300"}));
  EXPECT_EQ(host->volume, 300u);

  host->volume = 800;
  Decide(1);                      // nothing to do with action 0
  Profiles[0].PreviewAction = 4;  // changed from none while absent: the last saved level
  Decide(0);
  EXPECT_EQ(Take(), (Names{"SetVolume 500"}));
}

TEST_F(ReactionTest, OlderHostsHaveTheMixerChanged) {
  host->mixerPresent = true;
  d->Exit();
  InitInfo info = {0, nullptr};
  d->Init(&info);  // opens the mixer
  for (uint32_t version : {0x40009u, 0x4000Au}) {
    host->version = version;
    host->mixerValue = 1000;
    StartStream(0, 2, 0);
    Decide(1);
    Decide(0);
    const Names mixerCalls = host->mixerCalls;
    if (version == 0x40009u) {
      EXPECT_EQ(mixerCalls, (Names{"get", "set 600", "set 1000"}));
      EXPECT_EQ(Take(), Names{}) << "no volume commands to the host";
    } else {
      EXPECT_EQ(mixerCalls, Names{});
      EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300", "SetVolume 500"}));
    }
    d->Stop();
  }
}

TEST_F(ReactionTest, MissingMixerOrControlChangesNothing) {
  host->version = 0x30000;
  for (bool present : {false, true}) {
    d->Exit();
    EXPECT_FALSE(host->mixerOpen);
    host->mixerPresent = present;
    host->mixerHasControl = false;
    VolumeControlId = 0;
    InitInfo info = {0, nullptr};
    d->Init(&info);
    EXPECT_EQ(host->mixerOpen, present) << "a mixer without the control stays open";
    EXPECT_EQ(VolumeControlId, 0u);
    StartStream(0, 2, 0);
    uint32_t v = 123;
    EXPECT_FALSE(GetVolume(&v));
    EXPECT_EQ(v, 0u);
    EXPECT_FALSE(SetVolume(50));
    Decide(1);
    Decide(0);
    EXPECT_EQ(SavedVolume, 0u);
    EXPECT_EQ(Take(), Names{});
    d->Stop();
  }
}

TEST_F(ReactionTest, RecordingPausesOverTheBreakOrRecordsOnlyTheBreak) {
  StartStream(1, 0, 1);
  Decide(1);
  EXPECT_EQ(Take(), (Names{"Pause"}));
  Decide(0);
  EXPECT_EQ(Take(), (Names{"Resume"}));

  StartStream(1, 0, 2);
  {
    ReactionLockScope lock;  // a change of channel
    ChannelChangeRecordHook(RecordingStream);
  }
  EXPECT_EQ(Take(), (Names{"Pause"}));
  Decide(1);
  EXPECT_EQ(Take(), (Names{"Resume"}));
  Decide(0);
  EXPECT_EQ(Take(), (Names{"Pause"}));
}

TEST_F(ReactionTest, HostsBefore3003CGetTheToggle) {
  for (uint32_t version : {0x3003Bu, 0x3003Cu}) {
    host->version = version;
    StartStream(1, 0, 1);
    Decide(1);
    Decide(0);
    if (version == 0x3003Bu)
      EXPECT_EQ(Take(), (Names{"Toggle", "Toggle"}));
    else
      EXPECT_EQ(Take(), (Names{"Pause", "Resume"}));
    d->Stop();
  }
}

TEST_F(ReactionTest, ThePreviewPostsNoRecordingCommand) {
  StartStream(0, 0, 1);
  Decide(1);
  {
    ReactionLockScope lock;
    ChannelChangeRecordHook(RecordingStream);
  }
  Profiles[0].RecordAction = 2;
  {
    ReactionLockScope lock;
    ChannelChangeRecordHook(RecordingStream);
  }
  d->Stop();
  EXPECT_EQ(Take(), Names{});
}

TEST_F(ReactionTest, StopWhileAbsentUndoesOnceOnly) {
  StartStream(1, 0, 1);
  Decide(1);
  EXPECT_EQ(Take(), (Names{"Pause"}));
  d->Stop();
  EXPECT_EQ(Take(), (Names{"Resume"}));
  d->Stop();
  d->Exit();
  EXPECT_EQ(Take(), Names{}) << "a second Stop and the Exit post nothing more";
  InitInfo info = {0, nullptr};
  d->Init(&info);

  StartStream(0, 2, 0);
  Decide(1);
  Take();
  d->Stop();
  EXPECT_EQ(Take(), (Names{"SetVolume 500"}));
}

TEST_F(ReactionTest, ExitOrANewStartWithoutStopUndoesOnce) {
  StartStream(1, 0, 1);
  Decide(1);
  Take();
  d->Exit();  // the host never stopped the stream
  EXPECT_EQ(Take(), (Names{"Resume"}));
  d->Stop();
  EXPECT_EQ(Take(), Names{});
  InitInfo info = {0, nullptr};
  d->Init(&info);

  StartStream(0, 3, 0);
  Decide(1);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 200"}));
  StreamFormat f = {};
  f.width = 320;
  f.height = 240;
  d->Start(&f);  // no Stop before it
  EXPECT_EQ(Take(), (Names{"SetVolume 500"}));
  EXPECT_EQ(Presence.reactionState, 0);
  d->Stop();
  EXPECT_EQ(Take(), Names{});
}

TEST_F(ReactionTest, NoHostWindowMeansMixerAndToggle) {
  host->windowExists = false;
  StartStream(1, 0, 1);
  Decide(1);
  Decide(0);
  EXPECT_EQ(Take(), Names{}) << "the posts go to no window";
  uint32_t v = 1;
  EXPECT_FALSE(GetVolume(&v)) << "version 0 takes the mixer path, and there is no mixer";
}

// The reactions a frame records under the lock, taken out as its entry point would carry
// them out once the lock is released; the test decides when that happens.
ReactionBatch DecideWithoutCarryingOut(int absent) {
  LockScope lock;
  ApplyReaction(absent, RecordingStream);
  Presence.reactionState = absent;
  return TakePendingReactions();
}

TEST_F(ReactionTest, AStopThatOvertakesAFramesLoweringDropsBoth) {
  StartStream(0, 2, 0);
  const ReactionBatch frame = DecideWithoutCarryingOut(1);
  d->Stop();  // the interface thread's restore runs before the frame's lowering
  RunReactions(frame);
  EXPECT_EQ(Take(), Names{}) << "the restore had nothing to restore, the lowering is stale";
  EXPECT_EQ(host->volume, 500u);

  // The next absence is carried out as always.
  StartStream(0, 2, 0);
  Decide(1);
  Decide(0);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300", "SetVolume 500"}));
}

TEST_F(ReactionTest, AnExitThatOvertakesAFramesPauseDropsBoth) {
  for (int recordAction : {1, 2}) {
    SCOPED_TRACE(recordAction);
    StartStream(1, 0, recordAction);
    const ReactionBatch frame = DecideWithoutCarryingOut(1);
    d->Exit();
    RunReactions(frame);
    EXPECT_EQ(Take(), Names{}) << "no Resume before its Pause, no Pause after the Exit";
    InitInfo info = {0, nullptr};
    d->Init(&info);
  }
}

TEST_F(ReactionTest, AStopDuringTheLoweringRestoresAfterIt) {
  StartStream(0, 2, 0);
  // While the host is asked for the volume, its interface thread stops the stream.
  host->duringVolumeQuery = [this] {
    host->duringVolumeQuery = nullptr;
    std::thread ui([this] { d->Stop(); });
    ui.join();
    EXPECT_EQ(host->Names(), Names{"GetVolume"}) << "the restore waits for the lowering";
  };
  Decide(1);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300", "SetVolume 500"}));
  EXPECT_EQ(host->volume, 500u);
  d->Stop();
  EXPECT_EQ(Take(), Names{});
}

// An absence's end recorded on one thread and carried out late, after the frames on the
// other have begun the next absence: the end runs before the new lowering, which then
// saves the sound as it was, and not again when it arrives.
TEST_F(ReactionTest, AnEndHeldBackPastTheNextAbsencesStartRunsBeforeIt) {
  StartStream(0, 2, 0);
  Decide(1);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300"}));
  const ReactionBatch late = DecideWithoutCarryingOut(0);
  Decide(1);
  EXPECT_EQ(Take(), (Names{"SetVolume 500", "GetVolume", "SetVolume 300"}));
  RunReactions(late);
  EXPECT_EQ(Take(), Names{}) << "the end was carried out already";
  Decide(0);
  EXPECT_EQ(Take(), (Names{"SetVolume 500"}));
  EXPECT_EQ(host->volume, 500u);
}

// A Start without a Stop asks the host for its version between ending the old stream's
// reactions and replacing the stream; frames of the old stream that come meanwhile may
// begin a new absence, which that Start ends too.
TEST_F(ReactionTest, AnAbsenceBegunWhileANewStreamStartsIsEndedByIt) {
  for (int recording : {0, 1}) {
    SCOPED_TRACE(recording);
    StartStream(recording, 2, 1);
    Decide(1);
    host->duringVersionQuery = [this] {
      host->duringVersionQuery = nullptr;
      EXPECT_EQ(Presence.reactionState, 0);
      Decide(1);  // the video thread: the logo is still gone
    };
    StreamFormat f = {};
    f.width = 320;
    f.height = 240;
    f.recording = recording;
    d->Start(&f);
    EXPECT_EQ(Presence.reactionState, 0);
    if (recording) {
      EXPECT_EQ(Take(), (Names{"Pause", "Resume", "Pause", "Resume"}));
    } else {
      EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 300", "SetVolume 500", "GetVolume",
                               "SetVolume 300", "SetVolume 500"}));
      EXPECT_EQ(host->volume, 500u);
    }
    d->Stop();
    EXPECT_EQ(Take(), Names{});
  }
}

TEST_F(ReactionTest, AHostThatGivesNoVolumeHasTheSoundLeftAlone) {
  StartStream(0, 3, 0);
  host->answersVolume = false;
  Decide(1);
  Decide(0);
  EXPECT_EQ(Take(), (Names{"GetVolume"})) << "nothing lowered, so nothing restored";
  EXPECT_EQ(host->volume, 500u);
  host->answersVolume = true;
  Decide(1);
  EXPECT_EQ(Take(), (Names{"GetVolume", "SetVolume 200"}));
  d->Stop();
  EXPECT_EQ(Take(), (Names{"SetVolume 500"}));
}

}  // namespace
}  // namespace zunk
