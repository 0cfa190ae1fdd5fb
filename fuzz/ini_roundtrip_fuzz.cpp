// Fuzz target of the settings file round trip: whatever file was loaded, saving it and
// loading the saved file gives the same profiles (every field, in the same order) and the
// same dialog position, and saving that again writes the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/module_state.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/setting_table.h"

namespace {

using namespace zunk;

// Every persisted field of every profile, as text, with the dialog position first.
std::vector<std::string> Fields() {
  std::vector<std::string> out = {FormatInt32(DialogLeft), FormatInt32(DialogTop)};
  const ChannelProfile staged = StagingProfile;
  for (const ChannelProfile& p : Profiles) {
    out.push_back(FormatInt64(p.ChannelKey));
    StagingProfile = p;
    std::string text;
    for (const SettingDef& row : SettingTable) {
      FormatSetting(row.kind, row.target, &text);
      out.push_back(text);
    }
  }
  StagingProfile = staged;
  return out;
}

std::string FileBytes(const std::string& path) {
  std::string s;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
      s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

const std::string& SettingsPath() {
  static const std::string path = [] {
    std::error_code ec;
    std::filesystem::path folder = "/dev/shm";
    if (!std::filesystem::is_directory(folder, ec))
      folder = std::filesystem::temp_directory_path();
    return (folder / ("zunk_roundtrip_" + std::to_string(::getpid()) + ".ini")).string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ChannelCheckCallback = nullptr;  // every profile is kept
  IniStore store;
  store.FullPath = SettingsPath();
  store.OpenBytes(std::string(reinterpret_cast<const char*>(data), size));
  store.ReadProfiles();
  store.Close();
  const std::vector<std::string> loaded = Fields();

  if (!store.SaveProfiles())
    std::abort();
  const std::string saved = FileBytes(store.FullPath);
  store.LoadProfiles();
  if (Fields() != loaded)
    std::abort();
  if (!store.SaveProfiles() || FileBytes(store.FullPath) != saved)
    std::abort();
  std::remove(store.FullPath.c_str());
  return 0;
}
