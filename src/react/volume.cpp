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
    *value = static_cast<uint32_t>(
        Os().SendToWindow(SettingsStore.HostMainWindow, HostCommandMessage, HostCmdGetVolume, 0));
    return true;
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

void LowerVolume(int32_t k) {
  GetVolume(&SavedVolume);
  // Unsigned 32-bit arithmetic, the division truncating: k = 5 gives 0.
  SetVolume(SavedVolume - (SavedVolume * static_cast<uint32_t>(20 * k)) / 100);
}

void RestoreVolume() {
  SetVolume(SavedVolume);
}

}  // namespace zunk
