// Loading the plug-in module with LoadLibrary.
#include <windows.h>

#include "session/plugin_module.h"

namespace zunkhost {

bool LoadPlugin(const std::string& path, PluginModule* m, std::string* error) {
  HMODULE h = LoadLibraryA(path.c_str());
  if (!h) {
    *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  m->handle = h;
  m->version = reinterpret_cast<zunk::PluginVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(h, "Quintora_Plugin_Version")));
  m->descriptor = reinterpret_cast<zunk::PluginDescriptorFn>(
      reinterpret_cast<void*>(GetProcAddress(h, "Quintora_Plugin_PR")));
  if (!m->version || !m->descriptor) {
    *error = path + ": the plug-in exports are missing";
    UnloadPlugin(m);
    return false;
  }
  return true;
}

void UnloadPlugin(PluginModule* m) {
  if (m->handle)
    FreeLibrary(static_cast<HMODULE>(m->handle));
  *m = PluginModule{};
}

}  // namespace zunkhost
