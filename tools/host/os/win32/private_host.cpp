// Keeping the emulated host apart from the real one on Windows. The plug-in takes the
// folder of the program that loaded it for the host's program folder, and reads the
// host's registry choice and looks for the host's main window system-wide. So a run
// copies this program into a temporary folder of its own and runs the copy, which reads
// the machine registry through an empty private key and keeps its window on a desktop
// of its own; the folder, the key and the desktop are gone when the run ends.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/host_os.h"

namespace zunkhost {
namespace {

const char kPrivateMark[] = "ZUNK_HOST_PRIVATE_FOLDER";

HKEY privateKey = nullptr;
std::string privateKeyName;
HDESK desktop = nullptr;

// The command line after the program's own name.
std::string ArgumentsOf(const char* line) {
  const char* p = line;
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p)
      ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t')
      ++p;
  }
  return p;
}

std::string Quoted(const std::string& s) {
  return "\"" + s + "\"";
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..")
        continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

bool NeedsPrivateFolder() {
  return GetEnvironmentVariableA(kPrivateMark, nullptr, 0) == 0;
}

int RunInPrivateFolder(const std::vector<std::string>& extra) {
  char temp[MAX_PATH], self[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH || !GetModuleFileNameA(nullptr, self, MAX_PATH)) {
    std::fprintf(stderr, "zunk-host: no temporary folder\n");
    return 1;
  }
  std::string folder;
  for (int i = 0; i < 100 && folder.empty(); ++i) {
    std::string f = std::string(temp) + "zunk-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(i);
    if (CreateDirectoryA(f.c_str(), nullptr))
      folder = f;
  }
  const std::string copy = folder + "\\zunk-host.exe";
  if (folder.empty() || !CopyFileA(self, copy.c_str(), TRUE)) {
    std::fprintf(stderr, "zunk-host: cannot make a private folder in %s\n", temp);
    if (!folder.empty())
      RemoveFolder(folder);
    return 1;
  }
  std::string line = Quoted(copy) + ArgumentsOf(GetCommandLineA());
  for (const std::string& e : extra)
    line += " " + Quoted(e);
  SetEnvironmentVariableA(kPrivateMark, folder.c_str());
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  std::fflush(nullptr);
  DWORD code = 1;
  if (CreateProcessA(copy.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                     &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    std::fprintf(stderr, "zunk-host: cannot start %s\n", copy.c_str());
  }
  SetEnvironmentVariableA(kPrivateMark, nullptr);
  // The copy may stay locked for a moment after its process ended.
  for (int i = 0; i < 50; ++i) {
    RemoveFolder(folder);
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
      break;
    Sleep(100);
  }
  return static_cast<int>(code);
}

void EnterHostIsolation() {
  // The machine registry, as the plug-in reads it, is an empty key of this run: the
  // host's choice of a per-user folder reads as unset, so a real user's settings are
  // never taken.
  privateKeyName = "Software\\Zunk_LogoDetector host " + std::to_string(GetCurrentProcessId());
  if (RegCreateKeyExA(HKEY_CURRENT_USER, privateKeyName.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &privateKey, nullptr) == ERROR_SUCCESS) {
    if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, privateKey) != ERROR_SUCCESS)
      std::fprintf(stderr, "zunk-host: warning: the machine registry is not kept apart\n");
  }
  // A desktop of its own: the plug-in finds this host's window and no other, and no
  // other program's plug-in finds it.
  const std::string name = "zunk-host-" + std::to_string(GetCurrentProcessId());
  desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (!desktop || !SetThreadDesktop(desktop))
    std::fprintf(stderr, "zunk-host: warning: the host window shares the desktop\n");
}

void LeaveHostIsolation() {
  if (privateKey) {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(privateKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, privateKeyName.c_str());
    privateKey = nullptr;
  }
}

}  // namespace zunkhost
