// The presence timeline of a run: the break spans as the plug-in decided them and as
// refined from the per-frame values, and the JSON file that carries all of it. Both
// are built frame by frame, so a long recording costs no memory per frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "session/host_state.h"
#include "spans/report.h"

namespace zunkhost {

// What the plug-in computed for one frame (its trace of the last frame).
struct FrameValues {
  int32_t matchPercent = 0;
  int32_t scoreContrast = 0;
  int32_t logoFound = 0;
  int32_t confidence = 0;
  int32_t decision = 0;  // 1 = logo absent
};

// The decision lags the picture by design: the confidence has to climb or fall and the
// hold-off has to run out. A refined span starts where the run of frames without the
// logo that led to the decision began, and ends before the run of frames with the logo
// that led back. A frame shows the logo when it was found at its place with a match of
// at least the channel's match level.
class SpanTracker {
 public:
  explicit SpanTracker(int32_t matchLevel) : matchLevel_(matchLevel) {}
  // One frame that reached the decision; frames that did not keep the state.
  void Add(int64_t frame, const FrameValues& v);
  // Closes a span still open at the end of the stream.
  void Finish(int64_t frameCount);

  const std::vector<Span>& Decisions() const { return decisions_; }
  const std::vector<Span>& Refined() const { return refined_; }

 private:
  int32_t matchLevel_;
  int decision_ = 0;
  int shown_ = -1;  // whether the last frame showed the logo; -1 before the first
  int64_t shownRunStart_ = 0;
  int64_t missingRunStart_ = 0;
  int64_t decisionStart_ = 0;
  int64_t refinedStart_ = 0;
  std::vector<Span> decisions_;
  std::vector<Span> refined_;
};

// Seconds of frame numbers: a span covers [first / fps, (last + 1) / fps).
double SpanStart(const Span& s, double fps);
double SpanEnd(const Span& s, double fps);

// A JSON string literal of the text (UTF-8 or cp1251 bytes are passed through).
std::string JsonString(const std::string& text);

// The JSON timeline, written as the run goes: the header, one row per frame, and at
// the end the breaks and the host commands.
class JsonTimeline {
 public:
  explicit JsonTimeline(FILE* f) : f_(f) {}
  void Begin(const std::string& input,
             int width,
             int height,
             int pixelFormat,
             double fps,
             bool traced);
  // result: ProcessFrame's result; v: null when the frame has no values of its own.
  void Frame(int64_t frame, int32_t result, const FrameValues* v);
  void End(int64_t frameCount,
           const std::string& mode,
           const std::vector<Span>& breaks,
           const std::vector<Span>& decisionBreaks,
           const std::vector<Command>& commands,
           int64_t damaged);

 private:
  void WriteSpans(const char* name, const std::vector<Span>& spans);
  FILE* f_;
  double fps_ = 25.0;
  bool firstRow_ = true;
};

}  // namespace zunkhost
