// Commands the plug-in sends to the host's main window, and how that window is named.
#pragma once

#include <cstdint>

namespace zunk {

constexpr uint32_t kWmUser = 0x400;
constexpr uint32_t HostCommandMessage = kWmUser + 200;  // 0x4C8, the command in wParam

constexpr uint32_t HostCmdGetVersion = 0x51D;       // sent; result: the host's version
constexpr uint32_t HostCmdGetVolume = 0x519;        // sent; result: the current volume
constexpr uint32_t HostCmdSetVolume = 0x518;        // posted; lParam: the new volume
constexpr uint32_t HostCmdPauseRecording = 0x516;   // posted
constexpr uint32_t HostCmdResumeRecording = 0x517;  // posted
constexpr uint32_t HostCmdTogglePause = 0x509;      // posted

// Host versions from which the volume and the pause/resume commands are understood.
constexpr uint32_t kHostVersionVolumeCommands = 0x4000A;
constexpr uint32_t kHostVersionPauseResume = 0x3003C;

constexpr char kHostWindowClass[] = "TMain";
constexpr char kHostWindowTitle[] = "Quintora";
constexpr char kHostInstanceTitlePrefix[] = "Quintora.Inst";

}  // namespace zunk
