// The on-screen message in this build's surface: fade levels, the background, the key, the
// share of the picture at another frame size, colours with a high byte, and the redraw and
// rectangle savings against drawing and blending the whole layer on every frame.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kernels/kernels.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "platform/platform.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/setting_table.h"

namespace zunk {
namespace {

using Frame = std::vector<uint8_t>;

size_t FrameBytes(int w, int h, int format) {
  return static_cast<size_t>(w) * h * (format == 1 ? 3 : 2);
}

Frame RandomFrame(int w, int h, int format, uint32_t seed) {
  std::mt19937 gen(seed);
  Frame f(FrameBytes(w, h, format));
  for (uint8_t& b : f)
    b = static_cast<uint8_t>(gen());
  return f;
}

// out = d + floor((s - d) * w / 256), w = floor(level * 256 / 100).
uint8_t Mixed(int d, int s, int level) {
  const int w = level * 256 / 100;
  return static_cast<uint8_t>(d + (((s - d) * w) >> 8));
}

class MessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageSurface.surface = Os().SurfaceCreate();
    ASSERT_NE(MessageSurface.surface, nullptr);
    ChannelProfile p;
    p.MsgEnable = 1;
    p.MsgString = kDefaultMsgString;
    p.MsgTextColor = 0x00C000;
    p.MsgBackColor = 0x404040;
    p.MsgTransparency = 60;
    Profiles.assign(1, p);
    CurrentIndex = 0;
    Presence.messageFadeCounter = 0;
  }
  void TearDown() override {
    EndStream();
    Os().SurfaceDestroy(MessageSurface.surface);
    MessageSurface.surface = nullptr;
    Profiles.clear();
  }
  // As Start and Stop make and release the layer.
  void BeginStream(int w, int h, int format) {
    EndStream();
    FrameWidth = w;
    FrameHeight = h;
    PixelFormat = format;
    MessageSurface.pixels = Os().SurfaceBegin(MessageSurface.surface, w, h);
    ASSERT_NE(MessageSurface.pixels, nullptr);
  }
  void EndStream() {
    if (MessageSurface.pixels)
      Os().SurfaceEnd(MessageSurface.surface);
    MessageSurface.pixels = nullptr;
    ForgetMessageLayer();
  }
  ChannelProfile& P() { return Profiles[0]; }

  // Columns and rows of the pixels that differ between two format-1 frames.
  struct Box {
    int x0, y0, x1, y1, count;
  };
  static Box Changed(const Frame& a, const Frame& b, int w, int h) {
    Box box = {w, h, 0, 0, 0};
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const size_t i = (static_cast<size_t>(y) * w + x) * 3;
        if (std::memcmp(&a[i], &b[i], 3) != 0) {
          box.x0 = std::min(box.x0, x);
          box.x1 = std::max(box.x1, x + 1);
          box.y0 = std::min(box.y0, y);
          box.y1 = std::max(box.y1, y + 1);
          ++box.count;
        }
      }
    }
    return box;
  }
};

// The n-th message frame of an absence is blended at MsgTransparency * n / 25; an empty
// text over the background tints every pixel alike.
TEST_F(MessageTest, FadesInOverTwentyFiveFramesAndTintsTheWholeFrame) {
  const int w = 64, h = 48;
  BeginStream(w, h, 1);
  P().MsgString.clear();
  P().MsgBackEnable = 1;
  P().MsgBackColor = 0x0000FF;       // red
  Presence.messageFadeCounter = 25;  // the decision has just changed
  std::vector<int> levels;
  for (int n = 1; n <= 30; ++n) {
    Frame f(FrameBytes(w, h, 1), 0);
    if (Presence.messageFadeCounter > 0)
      --Presence.messageFadeCounter;
    DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
    const int level = 60 * std::min(n, 25) / 25;
    levels.push_back(level);
    for (size_t i = 0; i < f.size(); i += 3) {
      ASSERT_EQ(f[i], 0) << "frame " << n;
      ASSERT_EQ(f[i + 1], 0) << "frame " << n;
      ASSERT_EQ(f[i + 2], Mixed(0, 255, level)) << "frame " << n << " pixel " << i / 3;
    }
  }
  EXPECT_EQ(levels.front(), 2);
  EXPECT_EQ(levels[1], 4);
  EXPECT_EQ(levels[24], 60);
  EXPECT_EQ(levels.back(), 60);
}

TEST_F(MessageTest, LevelZeroLeavesTheFrameAlone) {
  for (int format : {0, 1}) {
    BeginStream(320, 240, format);
    for (int back : {0, 1}) {
      P().MsgBackEnable = back;
      P().MsgTransparency = 0;
      const Frame before = RandomFrame(320, 240, format, 7);
      Frame f = before;
      DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
      EXPECT_EQ(f, before) << "format " << format << " background " << back;
    }
  }
}

// A hand-edited file can hold any 32-bit MsgTransparency. Every fade frame then blends as the
// level the product names, taken into 0..100: a huge value fully from the first frame, a
// huge negative one not at all.
TEST_F(MessageTest, HugeTransparenciesFromTheFileBlendAtTheEndsOfTheRange) {
  const int w = 64, h = 48;
  BeginStream(w, h, 1);
  P().MsgBackEnable = 1;
  const Frame picture = RandomFrame(w, h, 1, 11);
  Frame full = picture;
  P().MsgTransparency = 100;
  Presence.messageFadeCounter = 0;
  DrawMessage({full.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
  ASSERT_NE(full, picture);
  for (int32_t transparency : {2147483647, 90000000, -2147483647 - 1, -90000000}) {
    P().MsgTransparency = transparency;
    for (int32_t counter = 24; counter >= 0; --counter) {
      Presence.messageFadeCounter = counter;
      Frame f = picture;
      DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
      ASSERT_EQ(f, transparency > 0 ? full : picture)
          << "MsgTransparency " << transparency << ", counter " << counter;
    }
  }
}

// With the background off the key is the background colour: a text of that colour leaves
// only its black shadow, and a black background keys the shadow out with it.
TEST_F(MessageTest, TheKeyLeavesOnlyShadowOrOnlyText) {
  const int w = 384, h = 288;
  BeginStream(w, h, 1);
  const Frame grey(FrameBytes(w, h, 1), 128);
  const uint8_t shadow = Mixed(128, 0, 60);
  const uint8_t green = Mixed(128, 0xC0, 60);

  P().MsgTextColor = P().MsgBackColor = 0x00C000;
  Frame f = grey;
  DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
  int changed = 0;
  for (size_t i = 0; i < f.size(); i += 3) {
    if (std::memcmp(&f[i], &grey[i], 3) == 0)
      continue;
    ++changed;
    ASSERT_EQ(f[i], shadow);
    ASSERT_EQ(f[i + 1], shadow);
    ASSERT_EQ(f[i + 2], shadow);
  }
  EXPECT_GT(changed, 500) << "the shadow shows";

  P().MsgBackColor = 0x000000;
  f = grey;
  DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
  changed = 0;
  for (size_t i = 0; i < f.size(); i += 3) {
    if (std::memcmp(&f[i], &grey[i], 3) == 0)
      continue;
    ++changed;
    ASSERT_EQ(f[i], shadow) << "blue of the green text";
    ASSERT_EQ(f[i + 1], green);
    ASSERT_EQ(f[i + 2], shadow) << "red of the green text";
  }
  EXPECT_GT(changed, 500) << "the text shows";
}

TEST_F(MessageTest, AHalfSizeFrameShowsTheTextAtTheSameShare) {
  Box boxes[2];
  const int sizes[2][2] = {{768, 576}, {384, 288}};
  for (int i = 0; i < 2; ++i) {
    const int w = sizes[i][0], h = sizes[i][1];
    BeginStream(w, h, 1);
    const Frame before(FrameBytes(w, h, 1), 128);
    Frame f = before;
    DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
    boxes[i] = Changed(before, f, w, h);
    ASSERT_GT(boxes[i].count, 0);
  }
  // Within 1 % of the picture: the glyphs are hinted to whole pixels at each size.
  const double tolerance = 0.01;
  EXPECT_NEAR(boxes[0].x0 / 768.0, boxes[1].x0 / 384.0, tolerance);
  EXPECT_NEAR(boxes[0].x1 / 768.0, boxes[1].x1 / 384.0, tolerance);
  EXPECT_NEAR(boxes[0].y0 / 576.0, boxes[1].y0 / 288.0, tolerance);
  EXPECT_NEAR(boxes[0].y1 / 576.0, boxes[1].y1 / 288.0, tolerance);
  // Centred, and of the size a 75-unit bold font gives the default text.
  EXPECT_NEAR((boxes[0].x0 + boxes[0].x1) / 2.0, 384, 12);
  EXPECT_NEAR((boxes[0].y0 + boxes[0].y1) / 2.0, 288, 12);
  EXPECT_GT(boxes[0].x1 - boxes[0].x0, 300);
  EXPECT_LT(boxes[0].x1 - boxes[0].x0, 420);
}

TEST_F(MessageTest, ATextWiderThanThePictureIsClippedAtBothSides) {
  const int w = 320, h = 240;
  BeginStream(w, h, 1);
  P().MsgString = std::string(40, 'W');
  const Frame before(FrameBytes(w, h, 1), 128);
  Frame f = before;
  DrawMessage({f.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
  const Box box = Changed(before, f, w, h);
  EXPECT_EQ(box.x0, 0);
  EXPECT_EQ(box.x1, w);
}

// A colour read as -1 has the high byte set: it draws, and keys, as its low 24 bits.
TEST_F(MessageTest, ColoursWithAHighByteDrawAsTheirLowBits) {
  const int w = 384, h = 288;
  for (int format : {0, 1}) {
    BeginStream(w, h, format);
    for (int back : {0, 1}) {
      P().MsgBackEnable = back;
      const Frame before = RandomFrame(w, h, format, 11);
      P().MsgBackColor = 0x00FFFFFF;
      P().MsgTextColor = 0x0000C000;
      Frame plain = before;
      DrawMessage({plain.data(), FrameWidth, FrameHeight, PixelFormat},
                  Presence.messageFadeCounter);
      P().MsgBackColor = 0xFFFFFFFF;
      P().MsgTextColor = 0x0100C000;
      Frame high = before;
      DrawMessage({high.data(), FrameWidth, FrameHeight, PixelFormat}, Presence.messageFadeCounter);
      EXPECT_EQ(high, plain) << "format " << format << " background " << back;
      if (format == 1 && !back) {
        const Box box = Changed(before, high, w, h);
        EXPECT_GT(box.count, 0);
        EXPECT_LT(box.count, w * h / 5) << "only the text and its shadow are blended";
      }
    }
  }
}

// The whole drawing of every frame: measure, fill, shadow, text into a layer of its own,
// and the reference blend of the whole layer.
class FullDraw {
 public:
  FullDraw() : surface_(Os().SurfaceCreate()) {}
  ~FullDraw() {
    if (pixels_)
      Os().SurfaceEnd(surface_);
    Os().SurfaceDestroy(surface_);
  }
  void Begin(int w, int h) {
    if (pixels_)
      Os().SurfaceEnd(surface_);
    pixels_ = Os().SurfaceBegin(surface_, w, h);
  }
  void Draw(const ChannelProfile& p, int counter, int format, int w, int h, uint8_t* frame) {
    const char* text = p.MsgString.data();
    const int32_t n = static_cast<int32_t>(p.MsgString.size());
    const uint32_t back = p.MsgBackColor & 0xFFFFFF;
    int32_t cx = 0, cy = 0;
    Os().SurfaceTextExtent(surface_, text, n, &cx, &cy);
    Os().SurfaceFill(surface_, back);
    const int32_t x = (768 - cx) / 2, y = (576 - cy) / 2, s = cy * 5 / 100;
    Os().SurfaceText(surface_, x + s, y + s, text, n, 0);
    Os().SurfaceText(surface_, x, y, text, n, p.MsgTextColor & 0xFFFFFF);
    const int32_t level = p.MsgTransparency * (25 - counter) / 25;
    auto blend = format == 0 ? ref::BlendBgrxToYuy2 : ref::BlendBgrxToRgb24;
    blend(reinterpret_cast<const uint8_t*>(pixels_), 0, 0, w, h, w, h, frame, 0, 0, w, h, level,
          back, p.MsgBackEnable == 0 ? 1 : 0);
  }

 private:
  Surface* surface_;
  uint32_t* pixels_ = nullptr;
};

TEST_F(MessageTest, RedrawingOnlyOnChangesAndBlendingOnlyTheTextGiveTheSameBytes) {
  const int sizes[][2] = {{720, 576}, {375, 211}, {202, 97}};
  for (int format : {0, 1}) {
    for (const auto& size : sizes) {
      const int w = size[0], h = size[1];
      SCOPED_TRACE("format " + std::to_string(format) + " " + std::to_string(w) + "x" +
                   std::to_string(h));
      FullDraw full;
      full.Begin(w, h);
      BeginStream(w, h, format);
      P() = Profiles[0];
      P().MsgBackEnable = 0;
      P().MsgString = kDefaultMsgString;
      P().MsgTextColor = 0x00C000;
      P().MsgBackColor = 0x404040;
      P().MsgTransparency = 60;
      Presence.messageFadeCounter = 25;
      for (int n = 0; n < 44; ++n) {
        switch (n) {
          case 8:
            P().MsgString = "Ad break: back soon";
            break;
          case 12:
            P().MsgTextColor = 0xFFFFFFFF;
            break;
          case 16:
            P().MsgBackColor = 0x00FFFFFF;
            break;  // the same colour as the text
          case 19:
            P().MsgBackColor = 0x000000;
            break;  // the shadow is keyed out
          case 22:
            P().MsgBackEnable = 1;
            break;
          case 26:
            P().MsgBackColor = 0x12345678;
            break;
          case 29:
            P().MsgBackEnable = 0;
            P().MsgString.clear();
            break;
          case 30:
            P().MsgBackEnable = 1;  // nothing but the background
            break;
          case 31:
            P().MsgString = "x";
            break;
          case 34:
            Presence.messageFadeCounter = 25;
            P().MsgTransparency = 100;
            break;
          case 38:
            BeginStream(w, h, format);
            break;  // a new stream of the same size
          case 41:
            P().MsgString = std::string(60, 'M');
            break;
        }
        if (Presence.messageFadeCounter > 0)
          --Presence.messageFadeCounter;
        const Frame before = RandomFrame(w, h, format, 100 + n);
        Frame fast = before, expected = before;
        DrawMessage({fast.data(), FrameWidth, FrameHeight, PixelFormat},
                    Presence.messageFadeCounter);
        full.Draw(P(), Presence.messageFadeCounter, format, w, h, expected.data());
        ASSERT_EQ(fast, expected) << "frame " << n;
      }
    }
  }
}

}  // namespace
}  // namespace zunk
