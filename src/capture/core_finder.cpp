// The core's logo finder behind the live capture. Runs on the capture thread only.
#include "capture/core_finder.h"

#include <utility>

#include "capture/frame_slots.h"
#include "learn/calibrate.h"
#include "learn/logo_finder.h"
#include "learn/sample_series.h"

namespace zunk {

namespace {

// Samples from which the preview shows the logo forming, and of them showing it, before the
// finder has the samples it needs to judge; and how many new samples between two looks (a
// look at a still picture takes longer than the half second between frames).
constexpr int32_t kFormingSamples = 6;
constexpr int32_t kFormingLogoSamples = 4;
constexpr int32_t kFormingStep = 3;
// Samples a capture takes before it may stop on its own. The first ten seconds of a
// programme often show one or two scenes: the weak edges of their picture persist nearly as
// the logo's do, and the logo's box and mask take them in. Twenty seconds show the logo over
// enough pictures. Until then the finder looks at every kJudgeStep-th sample only (for the
// preview), from then on at each: frames that come while it looks are not kept, and a look
// at 30 samples takes seconds on a slow machine, so looking more often spreads the samples
// over a longer stretch and a see-through logo's mask comes out full of holes.
constexpr int32_t kSureSamples = 40;
constexpr int32_t kJudgeStep = 10;

struct Search {
  CaptureStream stream;
  SampleSeries series;
  int64_t handed = 0;   // frames handed over
  int32_t kept = 0;     // samples kept so far (thinned ones included)
  int32_t judged = -1;  // `kept` when `found` was made
  int32_t shown = -1;   // `judged` of the last candidate given to the preview
  FoundLogo found;
};

// The finder over the samples, once per new sample (every kJudgeStep-th before the capture
// may be sure, unless `now`). Before it has the samples it needs at least it answers "too
// short" without looking, so it is asked only from then on.
void Judge(Search* s, bool now = false) {
  if (s->judged == s->kept)
    return;
  if (!now && s->kept < kSureSamples && (s->kept - kMinSamples) % kJudgeStep != 0 &&
      static_cast<int32_t>(s->series.samples.size()) >= kMinSamples)
    return;
  s->judged = s->kept;
  if (static_cast<int32_t>(s->series.samples.size()) < kMinSamples) {
    // Thinned below what the finder needs: its answer over more samples stands.
    if (s->found.samples >= kMinSamples)
      return;
    s->found = FoundLogo();
    s->found.reason = s->series.samples.empty() ? kFindNoFrames : kFindTooShort;
    return;
  }
  s->found = FindLogo(s->series.samples, FindOptions());
}

void CopyLogo(const FoundLogo& f, CapturedLogo* out) {
  out->pixels = f.pixels;
  out->width = f.place.width;
  out->height = f.place.height;
  out->colorKey = f.colorKey;
  out->x = f.place.x;
  out->y = f.place.y;
  out->matchLevel = out->detectLevel = out->posTolerance = -1;
}

// Why nothing was found, as the viewer is told. Black frames are not kept as samples: a
// capture that saw mostly those saw no steady logo, not too few frames.
CaptureFailure FailureOf(const Search& s) {
  const int32_t blank = s.series.blank;
  const int32_t samples = static_cast<int32_t>(s.series.samples.size());
  switch (s.found.reason) {
    case kFindNoFrames:
    case kFindTooShort:
      if (blank > 0 && blank >= samples)
        return CaptureFailure::kNoSteadyLogo;
      return s.handed == 0 ? CaptureFailure::kNoFrames : CaptureFailure::kTooFewFrames;
    case kFindTooStill:
      return CaptureFailure::kStillPicture;
    case kFindNoSteadyLogo:
      return CaptureFailure::kNoSteadyLogo;
    default:
      return CaptureFailure::kOther;
  }
}

void* Begin(const CaptureStream& stream) {
  const int32_t capacity = CoreFinderCapacity(stream.width, stream.height, stream.format);
  if (capacity < kMinSamples)
    return nullptr;
  Search* s = new Search;
  s->stream = stream;
  s->series = MakeSampleSeries(capacity, 1);
  return s;
}

void Add(void* search, const FrameBands& frame) {
  Search* s = static_cast<Search*>(search);
  const int64_t n = s->handed++;
  if (!SeriesWants(s->series, n))
    return;
  LearnSample sample;
  if (frame.width != s->stream.width || frame.height != s->stream.height ||
      frame.pixelFormat != s->stream.format || !MakeLearnSampleFromBands(frame, n, &sample))
    return;
  const int32_t blank = s->series.blank;
  SeriesAdd(&s->series, std::move(sample));
  if (s->series.blank == blank)
    ++s->kept;
}

bool Candidate(void* search, CapturedLogo* out) {
  Search* s = static_cast<Search*>(search);
  Judge(s);
  if (s->shown == s->judged)
    return false;
  s->shown = s->judged;
  if (s->found.found) {
    CopyLogo(s->found, out);
    return true;
  }
  // Until the finder has the samples to judge, the logo as it forms: the same search over
  // fewer samples, for the preview only.
  const int32_t n = static_cast<int32_t>(s->series.samples.size());
  if (n < kFormingSamples || n >= kMinSamples || (n - kFormingSamples) % kFormingStep != 0)
    return false;
  FindOptions forming;
  forming.minSamples = kFormingSamples;
  forming.minLogoSamples = kFormingLogoSamples;
  const FoundLogo f = FindLogo(s->series.samples, forming);
  if (!f.found)
    return false;
  CopyLogo(f, out);
  return true;
}

bool Sure(void* search) {
  Search* s = static_cast<Search*>(search);
  Judge(s);
  return s->found.sure && s->judged >= kSureSamples;
}

bool Finish(void* search, CapturedLogo* out, CaptureFailure* why) {
  Search* s = static_cast<Search*>(search);
  Judge(s, true);
  if (!s->found.found) {
    *why = FailureOf(*s);
    return false;
  }
  CopyLogo(s->found, out);
  const Calibration c =
      Calibrate(s->series.samples, s->found, s->stream.onSpeed, s->stream.offSpeed);
  // Levels the samples could not separate are left as the channel has them.
  if (c.separated) {
    out->matchLevel = c.matchLevel;
    out->detectLevel = c.detectLevel;
    out->posTolerance = c.posTolerance;
  }
  *why = CaptureFailure::kNone;
  return true;
}

void End(void* search) {
  delete static_cast<Search*>(search);
}

}  // namespace

const CaptureFinder kCoreLogoFinder = {Begin, Add, Candidate, Sure, Finish, End};

int32_t CoreFinderCapacity(int32_t width, int32_t height, int32_t format) {
  const size_t store = FrameStoreBytes(width, height, format);
  if (store == 0 || store + kFinderWorkBytes >= kCaptureBytes)
    return 0;
  // At its fullest, the moment before it is thinned, the series holds `capacity` samples.
  return static_cast<int32_t>((kCaptureBytes - store - kFinderWorkBytes) / kSampleBytes);
}

}  // namespace zunk
