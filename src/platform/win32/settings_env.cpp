// Where the host keeps its settings: system version, the host's registry choice, the
// application-data folder, the host's executable and command line, folder creation and
// the one-step replacement of the settings file.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

VersionFamily QueryVersion(int extended) {
  (void)extended;
  return kVersionUnknown;
}
int ReadMachineDword(const char*, const char*, uint32_t*) { return 0; }
int AppDataFolder(char*, size_t) { return 0; }
int HostExecutablePath(char*, size_t) { return 0; }
int ModulePath(char*, size_t) { return 0; }
const char* CommandLine() { return ""; }
int CreateFolder(const char*) { return 0; }
int ReplaceFile(const char*, const char*) { return 0; }

}  // namespace win32
}  // namespace zunk
