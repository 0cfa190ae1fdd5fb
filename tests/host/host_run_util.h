// Runs the built zunk-host with arguments and returns what it printed, in both builds.
#pragma once

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#define popen _popen
#define pclose _pclose
#endif

namespace zunktest {

inline std::string RunHost(const std::string& args) {
  std::string path = ZUNK_HOST_PATH;
#if defined(_WIN32)
  char full[MAX_PATH];
  if (GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr))
    path = full;
  for (char& c : path)
    if (c == '/')
      c = '\\';
#endif
  std::string output;
  FILE* p = popen(("\"" + path + "\" " + args).c_str(), "r");
  if (!p)
    return output;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    output.append(buf, n);
  pclose(p);
  return output;
}

}  // namespace zunktest
