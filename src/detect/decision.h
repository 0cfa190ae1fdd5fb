// The presence decision: the record of its state, the step that evaluates it, and the
// arithmetic of how far the confidence moves on one frame. Pure: no state of its own.
#pragma once

#include <cstdint>

namespace zunk {

// The on-speed after damping: scaled by contrast / 100 below a contrast of 64, then by
// f / L with f = 3 * match - 2 * L (0 if negative) while the match is below the match
// level L. The off-speed is never damped.
int32_t DampedOnSpeed(int32_t on, int32_t scoreContrast, int32_t matchPercent, int32_t matchLevel);

// The decision's state. It lives with its owner, the frame pipeline
// (pipeline/frame_pipeline.h), which changes it under the module lock.
struct PresenceState {
  int32_t confidence;          // belief that the logo is present, 0..100
  int32_t reactionState;       // 1 while the reactions for an absent logo are in force
  int32_t lastDecision;        // the decision of the last evaluation
  int32_t holdOff;             // frames during which the decision is not re-evaluated
  int32_t messageFadeCounter;  // message frames of fade-in still to go, 25 down to 0
};

// One evaluation of the decision as a step over its state, with no effect beyond the
// record it returns: while the hold-off runs it counts down and the last decision stands;
// otherwise the logo is absent (1) when the confidence is below the detect level. A
// decision that differs from the reactions in force starts a hold-off of 12 frames and the
// message's fade-in of 25, and asks for the reactions.
struct PresenceStep {
  PresenceState next;
  int32_t decision;
  bool changed;  // the reactions for `decision` are to be applied
};
PresenceStep StepPresence(const PresenceState& s, int32_t detectLevel);

// The confidence after one matched frame: up by `on` when the logo was found, down by `off`
// otherwise, always kept within 0..100 (speeds come unchecked from the settings file).
int32_t NextConfidence(int32_t confidence, int32_t logoFound, int32_t on, int32_t off);

}  // namespace zunk
