// Settings environment stand-ins: executable folder, XDG application data, /proc.


#include "platform/posix/services.h"

namespace zunk {
namespace posix {

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

}  // namespace posix
}  // namespace zunk
