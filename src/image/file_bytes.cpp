// Whole-file reads with a size cap. The file is read in pieces up to its end and reading
// stops as soon as it passes the cap, so no file, however large, takes more memory.
#include "image/file_bytes.h"

#include <cstdio>
#include <new>

namespace zunk {

bool ReadFileBytes(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (!path || !*path)
    return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f)
    return false;
  bool ok = true;
  try {
    uint8_t piece[16384];
    size_t n;
    while ((n = std::fread(piece, 1, sizeof piece, f)) > 0) {
      if (n > maxBytes - bytes->size()) {
        ok = false;
        break;
      }
      bytes->insert(bytes->end(), piece, piece + n);
    }
    if (std::ferror(f))
      ok = false;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  std::fclose(f);
  if (!ok) {
    bytes->clear();
    bytes->shrink_to_fit();
  }
  return ok;
}

}  // namespace zunk
