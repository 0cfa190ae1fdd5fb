// Matching on buffers of the caller's own: the same results as the frame path, frame by
// frame, while the frame path runs beside it on another thread with its own buffers.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "detect/detect_fixture.h"
#include "detect/matching.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream_template.h"
#include "plugin/lifecycle.h"

namespace zunk {
namespace testing_util {
namespace {

using OwnBuffersTest = DetectStream;

struct Scored {
  int32_t matchPercent, scoreContrast, logoFound;
  bool operator==(const Scored& o) const {
    return matchPercent == o.matchPercent && scoreContrast == o.scoreContrast &&
           logoFound == o.logoFound;
  }
};

TEST_F(OwnBuffersTest, MatchesAsTheFramePathDoesAlongsideIt) {
  for (int32_t fmt = 0; fmt < 2; ++fmt) {
    SCOPED_TRACE(fmt);
    logo = StripedLogo(60, 40);
    Profiles.clear();
    AddChannel(5);
    StartStream(768, 576, fmt);
    EnterChannel(5, 600, 40);
    // Frames with the logo in place, shifted within and beyond the search, and gone.
    std::vector<std::vector<uint8_t>> frames;
    const int32_t x = 600;
    const int32_t shifts[] = {0, 1, -2, 3, 6, -9, 20, 100};
    for (int32_t s : shifts)
      for (uint8_t bg = 60; bg <= 180; bg += 60)
        frames.push_back(Frame(s == 100 ? -1 : x + s, 40, bg));

    // The frame path's results, and the same frames matched on buffers of this test's own
    // at the same time on another thread.
    // The frame path keeps its profile's geometry as it goes: the other thread takes a copy
    // made before either starts.
    std::vector<Scored> framePath, own(frames.size());
    const ChannelProfile profile = Profiles[0];
    std::thread other([&] {
      TemplateBuffers mine = {};
      ASSERT_TRUE(PrepareTemplateBuffers(&mine, TemplatePicture, 768, 576, 30, 0));
      ChannelProfile p = profile;
      std::vector<uint8_t> scores(30 * 32 + 16);
      for (size_t i = 0; i < frames.size(); ++i) {
        const MatchGeometry g =
            ComputeMatchGeometry(&p, 60, 40, mine.TemplateWidth, mine.TemplateHeight, 768, 576, 30);
        const FrameView view = {frames[i].data(), 768, 576, fmt};
        const MatchResult m = MatchFrame(&mine, view, g, p.ColorKey, scores.data());
        own[i] = {m.matchPercent, m.scoreContrast, m.logoFound};
      }
      FreeTemplateBuffers(&mine);
      EXPECT_EQ(mine.SearchWindow, nullptr);
    });
    for (std::vector<uint8_t> f : frames) {
      ASSERT_EQ(Process(&f, 5), 1);
      framePath.push_back(
          {LastFrameTrace.matchPercent, LastFrameTrace.scoreContrast, LastFrameTrace.logoFound});
    }
    other.join();
    for (size_t i = 0; i < frames.size(); ++i)
      EXPECT_TRUE(own[i] == framePath[i])
          << "frame " << i << ": " << own[i].matchPercent << " " << own[i].scoreContrast << " "
          << own[i].logoFound << " against " << framePath[i].matchPercent << " "
          << framePath[i].scoreContrast << " " << framePath[i].logoFound;
    // The logo in place matches fully and is found; moved 20 pixels it is not.
    EXPECT_EQ(framePath[0].matchPercent, 100);
    EXPECT_EQ(framePath[0].logoFound, 1);
    EXPECT_EQ(framePath[18].logoFound, 0);
    Stop();
  }
}

TEST_F(OwnBuffersTest, TemplatesThatCannotBeMatchedAreRefused) {
  TemplateBuffers b = {};
  std::vector<uint32_t> pixels(800 * 40, 0x404040);
  // Vanishes at this scale; wider than the frame; no picture at all.
  EXPECT_FALSE(PrepareTemplateBuffers(&b, {pixels.data(), 3, 3}, 100, 80, 4, 0));
  EXPECT_FALSE(PrepareTemplateBuffers(&b, {pixels.data(), 800, 40}, 768, 576, 30, 0));
  EXPECT_FALSE(PrepareTemplateBuffers(&b, {nullptr, 60, 40}, 768, 576, 30, 0));
  EXPECT_EQ(b.Prepared, 0);
  EXPECT_TRUE(PrepareTemplateBuffers(&b, {pixels.data(), 60, 40}, 1920, 1080, 75, 0));
  EXPECT_EQ(b.TemplateWidth, 150);
  EXPECT_EQ(b.TemplateHeight, 75);
  FreeTemplateBuffers(&b);
  EXPECT_EQ(b.Prepared, 0);
  EXPECT_EQ(b.TemplateImage, nullptr);
}

}  // namespace
}  // namespace testing_util
}  // namespace zunk
