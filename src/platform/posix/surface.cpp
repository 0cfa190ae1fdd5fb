// The message surface stand-in: a plain W x H B,G,R,X layer. Text drawing into it is
// added with the on-screen message.
#include <cstdlib>

#include "platform/posix/services.h"

namespace zunk {

struct Surface {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

namespace posix {

Surface* SurfaceCreate() {
  return new Surface;
}

uint32_t* SurfaceBegin(Surface* s, int32_t width, int32_t height) {
  if (!s || width <= 0 || height <= 0)
    return nullptr;
  SurfaceEnd(s);
  s->pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
  if (!s->pixels)
    return nullptr;
  s->width = width;
  s->height = height;
  return s->pixels;
}

void SurfaceEnd(Surface* s) {
  if (!s)
    return;
  std::free(s->pixels);
  *s = Surface{};
}

void SurfaceDestroy(Surface* s) {
  SurfaceEnd(s);
  delete s;
}

}  // namespace posix
}  // namespace zunk
