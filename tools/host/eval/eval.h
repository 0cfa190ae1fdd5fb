// The eval action: breaks found scored against known breaks, each given as frame spans,
// an EDL or a JSON timeline: frame precision and recall, breaks found and missed, and the
// error at each boundary in seconds. Spans in seconds need a frame rate: --fps, the
// recording's (--recording), or the one a file states; eval never guesses it.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "spans/report.h"

namespace zunkhost {

// Breaks of a break file (eval/break_files.h) as frame spans; an EDL's seconds are
// counted at *fps, and *fps takes a JSON timeline's frame rate when it has one. False
// with one line in *error.
bool ReadDetected(const std::string& path,
                  double* fps,
                  std::vector<Span>* spans,
                  std::string* error);

struct BreakMatch {
  Span truth;
  bool found = false;       // the detected spans cover at least half of it
  bool overlapped = false;  // some detected span overlaps it
  Span detected;            // the detected span overlapping it most
};

struct Scores {
  int64_t truthFrames = 0;
  int64_t detectedFrames = 0;
  int64_t bothFrames = 0;
  double precision = 0;  // of break frames: both / detected (1 when nothing was detected)
  double recall = 0;     // both / truth (1 when there is nothing to find)
  std::vector<BreakMatch> breaks;
  int extra = 0;  // detected spans that overlap no known break
};

Scores Score(const std::vector<Span>& truth, const std::vector<Span>& detected);

// The frame rate a truth file implies through its seconds columns, or 0.
double TruthFps(const std::string& path);

int Evaluate(const Options& o);

}  // namespace zunkhost
