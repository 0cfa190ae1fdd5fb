// zunk-frame-timing: the whole frame operation of this build's code timed beside a memcpy of
// the same frame in the same process, for the builds without Google Benchmark (the 32-bit
// Windows module's compiler and flags, run under the system's loader), and the same frame
// taken apart into its steps; then the live capture's cost on the frame path
// (capture_cost.cpp). Every call is timed on its own, the frame operation, the
// memcpy and the steps one after another, so that a change of machine load falls on all of
// them; every figure is the median over all calls, which a busy machine's preemptions (a
// few calls each, many milliseconds long) do not move as they move a mean.
//
//   zunk-frame-timing [REPETITIONS [CALLS_SD [CASE]]]   (CASE: only the cases whose name has it,
//   in both tables)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_stream.h"
#include "capture_cost.h"
#include "detect/decision.h"
#include "detect/matching.h"
#include "detect/overlay.h"
#include "kernels/kernels.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/setting_table.h"

namespace {

using Clock = std::chrono::steady_clock;

double Nanos(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::nano>(b - a).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The steps of one matched frame, as the frame operation runs them.
enum Step { kExtract, kPlace, kRowSearch, kDecide, kOverlay, kMessage, kSteps };
const char* const kStepNames[kSteps] = {"extract", "place", "rows", "decide", "overlay", "message"};

// One frame's steps through the module's own buffers, each timed on its own; adds the
// nanoseconds of each step to `ns`. The overlay and the message are drawn whether or not the
// profile asks for them, so that their cost shows.
void RunSteps(uint8_t* pixels, double* ns) {
  using zunk::StreamTemplate;
  zunk::ChannelProfile* p = zunk::CurrentProfile();
  Clock::time_point t0 = Clock::now();
  const zunk::MatchGeometry g = zunk::ComputeMatchGeometry(
      p, zunk::TemplatePicture.width, zunk::TemplatePicture.height, StreamTemplate.TemplateWidth,
      StreamTemplate.TemplateHeight, zunk::FrameWidth, zunk::FrameHeight, zunk::SearchHalfWidth);
  const zunk::FrameView view = {pixels, zunk::FrameWidth, zunk::FrameHeight, zunk::PixelFormat};
  const bool planes = zunk::ExtractSearchArea(&StreamTemplate, view, g, p->ColorKey);
  Clock::time_point t1 = Clock::now();
  ns[kExtract] += Nanos(t0, t1);

  zunk::MatchResult m;
  uint64_t mean = 0;
  m.matchPercent = zunk::MatchAtExpectedPlace(&StreamTemplate, planes, g, p->ColorKey, &mean);
  t0 = Clock::now();
  ns[kPlace] += Nanos(t1, t0);

  zunk::PlacementDifferences(&StreamTemplate, planes, g.t, mean, p->ColorKey,
                             reinterpret_cast<zunk::DiffEntry*>(zunk::ScoreRow));
  zunk::ScorePlacements(zunk::ScoreRow, g.t, g.tol, &m);
  t1 = Clock::now();
  ns[kRowSearch] += Nanos(t0, t1);

  const int32_t on = zunk::DampedOnSpeed(p->LogoOnResponseSpeed, m.scoreContrast, m.matchPercent,
                                         p->LogoMatchLevel);
  volatile int32_t confidence =
      zunk::NextConfidence(zunk::Presence.confidence, m.logoFound, on, p->LogoOffResponseSpeed);
  (void)confidence;
  t0 = Clock::now();
  ns[kDecide] += Nanos(t1, t0);

  const zunk::FrameTarget target = {pixels, zunk::FrameWidth, zunk::FrameHeight, zunk::PixelFormat};
  zunk::DrawLogoOverlay(StreamTemplate, target, g, p->LogoTransparency, p->ColorKey);
  t1 = Clock::now();
  ns[kOverlay] += Nanos(t0, t1);

  zunk::DrawMessage(target, zunk::Presence.messageFadeCounter);
  t0 = Clock::now();
  ns[kMessage] += Nanos(t1, t0);
}

struct Case {
  const char* size;
  int32_t w, h;
  int32_t format;
  int32_t logoW, logoH;  // reference pixels
};

void RunCase(const Case& c, int repetitions, int callsSd, const char* only) {
  char name[64];
  std::snprintf(name, sizeof name, "%s/%s/%dx%d", c.format ? "rgb24" : "yuy2", c.size, c.logoW,
                c.logoH);
  if (only && !std::strstr(name, only))
    return;
  // The message layer's drawing context, which Init makes for the host.
  if (!zunk::MessageSurface.surface)
    zunk::MessageSurface.surface = zunk::Os().SurfaceCreate();
  zunk::bench::BenchStream s;
  zunk::bench::StartBenchStream(&s, c.w, c.h, c.format, false, c.logoW, c.logoH);
  // The message as the sample's settings show it, fully faded in; while the logo is there
  // the frame operation does not draw it.
  zunk::ChannelProfile& p = zunk::Profiles[0];
  p.MsgEnable = 1;
  p.MsgString = zunk::kDefaultMsgString;
  p.MsgBackEnable = 0;
  p.MsgBackColor = 0x404040;
  p.MsgTextColor = 0x00C000;
  p.MsgTransparency = 60;
  zunk::Presence.messageFadeCounter = 0;
  const int32_t tw = zunk::StreamTemplate.TemplateWidth, th = zunk::StreamTemplate.TemplateHeight;
  std::vector<uint8_t> copy(s.frame.size());
  // Frames of a recording differ: every other call sees the picture a little brighter, so
  // that the window's grey level changes from call to call as it does in real video.
  std::vector<uint8_t> pictures[2] = {s.frame, s.frame};
  for (uint8_t& b : pictures[1])
    b = static_cast<uint8_t>(b > 251 ? 255 : b + 4);
  // The steps draw into frames of their own, so that the frame operation keeps matching.
  std::vector<uint8_t> drawn[2] = {pictures[0], pictures[1]};
  const int calls = c.w > 1000 ? std::max(1, callsSd / 4) : callsSd;
  std::vector<double> frames, copies, steps[kSteps];
  bool matched = true;
  for (int r = 0; r < repetitions; ++r) {
    for (int i = 0; i < calls; ++i) {
      s.info.pixels = pictures[i % 2].data();
      const Clock::time_point t0 = Clock::now();
      zunk::ProcessFrame(&s.info);
      const Clock::time_point t1 = Clock::now();
      std::memcpy(copy.data(), pictures[i % 2].data(), s.frame.size());
      asm volatile("" : : "r"(copy.data()) : "memory");
      const Clock::time_point t2 = Clock::now();
      matched = matched && zunk::LastFrameTrace.matched != 0;
      double ns[kSteps] = {};
      RunSteps(drawn[i % 2].data(), ns);
      frames.push_back(Nanos(t0, t1));
      copies.push_back(Nanos(t1, t2));
      for (int j = 0; j < kSteps; ++j)
        steps[j].push_back(ns[j]);
    }
  }
  zunk::bench::StopBenchStream();
  std::snprintf(name + std::strlen(name), sizeof name - std::strlen(name), "(%dx%d)", tw, th);
  std::printf("%-32s %8.1f %8.1f %6.2f", name, Median(frames) / 1000, Median(copies) / 1000,
              Median(frames) / Median(copies));
  for (int j = 0; j < kSteps; ++j)
    std::printf(" %8.1f", Median(steps[j]) / 1000);
  std::printf("%s\n", matched ? "" : "  (not matched!)");
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const int callsSd = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  const char* only = argc > 3 ? argv[3] : nullptr;
  const uint32_t cpu = zunk::CpuFeatures();
  std::printf("kernels: %s (CPU: sse2 %d, avx2 %d, avx512bw %d); pointer size %d\n",
              cpu & zunk::kCpuAvx512Bw ? "avx512bw"
              : cpu & zunk::kCpuAvx2   ? "avx2"
              : cpu & zunk::kCpuSse2   ? "sse2"
                                       : "reference",
              !!(cpu & zunk::kCpuSse2), !!(cpu & zunk::kCpuAvx2), !!(cpu & zunk::kCpuAvx512Bw),
              static_cast<int>(sizeof(void*)));
  std::printf("case: format/frame/reference logo(template at frame scale); times in us\n");
  std::printf("%-32s %8s %8s %6s", "case", "frame", "memcpy", "ratio");
  for (const char* n : kStepNames)
    std::printf(" %8s", n);
  std::printf("\n");
  // Reference logo sizes spanning those of the evaluation corpus's channels.
  const int32_t logos[][2] = {{64, 32}, {92, 46}, {150, 52}};
  for (int32_t format = 0; format < 2; ++format) {
    for (const auto& logo : logos) {
      RunCase({"768x576", 768, 576, format, logo[0], logo[1]}, repetitions, callsSd, only);
      RunCase({"1920x1080", 1920, 1080, format, logo[0], logo[1]}, repetitions, callsSd, only);
    }
  }
  zunk::bench::PrintCaptureCost(repetitions, only);
  return 0;
}
