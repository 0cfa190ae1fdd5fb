// Puts a settings file where the plug-in looks for it: "Plugins" under the host's folder
// (Windows) or under a private data folder of this run (POSIX, so that runs side by side
// never share a file), under "Instances/N" for a numbered instance. Bare template file
// names are made absolute against the settings file's own folder, so a sample travels
// with its bitmap.
#pragma once

#include <string>

namespace zunkhost {

// Returns the installed file's path, or "" with a message in *error.
std::string InstallSettings(const std::string& source,
                            const std::string& instance,
                            std::string* error);

// Removes the private data folder (POSIX), with the plug-in's copy of the settings.
void RemoveInstalledSettings();

// Text of a cp1251 string as UTF-8, for printing.
std::string Cp1251ToUtf8(const char* s);

}  // namespace zunkhost
