// The live capture with a scripted finder and a video thread of the test's own, on a clock
// that runs 10 times as fast: the store's bound, the stop rules (sure, the time limit, the
// viewer's stop), every way a capture ends early, and the buffers freed at its end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "capture/capture_session.h"
#include "capture/capture_shared.h"
#include "capture/core_finder.h"
#include "capture/frame_slots.h"
#include "learn/learn_sample.h"
#include "platform/platform.h"

namespace zunk {
namespace {

TEST(FrameSlots, HoldOneFramesCornerBandsAndHandFramesOverInOrder) {
  FrameSlots s;
  ASSERT_TRUE(MakeFrameSlots(&s, 768, 576, 0));
  EXPECT_EQ(s.count, kMaxFrameSlots);
  EXPECT_EQ(s.frameBytes, size_t{768} * 576 * 2);
  EXPECT_EQ(s.slotBytes, size_t{768} * 2 * 320) << "the 160 rows of each band, no more";
  EXPECT_EQ(FrameStoreBytes(768, 576, 0), s.slotBytes * kMaxFrameSlots);
  ASSERT_TRUE(MakeFrameSlots(&s, 1920, 1080, 1));
  EXPECT_EQ(s.slotBytes, size_t{1920} * 3 * 600) << "2 x 300 of 1080 rows";
  EXPECT_LE(FrameStoreBytes(1920, 1080, 1), kFrameStoreBytes);
  EXPECT_FALSE(MakeFrameSlots(&s, 4096, 2160, 1)) << "bands past a quarter of the bound";
  EXPECT_EQ(s.count, 0);
  EXPECT_EQ(s.width, 0) << "no size is left behind for the video thread to compare with";
  EXPECT_EQ(FrameStoreBytes(4096, 2160, 1), 0u);
  EXPECT_FALSE(MakeFrameSlots(&s, 0, 576, 0));
  EXPECT_FALSE(MakeFrameSlots(&s, 768, 576, 2));

  ASSERT_TRUE(MakeFrameSlots(&s, 4, 2, 0));
  std::vector<uint8_t> frame(16);
  EXPECT_EQ(TakeFrameSlot(&s), nullptr) << "nothing copied yet";
  frame[0] = 1;
  EXPECT_TRUE(FillFrameSlot(&s, frame.data()));
  frame[0] = 2;
  EXPECT_FALSE(FillFrameSlot(&s, frame.data())) << "the slot full: the frame is skipped";
  const uint8_t* taken = TakeFrameSlot(&s);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken[0], 1);
  EXPECT_FALSE(FillFrameSlot(&s, frame.data())) << "taken is not given back";
  GiveBackFrameSlot(&s);
  EXPECT_EQ(TakeFrameSlot(&s), nullptr);
  EXPECT_TRUE(FillFrameSlot(&s, frame.data()));
  taken = TakeFrameSlot(&s);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken[0], 2);
  GiveBackFrameSlot(&s);
  EXPECT_EQ(TakeFrameSlot(&s), nullptr);
  FreeFrameSlots(&s);
  EXPECT_EQ(s.count, 0);
  EXPECT_EQ(s.slot[0].pixels, nullptr);
}

// The store keeps only the bands of rows that hold the corner areas the logo finder reads:
// a sample made from a slot is the sample the whole frame gives, at every frame size and in
// both pixel formats; bands that miss a row the sample needs give no sample.
TEST(FrameSlots, CopyWhatTheFinderReadsAndNoMore) {
  struct {
    int32_t w, h, format;
  } sizes[] = {{768, 576, 0}, {768, 576, 1}, {720, 576, 0}, {1920, 1080, 1}, {1280, 720, 0},
               {352, 288, 1}, {721, 577, 0}, {333, 101, 1}, {64, 48, 0},     {2, 2, 0}};
  for (const auto& size : sizes) {
    const size_t bytes = FrameBytes(size.w, size.h, size.format);
    std::vector<uint8_t> frame(bytes);
    uint32_t seed = static_cast<uint32_t>(size.w * 31 + size.h);
    for (uint8_t& b : frame) {
      seed = seed * 1664525u + 1013904223u;
      b = static_cast<uint8_t>(seed >> 24);
    }
    FrameSlots s;
    ASSERT_TRUE(MakeFrameSlots(&s, size.w, size.h, size.format));
    ASSERT_TRUE(FillFrameSlot(&s, frame.data()));
    const uint8_t* copy = TakeFrameSlot(&s);
    ASSERT_NE(copy, nullptr);
    LearnSample whole, fromSlot, fromWhole;
    const FrameView view = {frame.data(), size.w, size.h, size.format};
    ASSERT_TRUE(MakeLearnSample(view, 0, &whole));
    const FrameBands bands = SlotBands(s, copy);
    ASSERT_TRUE(MakeLearnSampleFromBands(bands, 0, &fromSlot));
    EXPECT_EQ(whole.planes, fromSlot.planes)
        << size.w << "x" << size.h << " format " << size.format;
    EXPECT_EQ(whole.meanLuma, fromSlot.meanLuma);
    EXPECT_EQ(whole.lumaSpread, fromSlot.lumaSpread);
    ASSERT_TRUE(MakeLearnSampleFromBands(WholeFrame(view), 0, &fromWhole));
    EXPECT_EQ(whole.planes, fromWhole.planes);
    if (size.w >= 720) {
      EXPECT_LT(s.slotBytes * 100, bytes * 60)
          << size.w << "x" << size.h << " format " << size.format;
    }
    // A band one row short at either end gives no sample.
    for (int b = 0; b < 2; ++b) {
      if (bands.band[b].last == bands.band[b].first)
        continue;
      FrameBands shorter = bands;
      ++shorter.band[b].first;
      shorter.band[b].pixels += bytes / size.h;
      LearnSample none;
      EXPECT_FALSE(MakeLearnSampleFromBands(shorter, 0, &none)) << size.w << "x" << size.h;
      shorter = bands;
      --shorter.band[b].last;
      EXPECT_FALSE(MakeLearnSampleFromBands(shorter, 0, &none)) << size.w << "x" << size.h;
      EXPECT_TRUE(none.planes.empty()) << "untouched";
    }
    FreeFrameSlots(&s);
  }
}

// The finder the test scripts: sure after `sureAfter` frames (0: never), its answer on
// Finish, and a count of every call.
struct Script {
  int sureAfter = 0;
  int addMs = 0;  // each frame takes the finder this long
  bool finds = true;
  CaptureFailure why = CaptureFailure::kNone;
  std::atomic<int> begun{0}, ended{0}, added{0}, finished{0};
  std::atomic<int> width{0}, height{0};
};
Script* script = nullptr;

struct Search {
  int frames = 0;
};

const CaptureFinder kScripted = {
    [](const CaptureStream& stream) -> void* {
      ++script->begun;
      script->width = stream.width;
      script->height = stream.height;
      return new Search;
    },
    [](void* s, const FrameBands&) {
      if (script->addMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(script->addMs));
      ++static_cast<Search*>(s)->frames;
      ++script->added;
    },
    [](void* s, CapturedLogo* out) {
      out->x = static_cast<Search*>(s)->frames;
      return true;
    },
    [](void* s) {
      return script->sureAfter > 0 && static_cast<Search*>(s)->frames >= script->sureAfter;
    },
    [](void* s, CapturedLogo* out, CaptureFailure* why) {
      ++script->finished;
      *why = script->why;
      out->x = 700;
      out->y = static_cast<Search*>(s)->frames;
      out->width = 2;
      out->height = 1;
      out->pixels = {1, 2};
      return script->finds;
    },
    [](void* s) {
      ++script->ended;
      delete static_cast<Search*>(s);
    },
};

// The real services with a clock 10 times as fast: 60 s pass in 6 s, and a loaded machine
// still delivers the first frame well within the 5 s (0.5 s) without frames.
uint64_t FastClock() {
  return NativePlatform().MonotonicMs() * 10;
}

class LiveCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    fast_ = NativePlatform();
    fast_.MonotonicMs = FastClock;
    SetPlatformForTest(&fast_);
    script = &script_;
    SetCaptureFinder(&kScripted);
  }
  void TearDown() override {
    StopVideo();
    EndCapture();
    SetCaptureFinder(&kCoreLogoFinder);
    SetPlatformForTest(nullptr);
    script = nullptr;
  }

  // Frames of channel `key` every 2 ms, under the module lock as the frame path runs. The
  // frames hold 64 x 48 pixels at most: a larger size is one the store cannot take, so its
  // pixels are never read.
  void StartVideo(int64_t key, int32_t w = 64, int32_t h = 48) {
    key_ = key;
    width_ = w;
    height_ = h;
    video_ = std::thread([this] {
      std::vector<uint8_t> frame(FrameBytes(64, 48, 0));
      while (running_) {
        {
          LockScope lock;
          FeedCaptureFrame(frame.data(), key_, width_, height_, 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    });
  }
  void StopVideo() {
    running_ = false;
    if (video_.joinable())
      video_.join();
  }
  static CaptureStart Channel(int64_t key, int32_t w = 64, int32_t h = 48) {
    CaptureStart s;
    s.channelKey = key;
    s.channelKnown = true;
    s.width = w;
    s.height = h;
    return s;
  }
  static CaptureProgress WaitForAnswer() {
    for (int i = 0; i < 4000; ++i) {
      const CaptureProgress p = ReadCaptureProgress();
      if (p.state != CaptureState::kRunning)
        return p;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ReadCaptureProgress();
  }

  Platform fast_;
  Script script_;
  std::thread video_;
  std::atomic<bool> running_{true};
  std::atomic<int64_t> key_{0};
  std::atomic<int32_t> width_{0}, height_{0};
};

TEST_F(LiveCapture, StopsWhenTheFinderIsSureAndGivesItsLogo) {
  script_.sureAfter = 6;
  StartVideo(5);
  ASSERT_TRUE(StartCapture(Channel(5)));
  EXPECT_FALSE(StartCapture(Channel(5))) << "one capture at a time";
  const CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound);
  EXPECT_EQ(p.frames, 6);
  EXPECT_EQ(p.failure, CaptureFailure::kNone);
  CapturedLogo logo;
  ASSERT_TRUE(TakeCapturedLogo(&logo));
  EXPECT_EQ(logo.x, 700);
  EXPECT_EQ(logo.y, 6);
  EXPECT_EQ(logo.pixels.size(), 2u);
  CapturedLogo candidate;
  EXPECT_TRUE(TakeCaptureCandidate(&candidate));
  EXPECT_GE(candidate.x, 1);
  EXPECT_FALSE(TakeCaptureCandidate(&candidate)) << "each candidate is taken once";
  EXPECT_EQ(script_.begun, 1);
  EXPECT_EQ(script_.ended, 1);

  EndCapture();
  EXPECT_EQ(ReadCaptureProgress().state, CaptureState::kIdle);
  EXPECT_FALSE(TakeCapturedLogo(&logo));
  EXPECT_EQ(Capture.slots.count, 0) << "the store is freed";
  const int added = script_.added;
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(script_.added, added) << "no frame is read after the end";
}

TEST_F(LiveCapture, TheTimeLimitAndTheViewersStopAskForTheAnswerSoFar) {
  script_.finds = false;
  script_.why = CaptureFailure::kStillPicture;
  StartVideo(5);
  ASSERT_TRUE(StartCapture(Channel(5)));
  CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFailed);
  EXPECT_EQ(p.failure, CaptureFailure::kStillPicture);
  // 60 s at one frame each half second at most; a loaded machine delivers fewer.
  EXPECT_GE(p.frames, 10);
  EXPECT_LE(p.frames, 121);
  EndCapture();

  script_.finds = true;
  ASSERT_TRUE(StartCapture(Channel(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  StopCapture();
  p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound);
  EXPECT_LT(p.frames, 100) << "stopped well before the limit";
  EXPECT_EQ(script_.finished, 2);
}

// A finder slower than the frames come always has a frame waiting: the viewer's stop and
// the time limit still end the capture.
TEST_F(LiveCapture, ASlowFinderStillStopsWhenAskedAndAtTheTimeLimit) {
  script_.addMs = 120;  // 1.2 s on the capture's clock, the frames come each 0.5 s
  StartVideo(5);
  ASSERT_TRUE(StartCapture(Channel(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  StopCapture();
  const auto asked = std::chrono::steady_clock::now();
  CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound);
  // Reaching the limit instead would take about 50 of the finder's steps (6 s here); the stop
  // ends it after the step under way, whatever the load of the machine.
  EXPECT_LE(p.frames, 10) << "the stop waited for the minute's limit";
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(5000));
  EndCapture();

  ASSERT_TRUE(StartCapture(Channel(5)));
  p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound) << "ended by the minute's limit";
  EXPECT_GE(p.frames, 10);
  EXPECT_LE(p.frames, 60);
}

TEST_F(LiveCapture, AChangeOfChannelStopsItWithoutAnAnswer) {
  StartVideo(5);
  ASSERT_TRUE(StartCapture(Channel(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  key_ = 6;
  const CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kChannelChanged);
  CapturedLogo logo;
  EXPECT_FALSE(TakeCapturedLogo(&logo));
  EXPECT_EQ(script_.finished, 0) << "frames of two channels are never mixed into an answer";
  EXPECT_EQ(script_.begun, script_.ended);
}

TEST_F(LiveCapture, AChangeOfFrameSizeStartsItOver) {
  script_.sureAfter = 20;
  StartVideo(5);
  ASSERT_TRUE(StartCapture(Channel(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  width_ = 32;
  height_ = 24;
  const CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound);
  EXPECT_EQ(p.restarts, 1);
  EXPECT_EQ(script_.width, 32);
  EXPECT_EQ(script_.height, 24);
  EXPECT_EQ(script_.begun, 2);
  EXPECT_EQ(script_.ended, 2);
  EXPECT_EQ(p.frames, 20) << "only frames of the new size count";
}

TEST_F(LiveCapture, BeforeTheFirstFrameItWaitsForTheStreamAndItsChannel) {
  script_.sureAfter = 3;
  StartVideo(9);
  ASSERT_TRUE(StartCapture(CaptureStart{}));
  const CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFound);
  EXPECT_EQ(p.restarts, 0);
  EXPECT_EQ(Capture.channelKey.load(), 9);
}

TEST_F(LiveCapture, NoFramesAndFramesTooLargeFailWithTheirReasons) {
  ASSERT_TRUE(StartCapture(Channel(5)));
  CaptureProgress p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFailed);
  EXPECT_EQ(p.failure, CaptureFailure::kNoFrames);
  EXPECT_EQ(script_.finished, 0);
  EndCapture();

  // 8192 x 8192 in YUV 4:2:2 takes 128 MB: not even one frame fits the store.
  StartVideo(5, 8192, 8192);
  ASSERT_TRUE(StartCapture(Channel(5)));
  p = WaitForAnswer();
  EXPECT_EQ(p.state, CaptureState::kFailed);
  EXPECT_EQ(p.failure, CaptureFailure::kFrameTooLarge);
  EXPECT_EQ(script_.finished, 0);
}

TEST_F(LiveCapture, EndingItMidwayEndsTheThreadAndWritesNothing) {
  StartVideo(5);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(StartCapture(Channel(5)));
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * i));
    EndCapture();
    EXPECT_EQ(ReadCaptureProgress().state, CaptureState::kIdle);
    EXPECT_EQ(Capture.slots.count, 0);
    EXPECT_EQ(Capture.thread.load(), 0u);
  }
  EXPECT_EQ(script_.finished, 0);
  EXPECT_EQ(script_.begun, script_.ended);
}

TEST(LiveCaptureWithoutFinder, DoesNotStart) {
  SetCaptureFinder(nullptr);
  EXPECT_FALSE(StartCapture(CaptureStart{}));
  EXPECT_EQ(ReadCaptureProgress().state, CaptureState::kIdle);
  SetCaptureFinder(&kCoreLogoFinder);
}

}  // namespace
}  // namespace zunk
