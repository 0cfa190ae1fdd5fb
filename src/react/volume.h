// The sound while the logo is away during preview: through the host's window for hosts
// that take volume commands, through the system mixer for older ones.
#pragma once

#include <cstdint>

namespace zunk {

// The volume read when the logo last disappeared; kept between absences.
extern uint32_t SavedVolume;

// The current volume. Host path: the host's answer, or 0 and false when it gave none.
// Mixer path: the control's value, or 0 and false.
bool GetVolume(uint32_t* value);
// Host path: posted, nothing waited for, a success. Mixer path: whether it was set.
bool SetVolume(uint32_t value);

// PreviewAction k (1..5): saves the volume and lowers it by 20 * k per cent. A host that
// gave no answer has nothing saved or lowered: returns false then.
bool LowerVolume(int32_t k);
// Sets the saved volume again.
void RestoreVolume();

}  // namespace zunk
