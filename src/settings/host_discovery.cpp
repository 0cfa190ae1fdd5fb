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
  // Without a window, or without its answer, the version reads as 0.
  intptr_t version = 0;
  if (!HostMainWindow ||
      !Os().SendToWindow(HostMainWindow, HostCommandMessage, HostCmdGetVersion, 0, &version))
    version = 0;
  HostVersion = static_cast<uint32_t>(version);
}

}  // namespace zunk
