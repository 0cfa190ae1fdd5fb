// The frame pipeline: ProcessFrame takes each frame in order through the skips, the change
// of channel, matching, the presence step, the reactions, the drawing, and the values it
// leaves for the dialog and for tools. It runs with the module lock held.
#pragma once

#include <cstdint>

#include "host/frame_trace.h"
#include "host/host_records.h"

namespace zunk {

// The descriptor's frame operation: 1 when the frame was matched (and may have been
// changed), 0 when it passed unchanged.
int32_t ProcessFrame(FrameInfo* frame);

// Frames still to ignore after Start (5 while recording, else 0) and after a change of
// channel (24). Start sets StartSkip; the pipeline counts both down.
extern int32_t StartSkip;
extern int32_t ChangeSkip;
// The values of the last frame that reached the decision.
extern FrameTrace LastFrameTrace;

}  // namespace zunk
