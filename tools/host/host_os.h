// The few file-system services the emulator needs on each system.
#pragma once

#include <string>

namespace zunkhost {

std::string ExecutableFolder();  // with a trailing separator
std::string FullPath(const std::string& path);
bool MakeFolder(const std::string& path);
extern const char kPluginFileName[];  // the module's file name on this system

}  // namespace zunkhost
