// Fuzz target of the settings file reader: any bytes load, every section search ends,
// every text loaded comes from the input or from the built-in defaults, and reading a
// section's table at once gives what looking its keys up one by one gives; the codec gives
// the bytes back and sets values where the plug-in reads them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/profile_codec.h"
#include "settings/setting_table.h"

namespace {

using namespace zunk;

// The setting table's rows bound to the fields of `p`.
std::vector<SettingDef> RowsOf(ChannelProfile* p) {
  std::vector<SettingDef> rows;
  for (const ProfileSetting& row : SettingTable)
    rows.push_back(BindSetting(row, p));
  return rows;
}

std::vector<std::string> FieldsOf(const ChannelProfile& p) {
  std::vector<std::string> out;
  std::string text;
  for (const ProfileSetting& row : SettingTable) {
    FormatSetting(row.kind, SettingField(row, p), &text);
    out.push_back(text);
  }
  return out;
}

// Every section the file names, read with LoadTable and key by key with ReadValue, from
// two readers that have made the same searches before.
void CheckTableReads(const std::string& input) {
  IniStore names, table, keys;
  names.OpenBytes(input);
  table.OpenBytes(input);
  keys.OpenBytes(input);
  std::vector<std::string> sections = {"DEFAULT", "COMMON", "no such section"};
  std::string name;
  while (sections.size() < 64 && names.NextSection(&name))
    sections.push_back(name);
  ChannelProfile fromTable, fromKeys;
  const std::vector<SettingDef> tableRows = RowsOf(&fromTable);
  const std::vector<SettingDef> keyRows = RowsOf(&fromKeys);
  std::string text;
  for (const std::string& section : sections) {
    table.LoadTable(section, tableRows.data(), tableRows.size());
    for (const SettingDef& row : keyRows) {
      if (keys.ReadValue(section, row.key, &text))
        StoreSettingText(row.kind, row.target, text);
      else
        StoreSettingDefault(row);
    }
    if (FieldsOf(fromKeys) != FieldsOf(fromTable) || table.SectionCursor != keys.SectionCursor)
      std::abort();
  }
}

// The codec gives the bytes back, and a value set in a section is what the plug-in then
// reads there, for "DEFAULT" and for the file's first channel.
void CheckCodec(const std::string& input) {
  const SettingsDocument doc = ParseSettings(input);
  if (FormatSettings(doc) != input)
    std::abort();
  std::vector<std::string> names = {"DEFAULT", "1"};
  const LoadedSettings loaded = ReadSettings(doc);
  if (!loaded.channels.empty())
    names.push_back(FormatInt64(loaded.channels.front().ChannelKey));
  for (const std::string& name : names) {
    const std::string edited = SetSectionValues(input, name, {{"LogoPosY", "-31"}});
    ChannelProfile p;
    if (!ReadProfile(ParseSettings(edited), name, &p) || p.LogoPosY != -31)
      std::abort();
  }
}

bool FromInputOrDefault(const std::string& text, const std::string& input, const char* def) {
  return text == def || input.find(text) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  IniStore store;
  store.OpenBytes(input);
  store.ReadProfiles();
  // Each channel comes from a header line of its own.
  if (Profiles.size() > static_cast<size_t>(std::count(input.begin(), input.end(), '\n')) + 1)
    std::abort();
  for (const ChannelProfile& p : Profiles) {
    if (!FromInputOrDefault(p.MsgString, input, kDefaultMsgString) ||
        !FromInputOrDefault(p.LogoFileName, input, kDefaultLogoFileName))
      std::abort();
  }
  store.Close();
  CheckTableReads(input);
  CheckCodec(input);
  return 0;
}
