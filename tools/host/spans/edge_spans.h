// Break spans from the logo's own edges, frame by frame over a whole recording: each frame
// shows the logo (its edges stand out at its place), lacks it (edges elsewhere stand out
// more, or the logo's place is flat where the logo's edges are usually strong and the
// colours do not match it either), or cannot tell (a flat or weakly textured picture:
// a white logo over white, black frames). The states are smoothed; frames that cannot tell
// belong to a break next to them, else to the programme; breaks shorter than an advert and
// programme stretches shorter than a moment between two breaks are taken back.
#pragma once

#include <cstdint>
#include <vector>

#include "spans/span.h"

namespace zunkhost {

// One frame's evidence: the logo edges' strength near the place and away from it (see
// EdgeEvidence), and the plug-in's match percentage when it matched the frame.
struct EdgeFrame {
  int32_t nearBest = 0;
  int32_t farBest = 0;
  int32_t matchPercent = -1;  // -1: not matched
};

enum EdgeState : int8_t { kEdgeUnknown = -1, kEdgeShown = 0, kEdgeGone = 1 };

// The state of each frame on its own. `typical` is the logo's usual edge strength (see
// TypicalEdgeStrength); `matchLevel` the channel's LogoMatchLevel.
std::vector<int8_t> EdgeStates(const std::vector<EdgeFrame>& frames,
                               int32_t typical,
                               int32_t matchLevel);

// The median edge strength near the place over the frames that clearly show the logo; 0
// when none does.
int32_t TypicalEdgeStrength(const std::vector<EdgeFrame>& frames);

// The breaks of a recording of frames.size() frames at `fps` frames a second, or nothing
// when no frame could tell (then *told is false).
std::vector<Span> EdgeBreaks(const std::vector<EdgeFrame>& frames,
                             int32_t matchLevel,
                             double fps,
                             bool* told);

}  // namespace zunkhost
