// The presence timeline as the host sees it: the spans during which the plug-in had the
// sound lowered or the recording paused, written as a summary and as an EDL file, and
// compared with a truth file of known advert breaks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host_state.h"

namespace zunkhost {

struct Span {
  int64_t first;  // first frame inside
  int64_t last;   // last frame inside
};

// Spans in which the host's volume was below startVolume or the recording was paused.
std::vector<Span> ReactionSpans(const std::vector<Command>& log,
                                int32_t startVolume,
                                int64_t frameCount);

// EDL lines "start end 3" (seconds, commercial break) that media players skip.
void WriteEdl(FILE* f, const std::vector<Span>& spans, double fps);

// Truth file: lines "first last ..." (frames, inclusive); '#' starts a comment.
std::vector<Span> ReadTruth(const std::string& path);
// The truth file's lines with their comments cut off.
std::vector<std::string> TruthLines(const std::string& path);

// Frames counted in both sets of spans.
int64_t OverlapFrames(const std::vector<Span>& a, const std::vector<Span>& b);
int64_t SpanFrames(const std::vector<Span>& spans);

}  // namespace zunkhost
