// The core's logo finder behind the capture, fed as the capture thread feeds it, a frame each
// half second: logos opaque and see-through found in place before the minute is up, the
// bundled sample's still camera, a bound that holds with the frame store at every frame
// size, and each reason a capture finds nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/core_finder.h"
#include "capture/frame_slots.h"
#include "learn/learn_sample.h"
#include "learn/logo_finder.h"
#include "learn/synthetic_logo.h"

namespace zunk {
namespace {

using testing_util::LogoArt;
using testing_util::LogoKind;
using testing_util::MakeFrame;
using testing_util::MakeLogo;
using testing_util::Scene;
using testing_util::Shot;

const std::string kSample = ZUNK_SOURCE_DIR "/data/sample/sample.mp4";

// Every 13th frame (the frame a capture copies each half second at 25 frames a second) of
// frames [first, last] of the sample, decoded by ffmpeg to packed YUV 4:2:2.
std::vector<std::vector<uint8_t>> SampleFrames(int first, int last) {
  const size_t bytes = size_t{768} * 576 * 2;
  const std::string command =
      "ffmpeg -nostdin -v error -i " + kSample + " -vf \"select=between(n\\," +
      std::to_string(first) + "\\," + std::to_string(last) +
      ")*not(mod(n\\,13))\" -fps_mode passthrough -f rawvideo -pix_fmt yuyv422 -";
  std::vector<std::vector<uint8_t>> frames;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return frames;
  std::vector<uint8_t> frame(bytes);
  while (std::fread(frame.data(), 1, bytes, pipe) == bytes)
    frames.push_back(frame);
  pclose(pipe);
  return frames;
}

struct Outcome {
  bool found = false;
  CapturedLogo logo;
  CaptureFailure why = CaptureFailure::kNone;
  int framesToSure = 0;  // 0: never sure
};

// The frames in order as the capture thread hands them over: Add, Candidate, Sure; Finish
// once sure or after the last.
Outcome Capture(const std::vector<std::vector<uint8_t>>& frames,
                int32_t width = 768,
                int32_t height = 576,
                int32_t format = 0) {
  Outcome o;
  CaptureStream stream;
  stream.width = width;
  stream.height = height;
  stream.format = format;
  const CaptureFinder& f = kCoreLogoFinder;
  void* search = f.Begin(stream);
  EXPECT_NE(search, nullptr);
  if (!search)
    return o;
  for (size_t i = 0; i < frames.size(); ++i) {
    f.Add(search, WholeFrame({frames[i].data(), width, height, format}));
    CapturedLogo candidate;
    f.Candidate(search, &candidate);
    if (f.Sure(search)) {
      o.framesToSure = static_cast<int>(i + 1);
      break;
    }
  }
  o.found = f.Finish(search, &o.logo, &o.why);
  f.End(search);
  return o;
}

TEST(CoreFinder, ItsSamplesAndTheFrameStoreFitSixteenMegabytesAtEveryFrameSize) {
  struct {
    int32_t w, h, format;
  } sizes[] = {{768, 576, 0},   {720, 576, 1},   {1280, 720, 0}, {1920, 1080, 0},
               {1920, 1080, 1}, {2048, 1536, 0}, {352, 288, 1},  {2, 2, 0}};
  for (const auto& s : sizes) {
    const int32_t capacity = CoreFinderCapacity(s.w, s.h, s.format);
    EXPECT_LE(
        FrameStoreBytes(s.w, s.h, s.format) + size_t(capacity) * kSampleBytes + kFinderWorkBytes,
        kCaptureBytes)
        << s.w << "x" << s.h << " format " << s.format;
    EXPECT_GE(capacity, kMinSamples) << s.w << "x" << s.h << " format " << s.format;
  }
  EXPECT_EQ(CoreFinderCapacity(2560, 1440, 1), 0) << "a frame the store cannot take";
  CaptureStream tooLarge;
  tooLarge.width = 2560;
  tooLarge.height = 1440;
  tooLarge.format = 1;
  EXPECT_EQ(kCoreLogoFinder.Begin(tooLarge), nullptr);
}

// The drawn part of a logo's picture placed at (x, y): its rectangle in reference pixels.
struct Box {
  int32_t x = 0, y = 0, w = 0, h = 0;
};
Box DrawnBox(const LogoArt& logo, int32_t x, int32_t y) {
  int32_t x0 = logo.w, y0 = logo.h, x1 = -1, y1 = -1;
  for (int32_t j = 0; j < logo.h; ++j)
    for (int32_t i = 0; i < logo.w; ++i)
      if (logo.Alpha(i, j)) {
        x0 = std::min(x0, i);
        y0 = std::min(y0, j);
        x1 = std::max(x1, i);
        y1 = std::max(y1, j);
      }
  return {x + x0, y + y0, x1 - x0 + 1, y1 - y0 + 1};
}

struct Case {
  const char* name;
  LogoKind kind;
  int32_t width;
  uint32_t colour;
  uint8_t alpha;
  int32_t corner;
  int32_t frameW, frameH, format;
};

class CoreFinderFinds : public ::testing::TestWithParam<Case> {};

// A programme a minute long at most, one frame each half second: the logo found within 2
// reference pixels of its place, the finder sure before the minute is up, and the levels
// chosen.
TEST_P(CoreFinderFinds, TheLogoInPlaceAndIsSureWithinTheMinute) {
  const Case& c = GetParam();
  const LogoArt logo = MakeLogo(c.kind, c.width, c.colour, c.alpha);
  Scene scene;
  scene.width = c.frameW;
  scene.height = c.frameH;
  scene.format = c.format;
  scene.logo = &logo;
  testing_util::PlaceInCorner(logo, c.corner, &scene.logoX, &scene.logoY);
  std::vector<std::vector<uint8_t>> frames;
  for (int32_t n = 0; n < 120; ++n)
    frames.push_back(MakeFrame(scene, Shot::kProgramme, n));
  const Outcome o = Capture(frames, c.frameW, c.frameH, c.format);
  ASSERT_TRUE(o.found) << static_cast<int>(o.why);
  EXPECT_GT(o.framesToSure, 0) << "sure before the minute is up";
  const Box truth = DrawnBox(logo, scene.logoX, scene.logoY);
  EXPECT_NEAR(o.logo.x, truth.x, 2);
  EXPECT_NEAR(o.logo.y, truth.y, 2);
  EXPECT_NEAR(o.logo.width, truth.w, 4);
  EXPECT_NEAR(o.logo.height, truth.h, 4);
  ASSERT_EQ(o.logo.pixels.size(), size_t(o.logo.width) * o.logo.height);
  // Levels inside their ranges, or -1: the channel keeps its own.
  EXPECT_TRUE(o.logo.matchLevel == -1 || (o.logo.matchLevel >= 1 && o.logo.matchLevel <= 100));
  EXPECT_TRUE(o.logo.detectLevel == -1 || (o.logo.detectLevel >= 1 && o.logo.detectLevel <= 100));
  EXPECT_TRUE(o.logo.posTolerance == -1 || (o.logo.posTolerance >= 0 && o.logo.posTolerance <= 30));
  std::printf("%s: sure after %d frames, %dx%d at (%d, %d), levels %d %d %d\n", c.name,
              o.framesToSure, o.logo.width, o.logo.height, o.logo.x, o.logo.y, o.logo.matchLevel,
              o.logo.detectLevel, o.logo.posTolerance);
}

const Case kCases[] = {
    {"OpaqueBadge", LogoKind::kBadge, 72, 0x2040C0, 255, 1, 768, 576, 0},
    {"SeeThrough45", LogoKind::kLetters, 90, 0xFFFFFF, 115, 2, 768, 576, 0},
    {"FullHdBgr", LogoKind::kBadge, 80, 0xF0F0F0, 255, 0, 1920, 1080, 1},
};

INSTANTIATE_TEST_SUITE_P(Kinds,
                         CoreFinderFinds,
                         ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) {
                           return std::string(i.param.name);
                         });

// The preview shows the logo as it forms: from the third second a candidate around the logo,
// closing in on it every few samples, and on it within 2 pixels well before the finder is
// sure.
TEST(CoreFinder, ThePreviewShowsTheLogoFormingBeforeTheFinderIsSure) {
  const LogoArt logo = MakeLogo(LogoKind::kBadge, 72, 0x2040C0, 255);
  Scene scene;
  scene.logo = &logo;
  testing_util::PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);
  const Box truth = DrawnBox(logo, scene.logoX, scene.logoY);
  CaptureStream stream;
  stream.width = 768;
  stream.height = 576;
  const CaptureFinder& f = kCoreLogoFinder;
  void* search = f.Begin(stream);
  ASSERT_NE(search, nullptr);
  int first = 0, onIt = 0, sure = 0;
  for (int n = 1; n <= 120 && !sure; ++n) {
    const std::vector<uint8_t> frame = MakeFrame(scene, Shot::kProgramme, n);
    f.Add(search, WholeFrame({frame.data(), 768, 576, 0}));
    CapturedLogo c;
    if (f.Candidate(search, &c)) {
      EXPECT_EQ(c.pixels.size(), size_t(c.width) * c.height);
      EXPECT_TRUE(c.x <= truth.x + 2 && c.y <= truth.y + 2 &&
                  c.x + c.width >= truth.x + truth.w - 2 && c.y + c.height >= truth.y + truth.h - 2)
          << "frame " << n << ": " << c.width << "x" << c.height << " at " << c.x << ", " << c.y
          << " holds the logo";
      if (!first)
        first = n;
      if (!onIt && std::abs(c.x - truth.x) <= 2 && std::abs(c.y - truth.y) <= 2 &&
          std::abs(c.width - truth.w) <= 4 && std::abs(c.height - truth.h) <= 4)
        onIt = n;
    }
    if (f.Sure(search))
      sure = n;
  }
  f.End(search);
  ASSERT_GT(sure, 0);
  EXPECT_GT(first, 0);
  EXPECT_LE(first, 8) << "within the first four seconds";
  EXPECT_GT(onIt, 0);
  EXPECT_LE(onIt + 5, sure) << "on the logo well before the finder is sure";
  std::printf("preview: first candidate at frame %d, on the logo at %d, sure at %d\n", first, onIt,
              sure);
}

// The bundled sample's programme comes from a camera that never moves: around its logo the
// picture stays as still as the logo does (72 x 44 at 656, 32), and below it a wall so bright
// that it clips, as steady as the logo. The capture takes the whole logo within 2 pixels on
// every side and not the wall, or says the picture is too still.
TEST(CoreFinder, OnTheSamplesStillCameraTakesTheWholeLogoAndLittleElse) {
  const std::vector<std::vector<uint8_t>> frames = SampleFrames(0, 999);
  ASSERT_GE(frames.size(), 75u);
  const Outcome o = Capture(frames);
  if (o.found) {
    EXPECT_NEAR(o.logo.x, 656, 2);
    EXPECT_NEAR(o.logo.y, 32, 2);
    EXPECT_NEAR(o.logo.x + o.logo.width, 656 + 72, 2);
    EXPECT_NEAR(o.logo.y + o.logo.height, 32 + 44, 2);
    std::printf("sample: %dx%d at (%d, %d)\n", o.logo.width, o.logo.height, o.logo.x, o.logo.y);
  } else {
    EXPECT_EQ(o.why, CaptureFailure::kStillPicture);
  }
}

TEST(CoreFinder, EachCaptureThatFindsNothingSaysWhy) {
  Scene scene;
  std::vector<std::vector<uint8_t>> frames;
  // Black: no sample is kept, and that is no logo, not too few frames.
  for (int i = 0; i < 8; ++i)
    frames.push_back(MakeFrame(scene, Shot::kBlack, i));
  Outcome o = Capture(frames);
  EXPECT_FALSE(o.found);
  EXPECT_EQ(o.why, CaptureFailure::kNoSteadyLogo);

  // The viewer stopped it after a few frames of programme.
  frames.clear();
  for (int i = 0; i < 5; ++i)
    frames.push_back(MakeFrame(scene, Shot::kProgramme, i));
  o = Capture(frames);
  EXPECT_FALSE(o.found);
  EXPECT_EQ(o.why, CaptureFailure::kTooFewFrames);

  // A still picture: the same frame all along.
  frames.assign(30, MakeFrame(scene, Shot::kProgramme, 0));
  o = Capture(frames);
  EXPECT_FALSE(o.found);
  EXPECT_EQ(o.why, CaptureFailure::kStillPicture);

  // Adverts: nothing stays in a corner.
  frames.clear();
  for (int i = 0; i < 40; ++i)
    frames.push_back(MakeFrame(scene, Shot::kAdvert, i));
  o = Capture(frames);
  EXPECT_FALSE(o.found);
  EXPECT_EQ(o.why, CaptureFailure::kNoSteadyLogo);
}

}  // namespace
}  // namespace zunk
