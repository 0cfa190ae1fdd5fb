// The JSON timeline of a run: the per-frame values, the break spans and the host
// commands, written as the run goes, so a long recording costs no memory per frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "session/host_state.h"
#include "spans/report.h"
#include "spans/span_tracker.h"

namespace zunkhost {

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
