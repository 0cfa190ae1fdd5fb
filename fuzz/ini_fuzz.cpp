// Fuzz target of the settings file reader: any bytes load, every section search ends,
// and every text loaded comes from the input or from the built-in defaults.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/setting_table.h"

namespace {

bool FromInputOrDefault(const std::string& text, const std::string& input, const char* def) {
  return text == def || input.find(text) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  zunk::IniStore store;
  store.OpenBytes(input);
  store.ReadProfiles();
  // Each channel comes from a header line of its own.
  if (zunk::Profiles.size() > static_cast<size_t>(std::count(input.begin(), input.end(), '\n')) + 1)
    std::abort();
  for (const zunk::ChannelProfile& p : zunk::Profiles) {
    if (!FromInputOrDefault(p.MsgString, input, zunk::kDefaultMsgString) ||
        !FromInputOrDefault(p.LogoFileName, input, zunk::kDefaultLogoFileName))
      std::abort();
  }
  store.Close();
  return 0;
}
