// Template pictures on POSIX: bitmap files are read by the portable bitmap reader.
#include <vector>

#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "platform/posix/services.h"

namespace zunk {
namespace posix {

uint32_t* LoadBitmapFile(const char* path,
                         int32_t maxWidth,
                         int32_t maxHeight,
                         int32_t* width,
                         int32_t* height) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, kMaxBitmapFileBytes, &bytes))
    return nullptr;
  return ReadBmp(bytes.data(), bytes.size(), maxWidth, maxHeight, width, height);
}

}  // namespace posix
}  // namespace zunk
