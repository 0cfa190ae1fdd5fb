// GetVolume, SetVolume and the preview reaction. Hosts from version 0x4000A on take the
// volume commands; older ones (and no host at all) have the mixer changed instead.
#include "react/volume.h"

#include "host/host_commands.h"
#include "react/mixer.h"
#include "settings/ini_store.h"

namespace zunk {

uint32_t SavedVolume = 0;

namespace {
bool HostTakesVolumeCommands() {
  return SettingsStore.HostVersion >= kHostVersionVolumeCommands;
}
}  // namespace

bool GetVolume(uint32_t* value) {
  if (HostTakesVolumeCommands()) {
    intptr_t answer = 0;
    const bool answered = Os().SendToWindow(SettingsStore.HostMainWindow, HostCommandMessage,
                                            HostCmdGetVolume, 0, &answer) != 0;
    *value = answered ? static_cast<uint32_t>(answer) : 0;
    return answered;
  }
  return MixerVolume(value);
}

bool SetVolume(uint32_t value) {
  if (HostTakesVolumeCommands()) {
    Os().PostToWindow(SettingsStore.HostMainWindow, HostCommandMessage, HostCmdSetVolume,
                      static_cast<intptr_t>(value));
    return true;
  }
  return SetMixerVolume(value);
}

bool LowerVolume(int32_t k) {
  uint32_t volume = 0;
  // The mixer path goes on without a value (it then sets nothing); the host's silence would
  // have the sound turned down to nothing and kept there.
  if (!GetVolume(&volume) && HostTakesVolumeCommands())
    return false;
  SavedVolume = volume;
  // Unsigned 32-bit arithmetic, the division truncating: k = 5 gives 0.
  SetVolume(SavedVolume - (SavedVolume * static_cast<uint32_t>(20 * k)) / 100);
  return true;
}

void RestoreVolume() {
  SetVolume(SavedVolume);
}

}  // namespace zunk
