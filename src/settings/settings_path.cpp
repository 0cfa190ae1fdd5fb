// Where the settings file lives: the host's "Plugins" folder, under the program folder
// or the user's application data, one folder per numbered host instance.
#include <string>
#include <string_view>

#include "settings/ini_store.h"

namespace zunk {

namespace {

constexpr char kHostRegistryKey[] = "SOFTWARE\\Quintora";
constexpr char kStoreInUsersFolder[] = "StoreInUsersFolder";
constexpr char kHostDataFolder[] = "Quintora";
constexpr char kInstancesFolder[] = "Instances";
constexpr char kPluginsFolder[] = "Plugins";
constexpr char kFallbackModuleName[] = "Zunk_LogoDetector";
constexpr size_t kPathBuffer = 1024;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The module's file name without folder and extension.
std::string BaseNameOfModule() {
  char buf[kPathBuffer] = {};
  if (!Os().ModulePath(buf, sizeof buf) || !buf[0])
    return kFallbackModuleName;
  std::string_view path(buf);
  size_t slash = path.size();
  while (slash > 0 && !IsSeparator(path[slash - 1]))
    --slash;
  std::string_view name = path.substr(slash);
  size_t dot = name.rfind('.');
  if (dot != std::string_view::npos)
    name = name.substr(0, dot);
  return name.empty() ? std::string(kFallbackModuleName) : std::string(name);
}

// The character after the first occurrence of `option`; empty when the option ends
// the line; nothing changes when the option is absent.
void TakeInstance(const std::string& lowerCommandLine, const char* option, std::string* out) {
  size_t at = lowerCommandLine.find(option);
  if (at == std::string::npos)
    return;
  *out = lowerCommandLine.substr(at + std::char_traits<char>::length(option), 1);
}

}  // namespace

void IniStore::ResolveSettingsPath() {
  InstanceNumber.clear();
  SettingsFolder.clear();
  ModuleBaseName.clear();
  FileName.clear();
  FullPath.clear();
  const Platform& os = Os();
  const char sep = os.pathSeparator;

  VersionFamily family = os.QueryVersion(1);
  if (family == kVersionUnknown)
    family = os.QueryVersion(0);
  if (family == kVersionUnknown)
    return;

  uint32_t storeInUsersFolder = 0;
  if (!os.ReadMachineDword(kHostRegistryKey, kStoreInUsersFolder, &storeInUsersFolder))
    storeInUsersFolder = 0;

  char buf[kPathBuffer] = {};
  std::string folder;
  if (family == kVersionNt && storeInUsersFolder != 0) {
    // Without the application-data folder there is no settings file this session:
    // nothing is read and nothing is written.
    if (!os.AppDataFolder(buf, sizeof buf) || !buf[0])
      return;
    folder = buf;
    folder += sep;
    folder += kHostDataFolder;
    folder += sep;
  } else {
    if (!os.HostExecutablePath(buf, sizeof buf) || !buf[0])
      return;
    folder = buf;
    size_t slash = folder.size();
    while (slash > 0 && !IsSeparator(folder[slash - 1]))
      --slash;
    folder.resize(slash);
  }

  // The switches are found in any letter case; "/inst:" wins over "-inst:".
  const char* commandLine = os.CommandLine();
  std::string lower = commandLine ? commandLine : "";
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  TakeInstance(lower, "-inst:", &InstanceNumber);
  TakeInstance(lower, "/inst:", &InstanceNumber);
  if (!InstanceNumber.empty()) {
    folder += kInstancesFolder;
    folder += sep;
    folder += InstanceNumber;
    folder += sep;
  }

  folder += kPluginsFolder;
  folder += sep;
  os.CreateFolder(folder.c_str());  // one level; fails harmlessly when it exists

  SettingsFolder = folder;
  ModuleBaseName = BaseNameOfModule();
  FileName = ModuleBaseName + ".ini";
  FullPath = SettingsFolder + FileName;
}

std::string IniStore::BesideSettingsFile(std::string_view name) const {
  if (name.empty() || SettingsFolder.empty())
    return std::string();
  for (char c : name) {
    if (IsSeparator(c) || c == ':')
      return std::string();
  }
  return SettingsFolder + std::string(name);
}

}  // namespace zunk
