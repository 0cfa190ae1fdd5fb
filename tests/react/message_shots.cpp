// Writes frames with the on-screen message as PPM pictures, to look at: both pixel
// formats, background off and on, at 768 x 576 and 384 x 288, over a colour gradient.
// scripts/message-pngs.sh runs it in both builds and turns the pictures into PNGs.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "platform/platform.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/setting_table.h"

namespace {

using namespace zunk;

uint8_t Clamp(int v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// The gradient as B, G, R rows, top first.
std::vector<uint8_t> Picture(int w, int h) {
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = Clamp(255 * x / w);
      p[1] = Clamp(255 * y / h);
      p[2] = Clamp(200 - 150 * x / w);
    }
  }
  return rgb;
}

// The picture in the stream's pixel format: packed 4:2:2 top-down, or B, G, R bottom-up.
std::vector<uint8_t> ToFrame(const std::vector<uint8_t>& bgr, int w, int h, int format) {
  if (format == 1) {
    std::vector<uint8_t> f(bgr.size());
    for (int y = 0; y < h; ++y)
      std::copy_n(&bgr[static_cast<size_t>(y) * w * 3], w * 3,
                  &f[static_cast<size_t>(h - 1 - y) * w * 3]);
    return f;
  }
  std::vector<uint8_t> f(static_cast<size_t>(w) * h * 2);
  for (size_t i = 0; i < static_cast<size_t>(w) * h; i += 2) {
    const uint8_t* p = &bgr[i * 3];
    const uint8_t* q = &bgr[i * 3 + 3];
    auto luma = [](const uint8_t* c) { return Clamp((29 * c[0] + 150 * c[1] + 77 * c[2]) >> 8); };
    int b = (p[0] + q[0]) / 2, g = (p[1] + q[1]) / 2, r = (p[2] + q[2]) / 2;
    f[i * 2] = luma(p);
    f[i * 2 + 1] = Clamp(((128 * b - 85 * g - 43 * r) >> 8) + 128);
    f[i * 2 + 2] = luma(q);
    f[i * 2 + 3] = Clamp(((-21 * b - 107 * g + 128 * r) >> 8) + 128);
  }
  return f;
}

bool WritePpm(const std::string& path, const std::vector<uint8_t>& f, int w, int h, int format) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out)
    return false;
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* o = &row[static_cast<size_t>(x) * 3];
      if (format == 1) {
        const uint8_t* p = &f[(static_cast<size_t>(h - 1 - y) * w + x) * 3];
        o[0] = p[2], o[1] = p[1], o[2] = p[0];
      } else {
        const uint8_t* g = &f[(static_cast<size_t>(y) * w + (x & ~1)) * 2];
        const int yy = g[(x & 1) * 2], u = g[1] - 128, v = g[3] - 128;
        o[0] = Clamp(yy + (359 * v >> 8));
        o[1] = Clamp(yy - ((88 * u + 183 * v) >> 8));
        o[2] = Clamp(yy + (454 * u >> 8));
      }
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  ChannelProfile p;
  p.MsgEnable = 1;
  p.MsgString = kDefaultMsgString;
  p.MsgTextColor = 0x00C000;
  p.MsgBackColor = 0x404040;
  p.MsgTransparency = 60;
  Profiles.assign(1, p);
  CurrentIndex = 0;
  MessageSurface.surface = Os().SurfaceCreate();
  int written = 0;
  const int sizes[][2] = {{768, 576}, {384, 288}};
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    for (int format : {0, 1}) {
      for (int back : {0, 1}) {
        FrameWidth = w;
        FrameHeight = h;
        PixelFormat = format;
        Profiles[0].MsgBackEnable = back;
        MessageSurface.pixels = Os().SurfaceBegin(MessageSurface.surface, w, h);
        ForgetMessageLayer();
        Presence.messageFadeCounter = 0;
        std::vector<uint8_t> frame = ToFrame(Picture(w, h), w, h, format);
        DrawMessage({frame.data(), FrameWidth, FrameHeight, PixelFormat},
                    Presence.messageFadeCounter);
        const std::string name = dir + "/message_" + std::to_string(w) + "x" + std::to_string(h) +
                                 (format ? "_rgb24" : "_yuy2") + (back ? "_back_on" : "_back_off") +
                                 ".ppm";
        if (WritePpm(name, frame, w, h, format))
          ++written;
        else
          std::fprintf(stderr, "cannot write %s\n", name.c_str());
        Os().SurfaceEnd(MessageSurface.surface);
      }
    }
  }
  Os().SurfaceDestroy(MessageSurface.surface);
  std::printf("%d pictures in %s\n", written, dir.c_str());
  return written == 8 ? 0 : 1;
}
