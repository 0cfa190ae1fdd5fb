// What a capture holds, counted: every allocation of this program goes through the counting
// operator new below, and a capture at each frame size is run through the core finder as the
// capture thread runs it, with its series at its fullest while the finder looks at it. The
// frame store (allocated apart, and counted by its size) and the most the finder held at
// any moment must fit the capture's bound together.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "capture/core_finder.h"
#include "capture/frame_slots.h"
#include "learn/learn_sample.h"
#include "learn/logo_finder.h"
#include "learn/synthetic_logo.h"

namespace {

std::atomic<size_t> live{0};
std::atomic<size_t> peak{0};

constexpr size_t kHeader = 32;  // keeps the alignment malloc gives

void* Counted(size_t n) {
  void* raw = std::malloc(n + kHeader);
  if (!raw)
    throw std::bad_alloc();
  *static_cast<size_t*>(raw) = n;
  const size_t now = live.fetch_add(n) + n;
  size_t was = peak.load();
  while (now > was && !peak.compare_exchange_weak(was, now)) {
  }
  return static_cast<char*>(raw) + kHeader;
}

void Uncounted(void* p) {
  if (!p)
    return;
  char* raw = static_cast<char*>(p) - kHeader;
  live.fetch_sub(*reinterpret_cast<size_t*>(raw));
  std::free(raw);
}

}  // namespace

void* operator new(size_t n) {
  return Counted(n);
}
void* operator new[](size_t n) {
  return Counted(n);
}
void operator delete(void* p) noexcept {
  Uncounted(p);
}
void operator delete[](void* p) noexcept {
  Uncounted(p);
}
void operator delete(void* p, size_t) noexcept {
  Uncounted(p);
}
void operator delete[](void* p, size_t) noexcept {
  Uncounted(p);
}

namespace zunk {
namespace {

using testing_util::LogoArt;
using testing_util::LogoKind;
using testing_util::MakeFrame;
using testing_util::MakeLogo;
using testing_util::Scene;
using testing_util::Shot;

// The most the finder holds above `base` while `call` runs.
template <typename Call>
size_t HeldDuring(size_t base, Call call) {
  peak.store(live.load());
  call();
  const size_t most = peak.load();
  return most > base ? most - base : 0;
}

struct Size {
  int32_t w, h, format;
};

// The bound at the frame sizes a capture meets: SD, 720p and 1080p, both pixel formats.
class CaptureMemory : public ::testing::TestWithParam<Size> {};

TEST_P(CaptureMemory, TheFrameStoreAndTheFinderAtItsFullestFitTheBound) {
  const Size size = GetParam();
  const LogoArt logo = MakeLogo(LogoKind::kBadge, 80, 0x00E0E0F0, 255);
  Scene scene;
  scene.width = size.w;
  scene.height = size.h;
  scene.format = size.format;
  scene.logo = &logo;
  testing_util::PlaceInCorner(logo, 1, &scene.logoX, &scene.logoY);

  const size_t store = FrameStoreBytes(size.w, size.h, size.format);
  const int32_t capacity = CoreFinderCapacity(size.w, size.h, size.format);
  ASSERT_GT(store, 0u);
  ASSERT_GE(capacity, kMinSamples);
  CaptureStream stream;
  stream.width = size.w;
  stream.height = size.h;
  stream.format = size.format;
  const CaptureFinder& f = kCoreLogoFinder;

  // The scene's first frame before counting starts: whatever the test's picture maker keeps
  // from frame to frame is not the capture's.
  MakeFrame(scene, Shot::kProgramme, 0);
  const size_t base = live.load();
  size_t most = 0;
  // A capture as the capture thread runs it: each frame handed over, then (when `ask`) the
  // preview's candidate and whether the finder is sure (it looks on its own schedule), then
  // the answer.
  auto capture = [&](int32_t frames, bool ask, bool* ok, CaptureFailure* why) {
    void* search = nullptr;
    most = std::max(most, HeldDuring(base, [&] { search = f.Begin(stream); }));
    ASSERT_NE(search, nullptr);
    for (int32_t n = 0; n < frames; ++n) {
      const std::vector<uint8_t> frame = MakeFrame(scene, Shot::kProgramme, n * 13);
      const size_t withFrame = base + frame.size();
      // The frame is the test's: it stands for the store's slot, counted apart.
      most = std::max(most, HeldDuring(withFrame, [&] {
                        f.Add(search, WholeFrame({frame.data(), size.w, size.h, size.format}));
                      }));
      if (!ask)
        continue;
      CapturedLogo candidate;
      most = std::max(most, HeldDuring(withFrame, [&] {
                        f.Candidate(search, &candidate);
                        f.Sure(search);
                      }));
      // The candidate is handed to the dialog, within the bound too.
      most = std::max(most, live.load() - withFrame);
    }
    CapturedLogo found;
    most = std::max(most, HeldDuring(base, [&] { *ok = f.Finish(search, &found, why); }));
    f.End(search);
  };
  // Stopped with the series at its fullest, one sample before the thinning: the finder
  // looks at all of it.
  bool ok = false;
  CaptureFailure why = CaptureFailure::kNone;
  capture(capacity - 1, false, &ok, &why);
  EXPECT_TRUE(ok) << "at its fullest: " << static_cast<int>(why);
  // Stopped right after the series is thinned: it may hold fewer samples than a finding
  // needs (at 1080p it does), and the answer found over more of them stands.
  ok = false;
  why = CaptureFailure::kNone;
  capture(capacity + 1, true, &ok, &why);
  EXPECT_TRUE(ok) << "thinned: " << static_cast<int>(why);

  std::printf(
      "%dx%d format %d: store %.2f MB, %d samples (%.2f MB), finder at most %.2f MB, "
      "in all %.2f MB\n",
      size.w, size.h, size.format, store / 1e6, capacity, capacity * double(kSampleBytes) / 1e6,
      most / 1e6, (store + most) / 1e6);
  EXPECT_LE(store + most, kCaptureBytes);
}

INSTANTIATE_TEST_SUITE_P(FrameSizes,
                         CaptureMemory,
                         ::testing::Values(Size{768, 576, 0},
                                           Size{768, 576, 1},
                                           Size{1280, 720, 0},
                                           Size{1920, 1080, 0},
                                           Size{1920, 1080, 1}),
                         [](const ::testing::TestParamInfo<Size>& p) {
                           return std::to_string(p.param.w) + "x" + std::to_string(p.param.h) +
                                  (p.param.format == 0 ? "_yuy2" : "_rgb24");
                         });

}  // namespace
}  // namespace zunk
