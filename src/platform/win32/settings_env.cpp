// Where the host keeps its settings: system version, the host's registry choice, the
// application-data folder, the host's executable and command line, folder creation.
#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version record");

VersionFamily FamilyOf(DWORD platformId) {
  return platformId == VER_PLATFORM_WIN32_NT ? kVersionNt : kVersionWin9x;
}

// Copies a zero-terminated path into the caller's buffer when it fits.
int CopyOut(const char* path, char* buf, size_t size) {
  size_t n = std::strlen(path);
  if (n == 0 || n + 1 > size)
    return 0;
  std::memcpy(buf, path, n + 1);
  return 1;
}

int ModuleFileName(HMODULE module, char* buf, size_t size) {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH)
    return 0;  // failed, or cut short
  path[n] = '\0';
  return CopyOut(path, buf, size);
}

}  // namespace

VersionFamily QueryVersion(int extended) {
  if (extended) {
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
      return kVersionUnknown;
    return FamilyOf(info.dwPlatformId);
  }
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info))
    return kVersionUnknown;
  return FamilyOf(info.dwPlatformId);
}

int ReadMachineDword(const char* key, const char* value, uint32_t* out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return 0;
  // Four bytes, whatever the value's type; a shorter value fills the low bytes.
  DWORD number = 0;
  DWORD size = sizeof number;
  LONG result =
      RegQueryValueExA(handle, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS)
    return 0;  // missing, or longer than four bytes
  *out = number;
  return 1;
}

int AppDataFolder(char* buf, size_t size) {
  char path[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE))
    return 0;
  return CopyOut(path, buf, size);
}

int HostExecutablePath(char* buf, size_t size) {
  return ModuleFileName(nullptr, buf, size);
}

int ModulePath(char* buf, size_t size) {
  return ModuleFileName(ModuleInstance(), buf, size);
}

const char* CommandLine() {
  const char* line = GetCommandLineA();
  return line ? line : "";
}

int CreateFolder(const char* path) {
  return CreateDirectoryA(path, nullptr) ? 1 : 0;
}

}  // namespace win32
}  // namespace zunk
