// Loads the plug-in module and finds its two exports, as the host does.
#pragma once

#include <string>

#include "host/frame_trace.h"
#include "host/host_records.h"

namespace zunkhost {

struct PluginModule {
  void* handle = nullptr;
  zunk::PluginVersionFn version = nullptr;
  zunk::PluginDescriptorFn descriptor = nullptr;
  // Native modules only: the values of the last frame that reached the decision.
  const zunk::FrameTrace* (*trace)() = nullptr;
};

// Returns false with a message in *error when the module or an export is missing.
bool LoadPlugin(const std::string& path, PluginModule* module, std::string* error);
void UnloadPlugin(PluginModule* module);

}  // namespace zunkhost
