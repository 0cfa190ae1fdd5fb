// A channel's settings as the plug-in itself reads and writes them: through its own
// settings store, so a file written here has exactly the plug-in's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/channel_profile.h"

namespace zunkhost {

// The profile the plug-in would use for the channel: its section, or a new channel's
// values ("DEFAULT", else the built-in defaults). False when the file cannot be read. An
// empty path stands for no file: the built-in values.
bool ReadChannelProfile(const std::string& path, int64_t key, zunk::ChannelProfile* out);

struct LearnedLogo {
  std::string fileName;  // as stored in LogoFileName
  int32_t x = 0;         // reference pixels
  int32_t y = 0;
  uint32_t colorKey = 0;  // 0x00BBGGRR
};

// Sets the channel's LogoFileName, LogoPosX, LogoPosY and ColorKey (a new section takes
// a new channel's values for the rest; an existing one keeps them) and rewrites the
// file as the plug-in does at exit. False with one line in *error; the file is then
// unchanged.
bool WriteChannelLogo(const std::string& path,
                      int64_t key,
                      const LearnedLogo& logo,
                      std::string* error);

// One key of a channel's section with its text, as the file holds it.
struct SettingValue {
  std::string key;  // a key of the setting table, e.g. "RecordAction"
  std::string text;
};

// Sets the keys in the channel's section, as the plug-in reads a value from its file (a
// new section takes a new channel's values for the rest), and rewrites the file as the
// plug-in does at exit. False with one line in *error (an unknown key, a file that cannot
// be read or written); the file is then unchanged.
bool WriteChannelValues(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* error);

}  // namespace zunkhost
