// The system mixer's speaker volume, for hosts too old to take volume commands.
#pragma once

#include <cstdint>

namespace zunk {

// The speaker line's volume control, found by OpenMixer.
extern uint32_t VolumeControlId;

// Init: opens mixer device 0 and finds its speaker volume control. Without a mixer,
// a speaker line or a volume control the volume is never changed.
void OpenMixer();
// Exit.
void CloseMixer();

// The control's current value; false (and 0) without a mixer or when it cannot be read.
bool MixerVolume(uint32_t* value);
// Sets the control's value; false when nothing was set.
bool SetMixerVolume(uint32_t value);

}  // namespace zunk
