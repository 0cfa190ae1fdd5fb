// The synthetic stream of the detection tests.
#include "detect/detect_fixture.h"

#include <cstring>

#include "base/aligned_buffer.h"
#include "detect/template.h"
#include "host/host_records.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"

namespace zunk {
namespace testing_util {

namespace {

Platform fake;
const GreyPicture* served = nullptr;

uint32_t* LoadBitmapFile(const char* path, int32_t maxW, int32_t maxH, int32_t* w, int32_t* h) {
  if (!served || std::string(path) != "logo.bmp" || served->w > maxW || served->h > maxH)
    return nullptr;
  uint32_t* p = static_cast<uint32_t*>(AllocAligned(served->grey.size() * 4));
  for (size_t i = 0; i < served->grey.size(); ++i)
    p[i] = served->grey[i] * 0x010101u;
  *w = served->w;
  *h = served->h;
  return p;
}

WindowHandle NoWindow(const char*, const char*) {
  return 0;
}

}  // namespace

GreyPicture StripedLogo(int32_t w, int32_t h) {
  GreyPicture p;
  p.w = w;
  p.h = h;
  p.grey.assign(static_cast<size_t>(w) * h, 0);
  for (int32_t y = 2; y < h - 2; ++y) {
    for (int32_t x = 2; x < w - 2; ++x) {
      // Stripes 1..4 pixels wide, alternating bright and mid grey.
      const int32_t band = (x * 7 + (x * x) % 5) / 9;
      p.grey[static_cast<size_t>(y) * w + x] = band % 2 ? 235 : 40 + (band * 13) % 60;
    }
  }
  return p;
}

void DetectStream::SetUp() {
  fake = NativePlatform();
  fake.LoadBitmapFile = LoadBitmapFile;
  fake.FindWindowByClass = NoWindow;
  SetPlatformForTest(&fake);
  served = &logo;
  Profiles.clear();
  ProfileSnapshot.clear();
  CurrentIndex = 0;
  std::memset(&channel, 0, sizeof channel);
  std::strcpy(channel.name, "Test");
}

void DetectStream::TearDown() {
  Stop();
  SetPlatformForTest(nullptr);
  served = nullptr;
  Profiles.clear();
}

ChannelProfile& DetectStream::AddChannel(int64_t key) {
  ChannelProfile p;
  p.ChannelKey = key;
  p.LogoFileName = "logo.bmp";
  p.LogoPosX = 600;
  p.LogoPosY = 40;
  p.LogoPosTolerance = 3;
  p.ColorKey = 0;
  p.ProcessingEnable = 1;
  p.LogoTransparency = 60;
  p.LogoOffResponseSpeed = 10;
  p.LogoOnResponseSpeed = 3;
  p.LogoDetectLevel = 80;
  p.LogoMatchLevel = 80;
  Profiles.push_back(p);
  return Profiles.back();
}

void DetectStream::StartStream(int32_t w, int32_t h, int32_t fmt, int32_t recording) {
  W = w;
  H = h;
  format = fmt;
  StreamFormat f = {};
  f.width = w;
  f.height = h;
  f.pixelFormat = fmt;
  f.recording = recording;
  Start(&f);
}

void DetectStream::Put(std::vector<uint8_t>* frame, int32_t x, int32_t y, uint8_t v) const {
  if (format == 1) {
    uint8_t* p = frame->data() + (static_cast<size_t>(H - 1 - y) * W + x) * 3;
    p[0] = p[1] = p[2] = v;
  } else {
    (*frame)[(static_cast<size_t>(y) * W + x) * 2] = v;
  }
}

uint8_t DetectStream::Get(const std::vector<uint8_t>& frame, int32_t x, int32_t y) const {
  if (format == 1)
    return frame[(static_cast<size_t>(H - 1 - y) * W + x) * 3];
  return frame[(static_cast<size_t>(y) * W + x) * 2];
}

std::vector<uint8_t> DetectStream::Frame(int32_t lx, int32_t ly, uint8_t background) const {
  std::vector<uint8_t> f(static_cast<size_t>(W) * H * (format == 1 ? 3 : 2), 128);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < H; ++y) {
    for (int32_t x = 0; x < W; ++x) {
      seed = seed * 1103515245u + 12345u;
      Put(&f, x, y, static_cast<uint8_t>(background + ((seed >> 16) % 9)));
    }
  }
  if (lx >= 0) {
    // The template at frame scale is the picture itself in a 768 x 576 frame.
    for (int32_t y = 0; y < logo.h; ++y)
      for (int32_t x = 0; x < logo.w; ++x)
        if (logo.At(x, y) != 0)
          Put(&f, lx + x, ly + y, logo.At(x, y));
  }
  return f;
}

int32_t DetectStream::Process(std::vector<uint8_t>* frame, int64_t key) {
  channel.keyLow = static_cast<uint32_t>(key);
  channel.keyHigh = static_cast<uint32_t>(static_cast<uint64_t>(key) >> 32);
  FrameInfo info = {};
  info.pixels = frame->data();
  info.channel = &channel;
  return ProcessFrame(&info);
}

void DetectStream::EnterChannel(int64_t key, int32_t x, int32_t y) {
  std::vector<uint8_t> f = Frame(x, y);
  ASSERT_EQ(Process(&f, key), 0);  // the change of channel
  for (int i = 0; i < 24; ++i) {
    f = Frame(x, y);
    ASSERT_EQ(Process(&f, key), 0);
  }
}

}  // namespace testing_util
}  // namespace zunk
