// Reads a zip archive whole, for the release tests: every entry's header fields as stored
// in the central directory, and its bytes unpacked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zunktest {

struct ZipRecord {
  std::string name;
  uint32_t flags = 0;
  uint32_t method = 0;
  uint32_t dosTime = 0, dosDate = 0;
  uint32_t madeBy = 0;
  uint32_t externalAttributes = 0;
  uint32_t crc = 0;
  uint32_t extraLength = 0;  // central and local extra fields together
  std::string data;          // unpacked
  bool crcMatches = false;
};

// False with a message when the archive is not a well-formed zip this writer could make.
bool ReadZip(const std::string& bytes, std::vector<ZipRecord>* records, std::string* error);

}  // namespace zunktest
