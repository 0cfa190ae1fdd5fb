// The frame pipeline: ProcessFrame takes each frame in order through the skips, the change
// of channel, matching, the presence step, the reactions, the drawing, and the values it
// leaves for the dialog and for tools. It runs with the module lock held.
#pragma once

#include <cstdint>

#include "detect/decision.h"
#include "host/frame_trace.h"
#include "host/host_records.h"

namespace zunk {

// The descriptor's frame operation: 1 when the frame was matched (and may have been
// changed), 0 when it passed unchanged.
int32_t ProcessFrame(FrameInfo* frame);

// The presence decision's state (detect/decision.h). The pipeline steps it under the
// module lock; Start, Stop and Exit end the reactions in force through EndReactionInForce.
extern PresenceState Presence;

// Frames still to ignore after Start (5 while recording, else 0) and after a change of
// channel (24). Start sets StartSkip; the pipeline counts both down.
extern int32_t StartSkip;
extern int32_t ChangeSkip;
// The dialog's test mode: while set, the patch hides the broadcast logo in every matched
// frame. Set by the dialog and cleared by Start, under the module lock.
extern int32_t SimulateLogoLoss;
// The values of the last frame that reached the decision.
extern FrameTrace LastFrameTrace;

// Undoes the reactions in force (Presence.reactionState 1) and clears the state: at a
// change of channel, at Stop, at Start (a Start that came without a Stop) and at Exit.
// Callers hold the lock through a ReactionLockScope (the frame's entry point holds one),
// which carries the undoing out once the lock is released.
void EndReactionInForce();

}  // namespace zunk
