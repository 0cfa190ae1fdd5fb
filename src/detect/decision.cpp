// The arithmetic of the presence decision.
#include "detect/decision.h"

#include "base/mul_div.h"

namespace zunk {

int32_t DampedOnSpeed(int32_t on, int32_t scoreContrast, int32_t matchPercent, int32_t matchLevel) {
  if (scoreContrast < 64)
    on = MulDiv(on, scoreContrast, 100);
  if (matchPercent < matchLevel) {
    // matchLevel > matchPercent >= 0 here, so the division is safe; 64-bit for huge levels.
    int64_t f = 3 * int64_t{matchPercent} - 2 * int64_t{matchLevel};
    if (f < 0)
      f = 0;
    on = MulDiv(on, static_cast<int32_t>(f), matchLevel);
  }
  return on;
}

PresenceStep StepPresence(const PresenceState& s, int32_t detectLevel) {
  PresenceStep step = {s, s.lastDecision, false};
  if (s.holdOff > 0) {
    --step.next.holdOff;
    return step;
  }
  const int32_t d = s.confidence < detectLevel ? 1 : 0;
  step.decision = d;
  step.next.lastDecision = d;
  if (d != s.reactionState) {
    step.next.holdOff = 12;
    step.next.messageFadeCounter = 25;
    step.changed = true;
  }
  step.next.reactionState = d;
  return step;
}

int32_t NextConfidence(int32_t confidence, int32_t logoFound, int32_t on, int32_t off) {
  int64_t c = int64_t{confidence} + (logoFound ? int64_t{on} : -int64_t{off});
  if (c > 100)
    c = 100;
  if (c < 0)
    c = 0;
  return static_cast<int32_t>(c);
}

}  // namespace zunk
