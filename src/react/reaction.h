// The reactions to a change of the presence decision.
#pragma once

#include <cstdint>

namespace zunk {

// absent = 1 when the logo has gone (lower the sound, pause or resume the recording),
// 0 when it is back (undo).
void ApplyReaction(int32_t absent);

}  // namespace zunk
