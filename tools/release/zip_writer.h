// A zip archive written the same way every time: the entries in the order given, one fixed
// modification time, fixed Unix permissions, no owner, no other extra fields. Names are
// stored as UTF-8 with the archive's UTF-8 flag (bit 11) set, so a Russian file name shows
// as it is when the archive is unpacked on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zunkrelease {

struct ZipEntry {
  std::string name;  // the name inside the archive, UTF-8, "/" between folders
  std::string data;  // the file's bytes
};

// Writes the archive to `path` (through a temporary name, renamed at the end). Each entry is
// deflated at the highest level, or stored when that does not make it smaller. `unixTime` is
// every entry's modification time, seconds since 1970 (UTC; the zip format keeps no zone).
bool WriteZip(const std::string& path,
              const std::vector<ZipEntry>& entries,
              int64_t unixTime,
              std::string* error);

}  // namespace zunkrelease
