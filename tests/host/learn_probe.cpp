// learn_probe: a developer's tool, not shipped and not a test. It runs the logo finder over
// recordings and prints the place found against the truth file's, so that a change to the
// finder can be measured on every recording at once.
//
//   learn_probe dump REC OUT.samples [EVERY]   every EVERY-th frame (default 25) as a
//                                              learning sample, kept in a file
//   learn_probe find [--capacity N] [--corner C] [--calibrate] NAME.samples:TRUTH ...
//                                              the finder over the kept samples (thinned
//                                              as a series of N would be), one line each
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "decode/frame_reader.h"
#include "learn/calibrate.h"
#include "learn/edge_groups.h"
#include "learn/edge_persistence.h"
#include "learn/logo_finder.h"
#include "learn/sample_series.h"

namespace {

using zunk::LearnSample;

int Dump(const std::string& rec, const std::string& out, int every) {
  zunkhost::VideoGeometry g;
  zunkhost::ReaderSetup setup;
  setup.path = rec;
  zunkhost::FrameReader reader;
  std::string error;
  if (!reader.Open(setup, &g, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::vector<uint8_t> frame(zunkhost::FrameBytes(g));
  std::ofstream f(out, std::ios::binary);
  int64_t n = 0, kept = 0;
  for (; reader.Read(frame.data()); ++n) {
    if (n % every)
      continue;
    LearnSample s;
    if (!zunk::MakeLearnSample({frame.data(), g.width, g.height, g.pixelFormat}, n, &s))
      continue;
    f.write(reinterpret_cast<const char*>(&s.frame), sizeof s.frame);
    f.write(reinterpret_cast<const char*>(s.planes.data()), s.planes.size());
    ++kept;
  }
  std::printf("%s: %lld frames %dx%d, %lld samples\n", rec.c_str(), (long long)n, g.width,
              g.height, (long long)kept);
  return 0;
}

// Samples of a dump, offered to a series as the frames they came from.
zunk::SampleSeries Load(const std::string& path, int capacity) {
  zunk::SampleSeries series = zunk::MakeSampleSeries(capacity, 1);
  std::ifstream f(path, std::ios::binary);
  std::vector<uint8_t> planes(zunk::kSampleBytes);
  int64_t frame = 0, offer = 0;
  while (f.read(reinterpret_cast<char*>(&frame), sizeof frame) &&
         f.read(reinterpret_cast<char*>(planes.data()), planes.size())) {
    LearnSample s;
    s.frame = offer++;  // offers numbered as the dump kept them
    s.planes = planes;
    int64_t sum = 0, cnt = 0;
    for (int c = 0; c < zunk::kCorners; ++c)
      for (int i = 0; i < zunk::kCornerLumaBytes; i += 4, ++cnt)
        sum += s.Luma(c)[i];
    s.meanLuma = static_cast<int32_t>(sum / cnt);
    int64_t spread = 0;
    for (int c = 0; c < zunk::kCorners; ++c)
      for (int i = 0; i < zunk::kCornerLumaBytes; i += 4)
        spread += std::abs(s.Luma(c)[i] - s.meanLuma);
    s.lumaSpread = static_cast<int32_t>(spread / cnt);
    zunk::SeriesAdd(&series, std::move(s));
  }
  return series;
}

bool TruthLogo(const std::string& path, int* x, int* y, int* w, int* h) {
  std::ifstream f(path);
  std::string line;
  while (std::getline(f, line))
    if (std::sscanf(line.c_str(), "# logo x=%d y=%d w=%d h=%d", x, y, w, h) == 4)
      return true;
  return false;
}

int Find(int argc, char** argv) {
  int capacity = 96, corner = -1;
  bool calibrate = false;
  int bad = 0, total = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--capacity" && i + 1 < argc) {
      capacity = std::atoi(argv[++i]);
      continue;
    }
    if (a == "--corner" && i + 1 < argc) {
      corner = std::atoi(argv[++i]);
      continue;
    }
    if (a == "--calibrate") {
      calibrate = true;
      continue;
    }
    const size_t colon = a.find(':');
    const std::string samples = a.substr(0, colon);
    const std::string truth = colon == std::string::npos ? "" : a.substr(colon + 1);
    const zunk::SampleSeries series = Load(samples, capacity);
    const auto start = std::chrono::steady_clock::now();
    zunk::FindOptions options;
    options.corner = corner;
    const zunk::FoundLogo logo = zunk::FindLogo(series.samples, options);
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int tx = 0, ty = 0, tw = 0, th = 0;
    const bool haveTruth = !truth.empty() && TruthLogo(truth, &tx, &ty, &tw, &th);
    std::string name = samples.substr(samples.rfind('/') + 1);
    ++total;
    if (!logo.found) {
      ++bad;
      std::printf("%-12s FAIL  %s  (%d samples, %.1f s)\n", name.c_str(), logo.message.c_str(),
                  static_cast<int>(series.samples.size()), secs);
      continue;
    }
    const zunk::LogoPlace& p = logo.place;
    const int dx = p.x - tx, dy = p.y - ty, dw = p.width - tw, dh = p.height - th;
    const bool ok = haveTruth && std::abs(dx) <= 2 && std::abs(dy) <= 2;
    bad += !ok;
    std::printf("%-12s %s %3d,%3d %3dx%-3d d=%+d,%+d size%+d,%+d logo %d/%d conf %d r%d%s (%.1f s)\n",
                name.c_str(), ok ? "ok  " : "MISS", p.x, p.y, p.width, p.height, dx, dy, dw, dh,
                logo.logoSamples, logo.samples, logo.confidence, logo.reason,
                logo.second.corner >= 0
                    ? (" second " + std::string(zunk::CornerName(logo.second.corner)) + " " +
                       std::to_string(logo.second.strength * 100 / std::max<int64_t>(1, p.strength)) + "%")
                          .c_str()
                    : "",
                secs);
    if (const char* show = getenv("PROBE_SHOW")) {
      // The context picture, the logo's mask tinted red, beside the template.
      const int w = logo.contextWidth, h = logo.contextHeight;
      std::ofstream f(std::string(show) + "-" + name + ".ppm", std::ios::binary);
      f << "P6\n" << w * 2 << " " << h << "\n255\n";
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 2; ++x) {
          const int cx = x % w;
          uint32_t px = logo.context[static_cast<size_t>(y) * w + cx];
          const int lx = logo.contextX + cx - p.x, ly = logo.contextY + y - p.y;
          const bool in = lx >= 0 && ly >= 0 && lx < p.width && ly < p.height;
          if (x >= w && in && logo.mask[static_cast<size_t>(ly) * p.width + lx])
            px = (px & 0xFFFF) | 0xFF0000;
          else if (x >= w && in)
            px = (px >> 1) & 0x7F7F7F;
          f.put(static_cast<char>(px >> 16)).put(static_cast<char>(px >> 8)).put(static_cast<char>(px));
        }
    }
    if (calibrate) {
      const zunk::Calibration c = zunk::Calibrate(series.samples, logo, 3, 10);
      std::printf("    %s\n", c.message.c_str());
    }
  }
  std::printf("%d of %d not within 2 pixels\n", bad, total);
  return bad ? 1 : 0;
}

// The four corners side by side as a grey picture: value(p) per corner pixel, 0..255.
template <typename F>
void WritePgm(const std::string& path, F value) {
  const int w = zunk::kCornerWidth * 2, h = zunk::kCornerHeight * 2;
  std::ofstream f(path, std::ios::binary);
  f << "P5\n" << w << " " << h << "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int corner = (x >= zunk::kCornerWidth) + 2 * (y >= zunk::kCornerHeight);
      const size_t p = zunk::CountAt(corner, x % zunk::kCornerWidth, y % zunk::kCornerHeight);
      f.put(static_cast<char>(std::min(255, std::max(0, value(p)))));
    }
}

int Maps(const std::string& samples, const std::string& prefix) {
  const zunk::SampleSeries series = Load(samples, 1 << 20);
  const zunk::EdgeCounts counts = zunk::CountEdges(series.samples, nullptr);
  const int n = std::max(1, counts.samples);
  WritePgm(prefix + "-persisting.pgm", [&](size_t p) { return counts.persisting[p] * 255 / n; });
  WritePgm(prefix + "-edges.pgm", [&](size_t p) { return counts.edges[p] * 255 / n; });
  WritePgm(prefix + "-mean.pgm", [&](size_t p) {
    int64_t sum = 0;
    const int corner = static_cast<int>(p / zunk::kCornerLumaBytes);
    const size_t q = p % zunk::kCornerLumaBytes;
    for (const LearnSample& s : series.samples)
      sum += s.Luma(corner)[q];
    return static_cast<int>(sum / std::max<size_t>(1, series.samples.size()));
  });
  // Per pixel: the share of samples within 2 levels of the median, and the median deviation.
  std::vector<int> steady(counts.persisting.size()), mad(counts.persisting.size());
  std::vector<uint8_t> v(series.samples.size());
  for (size_t p = 0; p < steady.size(); ++p) {
    const int corner = static_cast<int>(p / zunk::kCornerLumaBytes);
    const size_t q = p % zunk::kCornerLumaBytes;
    for (size_t i = 0; i < v.size(); ++i)
      v[i] = series.samples[i].Luma(corner)[q];
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    const int med = v[v.size() / 2];
    int close = 0;
    for (size_t i = 0; i < v.size(); ++i) {
      close += std::abs(series.samples[i].Luma(corner)[q] - med) <= 2;
      v[i] = static_cast<uint8_t>(std::abs(series.samples[i].Luma(corner)[q] - med));
    }
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    steady[p] = close * 255 / static_cast<int>(v.size());
    mad[p] = v[v.size() / 2] * 16;
  }
  WritePgm(prefix + "-steady.pgm", [&](size_t p) { return steady[p]; });
  WritePgm(prefix + "-mad.pgm", [&](size_t p) { return mad[p]; });
  for (int c = 0; c < zunk::kCorners; ++c) {
    for (int least : {counts.samples / 8, counts.samples / 4, counts.samples / 2}) {
      const zunk::EdgeGroup g = zunk::StrongestGroup(counts, c, least);
      std::printf("corner %d least %d: box %d,%d-%d,%d strength %lld coherence %d px %zu\n", c, least,
                  g.box.x0, g.box.y0, g.box.x1, g.box.y1, (long long)g.strength, g.coherence,
                  g.pixels.size());
    }
  }
  std::printf("%d samples\n", counts.samples);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "dump") == 0)
    return Dump(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 25);
  if (argc >= 4 && std::strcmp(argv[1], "maps") == 0)
    return Maps(argv[2], argv[3]);
  if (argc >= 3 && std::strcmp(argv[1], "find") == 0)
    return Find(argc - 2, argv + 2);
  std::fprintf(stderr, "usage: learn_probe dump REC OUT.samples [EVERY] | find FILE:TRUTH...\n");
  return 2;
}
