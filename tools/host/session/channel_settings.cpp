// Reading and writing channel sections with the plug-in's IniStore.
#include "session/channel_settings.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "plugin/module_state.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/setting_table.h"

namespace zunkhost {
namespace {

// The file's bytes; a missing file, or none named, reads as empty.
bool ReadBytes(const std::string& path, std::string* bytes, bool* exists) {
  if (path.empty()) {
    bytes->clear();
    *exists = false;
    return true;
  }
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

// Loads the file, lets `edit` change the channel's profile (added with a new channel's
// values when the file has none) and rewrites the file. The first section with the key is
// the one the plug-in uses.
template <typename Edit>
bool EditChannel(const std::string& path, int64_t key, Edit edit, std::string* error) {
  zunk::IniStore store;
  if (!LoadAll(&store, path)) {
    *error = "cannot read " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  size_t i = 0;
  while (i < zunk::Profiles.size() && zunk::Profiles[i].ChannelKey != key)
    ++i;
  if (i == zunk::Profiles.size()) {
    zunk::Profiles.push_back(zunk::DefaultProfile);
    zunk::Profiles.back().ChannelKey = key;
  }
  if (!edit(&zunk::Profiles[i]))
    return false;
  // No host is asked which channels to keep: every section stays.
  zunk::ChannelCheckCallback = nullptr;
  if (!store.SaveProfiles()) {
    *error = "cannot write " + path;
    return false;
  }
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
  return EditChannel(
      path, key,
      [&](zunk::ChannelProfile* p) {
        p->LogoFileName = logo.fileName;
        p->LogoPosX = logo.x;
        p->LogoPosY = logo.y;
        p->ColorKey = logo.colorKey;
        // The learned key is the colour the template's background is painted in.
        p->LeftTopPixelColor = 0;
        return true;
      },
      error);
}

bool WriteChannelValues(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* error) {
  return EditChannel(
      path, key,
      [&](zunk::ChannelProfile* p) {
        for (const SettingValue& v : values) {
          const zunk::ProfileSetting* row = zunk::FindSetting(v.key);
          if (!row) {
            *error = "no setting " + v.key;
            return false;
          }
          zunk::StoreSettingText(row->kind, zunk::SettingField(*row, p), v.text);
        }
        p->ChannelKey = key;
        return true;
      },
      error);
}

}  // namespace zunkhost
