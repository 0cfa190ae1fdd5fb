// Reading and writing channel sections through the plug-in's settings codec.
#include "session/channel_settings.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "settings/ini_text.h"
#include "settings/profile_codec.h"
#include "settings/setting_table.h"
#include "settings/settings_document.h"
#include "spans/output_files.h"

namespace zunkhost {
namespace {

// The file's bytes; a missing file, or none named, reads as empty.
bool ReadBytes(const std::string& path, std::string* bytes) {
  bytes->clear();
  if (path.empty())
    return true;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return errno == ENOENT;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return !in.bad();
}

const zunk::ProfileSetting* RowOf(const std::string& key) {
  for (const zunk::ProfileSetting& r : zunk::SettingTable)
    if (key == r.key)
      return &r;
  return nullptr;
}

// The channel's profile and whether the plug-in reads a section for it.
bool ChannelProfileOf(const zunk::SettingsDocument& doc, int64_t key, zunk::ChannelProfile* out) {
  if (zunk::ReadProfile(doc, zunk::FormatInt64(key), out))
    return true;
  *out = zunk::ReadSettings(doc).defaults;
  return false;
}

}  // namespace

bool ReadChannelProfile(const std::string& path, int64_t key, zunk::ChannelProfile* out) {
  std::string bytes;
  if (!ReadBytes(path, &bytes))
    return false;
  ChannelProfileOf(zunk::ParseSettings(bytes), key, out);
  out->ChannelKey = key;
  return true;
}

bool ChannelValuesBytes(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* bytes,
                        std::string* error) {
  std::string old;
  if (!ReadBytes(path, &old)) {
    *error = "cannot read " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  zunk::ChannelProfile p;
  const bool hasSection = ChannelProfileOf(zunk::ParseSettings(old), key, &p);
  std::vector<const zunk::ProfileSetting*> rows;
  for (const SettingValue& v : values) {
    const zunk::ProfileSetting* row = RowOf(v.key);
    if (!row) {
      *error = "no setting " + v.key;
      return false;
    }
    zunk::StoreSettingText(row->kind, zunk::SettingField(*row, &p), v.text);
    rows.push_back(row);
  }
  // A new section carries every row, in the plug-in's order; an existing one only the
  // keys given.
  if (!hasSection) {
    rows.clear();
    for (const zunk::ProfileSetting& r : zunk::SettingTable)
      rows.push_back(&r);
  }
  std::vector<std::pair<std::string, std::string>> texts;
  for (const zunk::ProfileSetting* row : rows) {
    std::string text;
    zunk::FormatSetting(row->kind, zunk::SettingField(*row, p), &text);
    texts.emplace_back(row->key, text);
  }
  *bytes = zunk::SetSectionValues(old, zunk::FormatInt64(key), texts);
  return true;
}

bool WriteChannelValues(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* error) {
  std::string bytes;
  if (!ChannelValuesBytes(path, key, values, &bytes, error))
    return false;
  OutputSet out;
  FILE* f = out.Open(path, error);
  if (!f)
    return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) {
    *error = "cannot write " + path;
    return false;
  }
  return out.Commit(error);
}

}  // namespace zunkhost
