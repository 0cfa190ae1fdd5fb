// Settings environment stand-ins: the system counts as NT family; the host's registry
// choice comes from the environment; application data is $XDG_CONFIG_HOME or
// ~/.config; the executable, the module and the command line come from /proc and the
// dynamic loader.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/services.h"

namespace zunk {
namespace posix {

namespace {

int CopyOut(const std::string& s, char* buf, size_t size) {
  if (s.empty() || s.size() + 1 > size)
    return 0;
  std::memcpy(buf, s.c_str(), s.size() + 1);
  return 1;
}

}  // namespace

VersionFamily QueryVersion(int) {
  return kVersionNt;
}

// There is no registry: HKLM\<key>\<value> is read from the environment variable
// ZUNK_REGISTRY_<value> (for instance ZUNK_REGISTRY_StoreInUsersFolder=1), a decimal
// number. The key is not part of the name.
int ReadMachineDword(const char*, const char* value, uint32_t* out) {
  std::string name = std::string("ZUNK_REGISTRY_") + value;
  const char* text = std::getenv(name.c_str());
  if (!text || !*text)
    return 0;
  *out = static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  return 1;
}

int AppDataFolder(char* buf, size_t size) {
  std::string folder;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home)
      return 0;
    folder = std::string(home) + "/.config";
  }
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return CopyOut(folder, buf, size);
}

int HostExecutablePath(char* buf, size_t size) {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0)
    return 0;
  return CopyOut(std::string(path, static_cast<size_t>(n)), buf, size);
}

int ModulePath(char* buf, size_t size) {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&ModulePath), &info) || !info.dli_fname)
    return 0;
  char resolved[4096];
  if (realpath(info.dli_fname, resolved))
    return CopyOut(resolved, buf, size);
  return CopyOut(info.dli_fname, buf, size);
}

// The arguments of /proc/self/cmdline joined with blanks, read once.
const char* CommandLine() {
  static const std::string line = [] {
    std::string s;
    if (std::FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
      char chunk[4096];
      size_t n;
      while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        s.append(chunk, n);
      std::fclose(f);
    }
    while (!s.empty() && s.back() == '\0')
      s.pop_back();
    for (char& c : s) {
      if (c == '\0')
        c = ' ';
    }
    return s;
  }();
  return line.c_str();
}

int CreateFolder(const char* path) {
  return mkdir(path, 0777) == 0 ? 1 : 0;
}

}  // namespace posix
}  // namespace zunk
