// The presence timeline as the host sees it: the advert breaks that the plug-in's volume
// and recording commands mark under the channel's actions, written as a summary and as an
// EDL file, and compared with a truth file of known advert breaks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "session/host_state.h"
#include "spans/span.h"

namespace zunkhost {

// What the channel's section asks of the plug-in at a break, and the kind of stream.
struct Reactions {
  bool recording = false;
  int32_t recordAction = 0;   // 1: paused while the logo is absent; 2: while it is present
  int32_t previewAction = 0;  // 1..5: the sound lowered while the logo is absent
};

// The breaks the commands mark. Recording: under RecordAction 1 a pause starts a break and
// a resume ends it; under 2 a resume starts one and a pause ends it; a toggle means what
// the host's state after it means. Preview under PreviewAction 1..5: the plug-in reads the
// level before it lowers it and sets the saved level back without reading, so a set after
// a read starts a break and a set without one ends it. Commands that mean nothing under
// the actions are passed over. A break still open at the end runs to the last frame.
std::vector<Span> ReactionSpans(const std::vector<Command>& log,
                                const Reactions& reactions,
                                int64_t frameCount);

// Whether the command is one of the reactions (volume set, pause, resume, toggle).
bool IsReactionCommand(uint32_t command);

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
