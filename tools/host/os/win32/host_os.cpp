// File-system services on Windows.
#include <windows.h>

#include <process.h>

#include <cstdio>
#include <cstdlib>

#include "os/host_os.h"

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

bool MoveFileOver(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string SettingsBaseFolder() {
  return ExecutableFolder();
}

void RemoveSettingsBaseFolder() {}

// One at a time: the Windows build runs under Wine for tests, where a single run is the
// common case. Output goes straight through.
std::vector<int> RunSelf(const std::vector<std::vector<std::string>>& commands, int jobs) {
  (void)jobs;
  std::vector<int> codes;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  for (const auto& args : commands) {
    std::vector<std::string> quoted;
    quoted.push_back(std::string("\"") + self + "\"");
    for (const std::string& a : args)
      quoted.push_back("\"" + a + "\"");
    std::vector<const char*> argv;
    for (const std::string& q : quoted)
      argv.push_back(q.c_str());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    intptr_t code = _spawnv(_P_WAIT, self, argv.data());
    codes.push_back(code < 0 ? 1 : static_cast<int>(code));
  }
  return codes;
}

int ProcessId() {
  return static_cast<int>(GetCurrentProcessId());
}

}  // namespace zunkhost
