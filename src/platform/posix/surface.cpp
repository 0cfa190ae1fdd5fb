// The message surface stand-in: a plain W x H B,G,R,X layer with the message font. Every
// position and size is in 768 x 576 reference units, mapped to the layer as the system's
// anisotropic mapping maps it: scaled, and rounded to the nearest pixel.
#include <cstdlib>

#include "platform/posix/services.h"
#include "platform/posix/text_freetype.h"

namespace zunk {

struct Surface {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  posix::MessageFont* font = nullptr;
};

namespace posix {
namespace {

// a * b / c to the nearest integer, halves away from zero; c > 0.
int32_t Scale(int32_t a, int32_t b, int32_t c) {
  const int64_t p = int64_t{a} * b;
  return static_cast<int32_t>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

// 0x00BBGGRR as the layer's B, G, R, X bytes with X = 0.
uint32_t Bgrx(uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace

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
  s->font = MessageFontCreate(width, height);
  return s->pixels;
}

void SurfaceEnd(Surface* s) {
  if (!s)
    return;
  MessageFontDestroy(s->font);
  std::free(s->pixels);
  *s = Surface{};
}

void SurfaceDestroy(Surface* s) {
  SurfaceEnd(s);
  delete s;
}

void SurfaceFill(Surface* s, uint32_t colour) {
  if (!s || !s->pixels)
    return;
  const uint32_t v = Bgrx(colour);
  const size_t n = static_cast<size_t>(s->width) * s->height;
  for (size_t i = 0; i < n; ++i)
    s->pixels[i] = v;
}

void SurfaceTextExtent(Surface* s, const char* text, int32_t length, int32_t* cx, int32_t* cy) {
  int32_t w = 0, h = 0;
  if (s && s->pixels)
    MessageFontExtent(s->font, text, length, &w, &h);
  *cx = s && s->pixels ? Scale(w, 768, s->width) : 0;
  *cy = s && s->pixels ? Scale(h, 576, s->height) : 0;
}

void SurfaceText(Surface* s,
                 int32_t x,
                 int32_t y,
                 const char* text,
                 int32_t length,
                 uint32_t colour) {
  if (!s || !s->pixels)
    return;
  MessageFontDraw(s->font, s->pixels, s->width, s->height, Scale(x, s->width, 768),
                  Scale(y, s->height, 576), text, length, Bgrx(colour));
}

}  // namespace posix
}  // namespace zunk
