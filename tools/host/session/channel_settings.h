// A channel's settings as the plug-in itself reads and writes them: through its own
// settings codec, so a value written here reads back exactly as the plug-in reads it,
// and every other byte of the file stays as it was.
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

// One key of a channel's section with its text, as the file holds it.
struct SettingValue {
  std::string key;  // a key of the setting table, e.g. "RecordAction"
  std::string text;
};

// The file's new bytes with the keys set in the channel's section. Each text is read as
// the plug-in reads it and written as the plug-in writes it. A section the plug-in would
// read keeps its other keys, unknown ones included; a channel without one gets a whole new
// section with a new channel's values for the rest. Every other byte of the file stays.
// A missing file reads as empty. False with one line in *error: an unknown key, a file
// that cannot be read.
bool ChannelValuesBytes(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* bytes,
                        std::string* error);

// The same, written to the file through a temporary file beside it that replaces it only
// when every byte was written. False with one line in *error; the file is then unchanged.
bool WriteChannelValues(const std::string& path,
                        int64_t key,
                        const std::vector<SettingValue>& values,
                        std::string* error);

}  // namespace zunkhost
