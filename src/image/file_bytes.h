// Whole files read into memory, for the readers that parse from bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zunk {

// Reads the file at `path` (the system's file name, as stored). False when it cannot be
// opened or read, or holds more than maxBytes bytes; *bytes is then empty.
bool ReadFileBytes(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes);

}  // namespace zunk
