// The mixer handle and its volume control, opened at Init and closed at Exit.
#include "react/mixer.h"

#include "platform/platform.h"

namespace zunk {

uint32_t VolumeControlId = 0;

namespace {
uintptr_t mixer = 0;
}  // namespace

void OpenMixer() {
  CloseMixer();
  mixer = Os().MixerOpen();
  if (!mixer)
    return;
  // Without a speaker line or its volume control the handle stays open and the control
  // identifier keeps its value.
  Os().MixerVolumeControl(mixer, &VolumeControlId);
}

void CloseMixer() {
  if (mixer)
    Os().MixerClose(mixer);
  mixer = 0;
}

bool MixerVolume(uint32_t* value) {
  *value = 0;
  uint32_t v = 0;
  if (!mixer || !Os().MixerGetValue(mixer, VolumeControlId, &v))
    return false;
  *value = v;
  return true;
}

bool SetMixerVolume(uint32_t value) {
  return mixer && Os().MixerSetValue(mixer, VolumeControlId, value) != 0;
}

}  // namespace zunk
