// Learn: sample the recording at the reference size, find the logo, pick a colour key
// that the logo does not use, and write the template, the preview and the channel's
// section. Nothing is written unless all of it succeeds.
#include "learn.h"

#include <cstdio>

#if ZUNK_HOST_DECODE
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/fail.h"
#include "cli/progress.h"
#include "decode/frame_reader.h"
#include "image_files.h"
#include "logo_finder.h"
#include "os/host_os.h"
#include "os/paths.h"
#include "session/channel_settings.h"
#include "spans/output_files.h"
#endif

namespace zunkhost {

#if ZUNK_HOST_DECODE
namespace {

constexpr int kReferenceWidth = 768;
constexpr int kReferenceHeight = 576;
constexpr int kSamples = 96;

// The first of a few plain colours that no logo pixel has (0x00BBGGRR).
bool ChooseKey(const FoundLogo& logo, uint32_t* key) {
  static const uint32_t kCandidates[] = {0x000000, 0xFF00FF, 0x00FF00, 0xFF0000, 0x0000FF,
                                         0xFFFF00, 0x00FFFF, 0xFFFFFF, 0x010101, 0xFE01FE};
  for (uint32_t k : kCandidates) {
    bool used = false;
    for (size_t i = 0; i < logo.mask.size() && !used; ++i) {
      const uint8_t* p = &logo.bgr[i * 3];
      used =
          logo.mask[i] && p[0] == (k >> 16 & 0xFF) && p[1] == (k >> 8 & 0xFF) && p[2] == (k & 0xFF);
    }
    if (!used) {
      *key = k;
      return true;
    }
  }
  return false;
}

// The template: the logo's pixels, the background in the key colour.
std::vector<uint8_t> TemplatePixels(const FoundLogo& logo, uint32_t key) {
  std::vector<uint8_t> out = logo.bgr;
  for (size_t i = 0; i < logo.mask.size(); ++i)
    if (!logo.mask[i]) {
      out[i * 3] = static_cast<uint8_t>(key >> 16);
      out[i * 3 + 1] = static_cast<uint8_t>(key >> 8);
      out[i * 3 + 2] = static_cast<uint8_t>(key);
    }
  return out;
}

// The preview, twice the size: the logo in its surroundings with the rectangle found
// in red, and beside it the template with its background as a grey checkerboard.
std::vector<uint8_t> Preview(const FoundLogo& logo, int* width, int* height) {
  const int s = 2, gap = 8;
  *width = (logo.contextWidth + gap + logo.width) * s;
  *height = std::max(logo.contextHeight, logo.height) * s;
  std::vector<uint8_t> rgb(static_cast<size_t>(*width) * *height * 3, 32);
  auto put = [&](int x, int y, const uint8_t* bgr) {
    for (int dy = 0; dy < s; ++dy)
      for (int dx = 0; dx < s; ++dx) {
        uint8_t* q = &rgb[(static_cast<size_t>(y * s + dy) * *width + x * s + dx) * 3];
        q[0] = bgr[2];
        q[1] = bgr[1];
        q[2] = bgr[0];
      }
  };
  const uint8_t red[3] = {0, 0, 255};
  const int rx0 = logo.x - logo.contextX - 1, ry0 = logo.y - logo.contextY - 1;
  const int rx1 = rx0 + logo.width + 1, ry1 = ry0 + logo.height + 1;
  for (int y = 0; y < logo.contextHeight; ++y)
    for (int x = 0; x < logo.contextWidth; ++x) {
      bool edge = ((x == rx0 || x == rx1) && y >= ry0 && y <= ry1) ||
                  ((y == ry0 || y == ry1) && x >= rx0 && x <= rx1);
      put(x, y, edge ? red : &logo.context[(static_cast<size_t>(y) * logo.contextWidth + x) * 3]);
    }
  for (int y = 0; y < logo.height; ++y)
    for (int x = 0; x < logo.width; ++x) {
      size_t i = static_cast<size_t>(y) * logo.width + x;
      uint8_t check[3];
      check[0] = check[1] = check[2] = ((x / 4 + y / 4) & 1) ? 96 : 160;
      put(logo.contextWidth + gap + x, y, logo.mask[i] ? &logo.bgr[i * 3] : check);
    }
  return rgb;
}

}  // namespace

int Learn(const Options& o) {
  if (o.inputs.size() != 1)
    return Fail("learn takes one recording (--input FILE)");
  if (o.settings.empty())
    return Fail("learn needs --settings FILE (the settings file to write the channel into)");
  const std::string key = std::to_string(o.channelKey);
  const std::string folder = FolderOf(o.settings);
  const std::string bmpPath = folder + "logo-" + key + ".bmp";
  const std::string previewPath = o.preview.empty() ? folder + "logo-" + key + ".png" : o.preview;

  // The files are opened first: a folder that cannot be written is said at once.
  std::string error;
  OutputSet outputs;
  FILE* bmp = outputs.Open(bmpPath, &error);
  if (!bmp)
    return Fail(error);
  FILE* png = outputs.Open(previewPath, &error);
  // The settings file comes last: it is replaced only after the template and the preview
  // are in place.
  FILE* ini = png ? outputs.Open(o.settings, &error) : nullptr;
  struct Closer {
    FILE* files[3];
    ~Closer() {
      for (FILE* f : files)
        if (f)
          std::fclose(f);
    }
  } closer{{bmp, png, ini}};
  if (!ini)
    return Fail(error);

  VideoGeometry g;
  g.width = kReferenceWidth;
  g.height = kReferenceHeight;
  g.pixelFormat = 1;
  ReaderSetup setup;
  setup.path = o.input;
  setup.raw = o.raw;
  setup.decoder = o.decoder;
  setup.threads = o.threads;
  setup.keepSize = true;
  FrameReader reader;
  if (!reader.Open(setup, &g, &error))
    return Fail(error);
  FrameSampler sampler(g.width, g.height, static_cast<int>(std::lround(g.fps)), kSamples);
  const size_t bytes = FrameBytes(g), row = static_cast<size_t>(g.width) * 3;
  std::vector<uint8_t> frame(bytes), topDown(bytes);
  Progress progress(o.progress, "learn", reader.ExpectedFrames());
  int64_t n = 0;
  while ((o.maxFrames < 0 || n < o.maxFrames) && reader.Read(frame.data())) {
    for (int y = 0; y < g.height; ++y)
      std::copy(&frame[(g.height - 1 - y) * row], &frame[(g.height - y) * row], &topDown[y * row]);
    sampler.Offer(n++, topDown.data());
    progress.Update(n);
  }
  progress.Done(n);
  if (!reader.Failure().empty())
    return Fail(reader.Failure());
  if (reader.Damaged() > 0)
    std::fprintf(stderr, "zunk-host: warning: %s: %lld damaged packets or frames decoded past\n",
                 o.input.c_str(), static_cast<long long>(reader.Damaged()));

  FoundLogo logo;
  if (!FindLogo(sampler.Frames(), g.width, g.height, &logo, &error))
    return Fail(o.input + ": " + error);
  uint32_t colorKey = 0;
  if (!ChooseKey(logo, &colorKey))
    return Fail(o.input + ": the logo uses every colour key tried");

  // The section as the TV application will read it: the template by its full path, the
  // logo only matched, not painted over the picture; then what the user set.
  std::vector<SettingValue> values = {
      {"LogoFileName", FullPath(folder.empty() ? "." : folder) + "/" + BaseName(bmpPath)},
      {"LogoPosX", std::to_string(logo.x)},
      {"LogoPosY", std::to_string(logo.y)},
      {"ColorKey", std::to_string(colorKey)},
      {"LeftTopPixelColor", "0"},
      {"ShowLogo", "0"},
  };
  for (const auto& v : o.settingValues)
    values.push_back({v.first, v.second});
  std::string settingsBytes;
  if (!ChannelValuesBytes(o.settings, o.channelKey, values, &settingsBytes, &error))
    return Fail(error);

  int pw = 0, ph = 0;
  std::vector<uint8_t> preview = Preview(logo, &pw, &ph);
  bool written =
      WriteBmp24(bmp, logo.width, logo.height, TemplatePixels(logo, colorKey)) &&
      WritePng(png, pw, ph, preview) &&
      std::fwrite(settingsBytes.data(), 1, settingsBytes.size(), ini) == settingsBytes.size();
  for (FILE*& f : closer.files) {
    written = std::fclose(f) == 0 && written;
    f = nullptr;
  }
  if (!written)
    return Fail("cannot write " + bmpPath + ", " + previewPath + " or " + o.settings);
  if (!outputs.Commit(&error))
    return Fail(error);

  std::printf("logo: x=%d y=%d, %dx%d (reference pixels), shown in %d of %d frames sampled\n",
              logo.x, logo.y, logo.width, logo.height, logo.logoFrames, logo.samples);
  std::printf("colour key: 0x%06X\n", colorKey);
  std::printf("template: %s\n", bmpPath.c_str());
  std::printf("settings: %s, channel %s\n", o.settings.c_str(), key.c_str());
  std::printf("preview: %s\n", previewPath.c_str());
  return 0;
}

#else

// The Windows build reads raw frames only and finds no logos.
int Learn(const Options& o) {
  (void)o;
  std::fprintf(stderr, "zunk-host: learn needs the native build\n");
  return 1;
}

#endif

}  // namespace zunkhost
