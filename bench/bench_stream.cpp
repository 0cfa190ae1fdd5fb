// The benchmarks' stream: the plug-in's own ProcessFrame over a frame with a striped logo.
#include "bench_stream.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/aligned_buffer.h"
#include "base/mul_div.h"
#include "host/host_records.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "settings/channel_profile.h"

namespace zunk {
namespace bench {
namespace {

constexpr int32_t kLogoY = 40;
// The reference logo of the current stream and its position.
int32_t refLogoW = 60, refLogoH = 40, refLogoX = 600;

uint8_t LogoGrey(int32_t x, int32_t y) {
  if (x < 2 || y < 2 || x >= refLogoW - 2 || y >= refLogoH - 2)
    return 0;  // the key
  const int32_t band = (x * 7 + (x * x) % 5) / 9;
  return band % 2 ? 235 : static_cast<uint8_t>(40 + (band * 13) % 60);
}

uint32_t* LoadLogo(const char*, int32_t, int32_t, int32_t* w, int32_t* h) {
  uint32_t* p = static_cast<uint32_t*>(AllocAligned(refLogoW * refLogoH * 4));
  for (int32_t y = 0; y < refLogoH; ++y)
    for (int32_t x = 0; x < refLogoW; ++x)
      p[y * refLogoW + x] = LogoGrey(x, y) * 0x010101u;
  *w = refLogoW;
  *h = refLogoH;
  return p;
}

WindowHandle NoWindow(const char*, const char*) {
  return 0;
}

Platform fake;

void Put(BenchStream* s, int32_t x, int32_t y, uint8_t v) {
  if (s->format == 1) {
    uint8_t* p = s->frame.data() + (static_cast<size_t>(s->height - 1 - y) * s->width + x) * 3;
    p[0] = p[1] = p[2] = v;
  } else {
    s->frame[(static_cast<size_t>(y) * s->width + x) * 2] = v;
  }
}

}  // namespace

void StartBenchStream(BenchStream* s,
                      int32_t width,
                      int32_t height,
                      int32_t format,
                      bool showLogo,
                      int32_t logoW,
                      int32_t logoH) {
  refLogoW = logoW;
  refLogoH = logoH;
  // 36 reference pixels on the right leave room for the full search at every frame size.
  refLogoX = std::min(600, 768 - 36 - logoW);
  fake = NativePlatform();
  fake.LoadBitmapFile = LoadLogo;
  fake.FindWindowByClass = NoWindow;
  SetPlatformForTest(&fake);

  Profiles.clear();
  ChannelProfile p;
  p.ChannelKey = 1001;
  p.LogoFileName = "logo.bmp";
  p.LogoPosX = refLogoX;
  p.LogoPosY = kLogoY;
  p.LogoPosTolerance = 3;
  p.ProcessingEnable = 1;
  p.ShowLogo = showLogo ? 1 : 0;
  p.LogoTransparency = 60;
  p.LogoOffResponseSpeed = 10;
  p.LogoOnResponseSpeed = 3;
  p.LogoDetectLevel = 80;
  p.LogoMatchLevel = 80;
  Profiles.push_back(p);

  s->width = width;
  s->height = height;
  s->format = format;
  s->frame.assign(static_cast<size_t>(width) * height * (format == 1 ? 3 : 2), 128);
  uint32_t seed = 1;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      Put(s, x, y, static_cast<uint8_t>(60 + (seed >> 16) % 120));
    }
  }
  // The logo as it appears at this frame size (nearest pixel of the reference logo).
  const int32_t lx = MulDiv(refLogoX, width, 768), ly = MulDiv(kLogoY, height, 576);
  const int32_t lw = MulDiv(refLogoW, width, 768), lh = MulDiv(refLogoH, height, 576);
  for (int32_t y = 0; y < lh; ++y) {
    for (int32_t x = 0; x < lw; ++x) {
      const uint8_t v = LogoGrey(x * refLogoW / lw, y * refLogoH / lh);
      if (v)
        Put(s, lx + x, ly + y, v);
    }
  }

  std::memset(&s->channel, 0, sizeof s->channel);
  s->channel.keyLow = 1001;
  s->info = {};
  s->info.pixels = s->frame.data();
  s->info.channel = &s->channel;

  StreamFormat f = {};
  f.width = width;
  f.height = height;
  f.pixelFormat = format;
  Start(&f);
  for (int i = 0; i < 25; ++i)
    ProcessFrame(&s->info);
}

void SetBenchStreamClock(uint64_t (*clock)()) {
  fake.MonotonicMs = clock;
  SetPlatformForTest(&fake);
}

void StopBenchStream() {
  Stop();
  SetPlatformForTest(nullptr);
  Profiles.clear();
}

}  // namespace bench
}  // namespace zunk
