// Evaluate: reading both files, scoring, and the report.
#include "eval/eval.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/fail.h"
#include "decode/frame_reader.h"
#include "eval/break_files.h"
#include "eval/json_read.h"

namespace zunkhost {

bool ReadDetected(const std::string& path,
                  double* fps,
                  std::vector<Span>* spans,
                  std::string* error) {
  BreakFile f;
  if (!ReadBreakFile(path, &f, error))
    return false;
  if (f.kind == BreakFile::kJson && f.fps > 0)
    *fps = f.fps;
  *spans = FrameSpansOf(f, *fps);
  return true;
}

Scores Score(const std::vector<Span>& truth, const std::vector<Span>& detected) {
  Scores s;
  s.truthFrames = SpanFrames(truth);
  s.detectedFrames = SpanFrames(detected);
  s.bothFrames = OverlapFrames(truth, detected);
  s.precision = s.detectedFrames ? double(s.bothFrames) / s.detectedFrames : 1.0;
  s.recall = s.truthFrames ? double(s.bothFrames) / s.truthFrames : 1.0;
  for (const Span& t : truth) {
    BreakMatch m;
    m.truth = t;
    int64_t best = 0;
    for (const Span& d : detected) {
      int64_t o = OverlapFrames({t}, {d});
      if (o > best) {
        best = o;
        m.detected = d;
        m.overlapped = true;
      }
    }
    m.found = OverlapFrames({t}, detected) * 2 >= t.last - t.first + 1;
    s.breaks.push_back(m);
  }
  for (const Span& d : detected)
    if (OverlapFrames({d}, truth) == 0)
      ++s.extra;
  return s;
}

double TruthFps(const std::string& path) {
  BreakFile f;
  std::string error;
  return ReadBreakFile(path, &f, &error) && f.kind == BreakFile::kFrameSpans ? f.fps : 0;
}

namespace {

// The frame rate the spans are counted in: --fps, the recording's, or what one of the
// files states. 0 when nothing says it; *error when the recording cannot be read.
double FrameRate(const Options& o,
                 const BreakFile& truth,
                 const BreakFile& detected,
                 std::string* error) {
  if (o.fpsGiven)
    return o.video.fps;
  if (!o.fpsFrom.empty()) {
    FrameReader reader;
    VideoGeometry g;
    ReaderSetup setup;
    setup.path = o.fpsFrom;
    if (!reader.Open(setup, &g, error))
      return 0;
    return g.fps;
  }
  if (detected.fps > 0)
    return detected.fps;
  return truth.fps;
}

void PrintScores(const Options& o, const Scores& s, double fps) {
  int found = 0;
  for (const BreakMatch& m : s.breaks)
    found += m.found;
  std::printf("zunk-host eval: %s against %s (%.3f fps)\n", o.detected.c_str(), o.truth.c_str(),
              fps);
  std::printf("break frames: %lld known, %lld detected, %lld in both\n",
              static_cast<long long>(s.truthFrames), static_cast<long long>(s.detectedFrames),
              static_cast<long long>(s.bothFrames));
  std::printf("precision: %.4f\nrecall: %.4f\n", s.precision, s.recall);
  std::printf("breaks: %d of %zu found, %zu missed, %d detected outside known breaks\n", found,
              s.breaks.size(), s.breaks.size() - found, s.extra);
  std::printf("| known break (frames) | detected (frames) | start error (s) | end error (s) |\n");
  std::printf("|---|---|---:|---:|\n");
  for (const BreakMatch& m : s.breaks) {
    if (!m.overlapped) {
      std::printf("| %lld-%lld | missed | | |\n", static_cast<long long>(m.truth.first),
                  static_cast<long long>(m.truth.last));
      continue;
    }
    std::printf("| %lld-%lld | %lld-%lld | %+.2f | %+.2f |\n",
                static_cast<long long>(m.truth.first), static_cast<long long>(m.truth.last),
                static_cast<long long>(m.detected.first), static_cast<long long>(m.detected.last),
                (m.detected.first - m.truth.first) / fps, (m.detected.last - m.truth.last) / fps);
  }
}

}  // namespace

int Evaluate(const Options& o) {
  BreakFile truth, detected;
  std::string error;
  if (!ReadBreakFile(o.truth, &truth, &error) || !ReadBreakFile(o.detected, &detected, &error))
    return Fail(error);
  const double fps = FrameRate(o, truth, detected, &error);
  if (!error.empty())
    return Fail(error);
  if (fps <= 0) {
    std::fprintf(stderr,
                 "zunk-host: eval: nothing says the frame rate of the breaks; give --fps N or "
                 "--recording REC\n");
    return 2;
  }
  const std::vector<Span> known = FrameSpansOf(truth, fps);
  if (known.empty())
    return Fail(o.truth + ": no breaks in it");
  PrintScores(o, Score(known, FrameSpansOf(detected, fps)), fps);
  return 0;
}

}  // namespace zunkhost
