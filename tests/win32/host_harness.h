// A test host: loads the built module by its path, as the host application does, and
// counts the process's GDI objects.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "plugin/host_records.h"

namespace zunktest {

struct LoadedPlugin {
  HMODULE module = nullptr;
  zunk::PluginVersionFn version = nullptr;
  zunk::PluginDescriptorFn descriptor = nullptr;

  bool Load() {
    module = LoadLibraryA(ZUNK_DLL_PATH);
    if (!module)
      return false;
    version = reinterpret_cast<zunk::PluginVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "Quintora_Plugin_Version")));
    descriptor = reinterpret_cast<zunk::PluginDescriptorFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "Quintora_Plugin_PR")));
    return version && descriptor;
  }
  void Unload() {
    if (module)
      FreeLibrary(module);
    module = nullptr;
  }
};

// Live GDI objects of the process. GetGuiResources where the system has it; otherwise
// (Wine) every handle slot is probed by its index, which the GDI handle table accepts.
inline int CountGdiObjects() {
  SetLastError(0);
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n != 0 || GetLastError() == 0)
    return static_cast<int>(n);
  int count = 0;
  for (ULONG_PTR i = 1; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)))
      ++count;
  return count;
}

// The module keeps its settings in "Plugins" beside the host's executable: here, the test.
inline std::string PluginsFolder() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1) + "Plugins\\";
}

inline std::string SettingsPath() {
  return PluginsFolder() + "Zunk_LogoDetector.ini";
}

inline void WriteSettings(const std::string& bytes) {
  CreateDirectoryA(PluginsFolder().c_str(), nullptr);
  std::ofstream(SettingsPath(), std::ios::binary) << bytes;
}

inline std::string ReadSettings() {
  std::ifstream in(SettingsPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zunktest
