// Learn: sample the recording's corners as the plug-in receives its frames, find the logo
// with the core's finder, calibrate the levels with the plug-in's own matcher, and write
// the template (on the colour key the finder chose), the preview and the channel's
// section. Nothing is written unless all of it succeeds.
#include "learn.h"

#include <cstdio>

#if ZUNK_HOST_DECODE
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/fail.h"
#include "cli/progress.h"
#include "decode/frame_reader.h"
#include "image_files.h"
#include "learn/calibrate.h"
#include "learn/logo_finder.h"
#include "learn/sample_series.h"
#include "os/files.h"
#include "os/host_os.h"
#include "os/paths.h"
#include "session/channel_settings.h"
#include "spans/output_files.h"
#endif

namespace zunkhost {

#if ZUNK_HOST_DECODE
namespace {

// Samples kept at most (about 24 MB): a second apart at first, further apart as the
// recording goes on.
constexpr int kSamples = 120;

// B, G, R bytes of B, G, R, X pixels.
std::vector<uint8_t> Bgr(const std::vector<uint32_t>& bgrx) {
  std::vector<uint8_t> out(bgrx.size() * 3);
  for (size_t i = 0; i < bgrx.size(); ++i) {
    out[i * 3] = static_cast<uint8_t>(bgrx[i]);
    out[i * 3 + 1] = static_cast<uint8_t>(bgrx[i] >> 8);
    out[i * 3 + 2] = static_cast<uint8_t>(bgrx[i] >> 16);
  }
  return out;
}

// The preview, twice the size: the logo in its surroundings with the rectangle found
// in red, and beside it the template with its background as a grey checkerboard.
std::vector<uint8_t> Preview(const zunk::FoundLogo& logo, int* width, int* height) {
  const int s = 2, gap = 8;
  const zunk::LogoPlace& l = logo.place;
  *width = (logo.contextWidth + gap + l.width) * s;
  *height = std::max(logo.contextHeight, l.height) * s;
  std::vector<uint8_t> rgb(static_cast<size_t>(*width) * *height * 3, 32);
  auto put = [&](int x, int y, uint32_t bgrx) {
    for (int dy = 0; dy < s; ++dy)
      for (int dx = 0; dx < s; ++dx) {
        uint8_t* q = &rgb[(static_cast<size_t>(y * s + dy) * *width + x * s + dx) * 3];
        q[0] = static_cast<uint8_t>(bgrx >> 16);
        q[1] = static_cast<uint8_t>(bgrx >> 8);
        q[2] = static_cast<uint8_t>(bgrx);
      }
  };
  const uint32_t red = 0xFF0000;
  const int rx0 = l.x - logo.contextX - 1, ry0 = l.y - logo.contextY - 1;
  const int rx1 = rx0 + l.width + 1, ry1 = ry0 + l.height + 1;
  for (int y = 0; y < logo.contextHeight; ++y)
    for (int x = 0; x < logo.contextWidth; ++x) {
      bool edge = ((x == rx0 || x == rx1) && y >= ry0 && y <= ry1) ||
                  ((y == ry0 || y == ry1) && x >= rx0 && x <= rx1);
      put(x, y, edge ? red : logo.context[static_cast<size_t>(y) * logo.contextWidth + x]);
    }
  for (int y = 0; y < l.height; ++y)
    for (int x = 0; x < l.width; ++x) {
      size_t i = static_cast<size_t>(y) * l.width + x;
      const uint32_t check = ((x / 4 + y / 4) & 1) ? 0x606060 : 0xA0A0A0;
      put(logo.contextWidth + gap + x, y, logo.mask[i] ? logo.pixels[i] : check);
    }
  return rgb;
}

// The channel's response speeds, as a run with these settings will use them.
void ResponseSpeeds(const Options& o, int32_t* on, int32_t* off) {
  zunk::ChannelProfile p;
  *on = 3;
  *off = 10;
  if (FileSize(o.settings) >= 0 && ReadChannelProfile(o.settings, o.channelKey, &p)) {
    *on = p.LogoOnResponseSpeed;
    *off = p.LogoOffResponseSpeed;
  }
  for (const auto& v : o.settingValues) {
    if (v.first == "LogoOnResponseSpeed")
      *on = std::atoi(v.second.c_str());
    if (v.first == "LogoOffResponseSpeed")
      *off = std::atoi(v.second.c_str());
  }
}

}  // namespace

int Learn(const Options& o, FILE* report) {
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

  // The frames as the plug-in would receive them in a run with the same options; only
  // the frames sampled are packed.
  VideoGeometry g = o.video;
  ReaderSetup setup;
  setup.path = o.input;
  setup.raw = o.raw;
  setup.decoder = o.decoder;
  setup.threads = o.threads;
  setup.keepSize = o.sizeGiven;
  FrameReader reader;
  if (!reader.Open(setup, &g, &error))
    return Fail(error);
  zunk::SampleSeries series =
      zunk::MakeSampleSeries(kSamples, std::max<int64_t>(1, std::lround(g.fps)));
  std::vector<uint8_t> frame(FrameBytes(g));
  Progress progress(o.progress, "learn", reader.ExpectedFrames());
  int64_t n = 0;
  for (; o.maxFrames < 0 || n < o.maxFrames; ++n) {
    const bool wanted = zunk::SeriesWants(series, n);
    if (!(wanted ? reader.Read(frame.data()) : reader.Skip()))
      break;
    progress.Update(n + 1);
    zunk::LearnSample sample;
    if (wanted && zunk::MakeLearnSample({frame.data(), g.width, g.height, g.pixelFormat}, n, &sample))
      zunk::SeriesAdd(&series, std::move(sample));
  }
  progress.Done(n);
  if (!reader.Failure().empty())
    return Fail(reader.Failure());
  if (reader.Damaged() > 0)
    std::fprintf(stderr, "zunk-host: warning: %s: %lld damaged packets or frames decoded past\n",
                 o.input.c_str(), static_cast<long long>(reader.Damaged()));

  zunk::FindOptions find;
  find.corner = o.corner;
  const zunk::FoundLogo logo = zunk::FindLogo(series.samples, find);
  if (!logo.found) {
    if (logo.reason == zunk::kFindTooShort)
      return Fail(o.input + ": too short a recording (" + std::to_string(n) + " frames, " +
                  std::to_string(series.samples.size()) + " usable samples): learn from at least " +
                  "2 minutes of the channel, with no more than half of it adverts");
    return Fail(o.input + ": " + logo.message);
  }
  if (logo.reason == zunk::kFindTwoLogos)
    std::fprintf(stderr, "zunk-host: warning: %s: %s (--corner chooses)\n", o.input.c_str(),
                 logo.message.c_str());
  const zunk::LogoPlace& place = logo.place;
  int32_t onSpeed = 3, offSpeed = 10;
  ResponseSpeeds(o, &onSpeed, &offSpeed);
  const zunk::Calibration levels = zunk::Calibrate(series.samples, logo, onSpeed, offSpeed);

  // The section as the TV application will read it: the template by its full path, the
  // logo only matched, not painted over the picture; then what the user set.
  std::vector<SettingValue> values = {
      {"LogoFileName", FullPath(folder.empty() ? "." : folder) + "/" + BaseName(bmpPath)},
      {"LogoPosX", std::to_string(place.x)},
      {"LogoPosY", std::to_string(place.y)},
      {"ColorKey", std::to_string(logo.colorKey)},
      {"LeftTopPixelColor", "0"},
      {"ShowLogo", "0"},
  };
  if (levels.separated) {
    values.push_back({"LogoMatchLevel", std::to_string(levels.matchLevel)});
    values.push_back({"LogoDetectLevel", std::to_string(levels.detectLevel)});
    values.push_back({"LogoPosTolerance", std::to_string(levels.posTolerance)});
  }
  for (const auto& v : o.settingValues)
    values.push_back({v.first, v.second});
  std::string settingsBytes;
  if (!ChannelValuesBytes(o.settings, o.channelKey, values, &settingsBytes, &error))
    return Fail(error);

  int pw = 0, ph = 0;
  std::vector<uint8_t> preview = Preview(logo, &pw, &ph);
  bool written =
      WriteBmp24(bmp, place.width, place.height, Bgr(logo.pixels)) &&
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

  std::fprintf(report,
               "logo: x=%d y=%d, %dx%d (reference pixels), in the %s corner, shown in %d of %d "
               "samples, confidence %d\n",
               place.x, place.y, place.width, place.height, zunk::CornerName(place.corner),
               logo.logoSamples, logo.samples, logo.confidence);
  if (logo.reason == zunk::kFindTwoLogos)
    std::fprintf(report, "second logo: %s\n", logo.message.c_str());
  std::fprintf(report, "colour key: 0x%06X\n", logo.colorKey);
  std::fprintf(report, "levels: LogoMatchLevel=%d LogoDetectLevel=%d LogoPosTolerance=%d (%s)\n",
               levels.matchLevel, levels.detectLevel, levels.posTolerance, levels.message.c_str());
  std::fprintf(report, "template: %s\n", bmpPath.c_str());
  std::fprintf(report, "settings: %s, channel %s\n", o.settings.c_str(), key.c_str());
  std::fprintf(report, "preview: %s\n", previewPath.c_str());
  return 0;
}

#else

// The Windows build reads raw frames only and finds no logos.
int Learn(const Options& o, FILE* report) {
  (void)o;
  (void)report;
  std::fprintf(stderr, "zunk-host: learn needs the native build\n");
  return 1;
}

#endif

}  // namespace zunkhost
