// The host's side of the command protocol.
#include "session/host_state.h"

#include <cstdio>

#include "host/host_commands.h"

namespace zunkhost {

HostState& Host() {
  static HostState state;
  return state;
}

intptr_t HandleHostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, bool posted) {
  HostState& h = Host();
  if (message != zunk::HostCommandMessage)
    return 0;
  h.log.push_back({h.currentFrame, message, static_cast<uint32_t>(wParam),
                   static_cast<int64_t>(lParam), posted});
  switch (wParam) {
    case zunk::HostCmdGetVersion:
      return static_cast<intptr_t>(h.version);
    case zunk::HostCmdGetVolume:
      return h.volume;
    case zunk::HostCmdSetVolume:
      h.volume = static_cast<int32_t>(lParam);
      return 0;
    case zunk::HostCmdPauseRecording:
      h.paused = true;
      return 0;
    case zunk::HostCmdResumeRecording:
      h.paused = false;
      return 0;
    case zunk::HostCmdTogglePause:
      h.paused = !h.paused;
      return 0;
    default:
      return 0;
  }
}

std::string CommandName(uint32_t command) {
  switch (command) {
    case zunk::HostCmdGetVersion:
      return "GetVersion";
    case zunk::HostCmdGetVolume:
      return "GetVolume";
    case zunk::HostCmdSetVolume:
      return "SetVolume";
    case zunk::HostCmdPauseRecording:
      return "PauseRecording";
    case zunk::HostCmdResumeRecording:
      return "ResumeRecording";
    case zunk::HostCmdTogglePause:
      return "TogglePause";
    default: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "0x%X", command);
      return buf;
    }
  }
}

}  // namespace zunkhost
