// Loading the plug-in module with dlopen.
#include <dlfcn.h>

#include "session/plugin_module.h"

namespace zunkhost {

bool LoadPlugin(const std::string& path, PluginModule* m, std::string* error) {
  m->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m->handle) {
    const char* e = dlerror();
    *error = e ? e : "cannot load " + path;
    return false;
  }
  m->version = reinterpret_cast<zunk::PluginVersionFn>(dlsym(m->handle, "Quintora_Plugin_Version"));
  m->descriptor =
      reinterpret_cast<zunk::PluginDescriptorFn>(dlsym(m->handle, "Quintora_Plugin_PR"));
  m->trace =
      reinterpret_cast<const zunk::FrameTrace* (*)()>(dlsym(m->handle, "ZunkLastFrameTrace"));
  if (!m->version || !m->descriptor) {
    *error = path + ": the plug-in exports are missing";
    UnloadPlugin(m);
    return false;
  }
  return true;
}

void UnloadPlugin(PluginModule* m) {
  if (m->handle)
    dlclose(m->handle);
  *m = PluginModule{};
}

}  // namespace zunkhost
