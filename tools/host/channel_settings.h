// A channel's settings as the plug-in itself reads and writes them: through its own
// settings store, so a file written here has exactly the plug-in's bytes.
#pragma once

#include <cstdint>
#include <string>

#include "settings/channel_profile.h"

namespace zunkhost {

// The profile the plug-in would use for the channel: its section, or a new channel's
// values ("DEFAULT", else the built-in defaults). False when the file cannot be read.
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

}  // namespace zunkhost
