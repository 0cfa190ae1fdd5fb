// Reading and writing channel sections with the plug-in's IniStore.
#include "channel_settings.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "plugin/module_state.h"
#include "settings/ini_store.h"

namespace zunkhost {
namespace {

// The file's bytes; a missing file reads as empty.
bool ReadBytes(const std::string& path, std::string* bytes, bool* exists) {
  std::ifstream in(path, std::ios::binary);
  *exists = static_cast<bool>(in);
  bytes->clear();
  if (!in)
    return errno == ENOENT;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return !in.bad();
}

// Loads every profile of the file into the store's tables, as Init does.
bool LoadAll(zunk::IniStore* store, const std::string& path) {
  std::string bytes;
  bool exists = false;
  if (!ReadBytes(path, &bytes, &exists))
    return false;
  store->FullPath = path;
  store->OpenBytes(bytes);
  store->ReadProfiles();
  store->Close();
  return true;
}

}  // namespace

bool ReadChannelProfile(const std::string& path, int64_t key, zunk::ChannelProfile* out) {
  zunk::IniStore store;
  if (!LoadAll(&store, path))
    return false;
  *out = zunk::DefaultProfile;
  for (const zunk::ChannelProfile& p : zunk::Profiles)
    if (p.ChannelKey == key) {
      *out = p;
      break;
    }
  out->ChannelKey = key;
  return true;
}

bool WriteChannelLogo(const std::string& path,
                      int64_t key,
                      const LearnedLogo& logo,
                      std::string* error) {
  zunk::IniStore store;
  if (!LoadAll(&store, path)) {
    *error = "cannot read " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  // The first section with the key is the one the plug-in uses.
  size_t i = 0;
  while (i < zunk::Profiles.size() && zunk::Profiles[i].ChannelKey != key)
    ++i;
  if (i == zunk::Profiles.size()) {
    zunk::Profiles.push_back(zunk::DefaultProfile);
    zunk::Profiles.back().ChannelKey = key;
  }
  zunk::ChannelProfile& p = zunk::Profiles[i];
  p.LogoFileName = logo.fileName;
  p.LogoPosX = logo.x;
  p.LogoPosY = logo.y;
  p.ColorKey = logo.colorKey;
  // The learned key is the colour the template's background is painted in.
  p.LeftTopPixelColor = 0;
  // No host is asked which channels to keep: every section stays.
  zunk::ChannelCheckCallback = nullptr;
  if (!store.SaveProfiles()) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace zunkhost
