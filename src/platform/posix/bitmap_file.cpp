// Template pictures on POSIX: bitmap files are read by the portable bitmap reader.
#include "platform/posix/services.h"

namespace zunk {
namespace posix {

uint32_t* LoadBitmapFile(const char*, int32_t, int32_t, int32_t*, int32_t*) {
  return nullptr;
}

}  // namespace posix
}  // namespace zunk
