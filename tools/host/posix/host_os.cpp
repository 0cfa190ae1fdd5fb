// File-system services on POSIX.
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host_os.h"

namespace zunkhost {

const char kPluginFileName[] = "Zunk_LogoDetector.so";

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0)
    return "./";
  std::string p(buf, static_cast<size_t>(n));
  return p.substr(0, p.rfind('/') + 1);
}

std::string FullPath(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0755) == 0;
}

}  // namespace zunkhost
