// File-system services on Windows.
#include <windows.h>

#include <cstdlib>

#include "host_os.h"

namespace zunkhost {

const char kPluginFileName[] = "Zunk_LogoDetector.dll";

std::string ExecutableFolder() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return ".\\";
  std::string p(buf, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH];
  return _fullpath(buf, path.c_str(), MAX_PATH) ? std::string(buf) : path;
}

bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

}  // namespace zunkhost
