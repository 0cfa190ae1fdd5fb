// Fuzz target of the settings file reader: any bytes load, every section search ends,
// every text loaded comes from the input or from the built-in defaults, and reading a
// section's table at once gives what looking its keys up one by one gives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/setting_table.h"

namespace {

using namespace zunk;

std::vector<std::string> StagedFields() {
  std::vector<std::string> out;
  std::string text;
  for (const SettingDef& row : SettingTable) {
    FormatSetting(row.kind, row.target, &text);
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
  std::string text;
  for (const std::string& section : sections) {
    table.LoadTable(section, SettingTable, kSettingCount);
    const std::vector<std::string> fromTable = StagedFields();
    for (const SettingDef& row : SettingTable) {
      if (keys.ReadValue(section, row.key, &text))
        StoreSettingText(row.kind, row.target, text);
      else
        StoreSettingDefault(row);
    }
    if (StagedFields() != fromTable || table.SectionCursor != keys.SectionCursor)
      std::abort();
  }
  StagingProfile = ChannelProfile{};
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
  return 0;
}
