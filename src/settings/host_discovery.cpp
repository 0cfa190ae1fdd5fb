// The host's main window and version, found afresh at every stream start.
#include <string>

#include "host/host_commands.h"
#include "settings/ini_store.h"

namespace zunk {

void IniStore::FindHostWindows() {
  // A numbered instance titles its window "Quintora.Inst" and the number.
  std::string title = kHostWindowTitle;
  if (!InstanceNumber.empty())
    title = std::string(kHostInstanceTitlePrefix) + InstanceNumber;
  HostMainWindow = Os().FindWindowByClass(kHostWindowClass, title.c_str());
  // Without a window the version reads as 0.
  HostVersion = HostMainWindow ? static_cast<uint32_t>(Os().SendToWindow(
                                     HostMainWindow, HostCommandMessage, HostCmdGetVersion, 0))
                               : 0;
}

}  // namespace zunk
