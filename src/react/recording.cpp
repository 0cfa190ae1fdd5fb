// Pausing and resuming the recording: commands posted to the host's window. Hosts older
// than 0x3003C only know the toggle; whether the recording is paused is the host's to know.
#include "react/recording.h"

#include "host/host_commands.h"
#include "platform/platform.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {

void PostRecordCommand(int32_t pause) {
  uint32_t command = HostCmdTogglePause;
  if (SettingsStore.HostVersion >= kHostVersionPauseResume)
    command = pause ? HostCmdPauseRecording : HostCmdResumeRecording;
  Os().PostToWindow(SettingsStore.HostMainWindow, HostCommandMessage, command, 0);
}

void ChannelChangeRecordHook(int32_t recording) {
  const ChannelProfile* p = CurrentProfile();
  // Recording only the breaks: the new channel starts with its logo counted present.
  if (recording && p && p->RecordAction == 2)
    QueueReaction(kPauseRecording, 0);
}

}  // namespace zunk
