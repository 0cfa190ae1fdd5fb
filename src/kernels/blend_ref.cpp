// Reference blend kernels, written straight from the formulas.
// Every floor is toward minus infinity (arithmetic shift right), bytes are written with
// unsigned saturation.
#include <cstddef>

#include "kernels/blend.h"
#include "kernels/blend_pixel.h"

namespace zunk {
namespace blendpx {

int32_t Clamp8(int32_t v) {
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

// Work sources are keyed on B, G, R equal to the key's bytes; into a format-0 frame the X
// word must also be 0. Words outside 0..255 are clamped after the key test.
SourcePixel FromWork(const WorkPixel& p, const BlendCall& call, bool keyTestsX) {
  const bool keyed = call.keyOn && p.b == call.keyWork.b && p.g == call.keyWork.g &&
                     p.r == call.keyWork.r && (!keyTestsX || p.x == 0);
  return {Clamp8(p.b), Clamp8(p.g), Clamp8(p.r), !keyed};
}

SourcePixel FromBgrx(const uint8_t* p, const BlendCall& call) {
  const uint32_t bgr = p[0] | p[1] << 8 | p[2] << 16;
  return {p[0], p[1], p[2], !(call.keyOn && bgr == call.keyBgrx)};
}

uint8_t Mix(int32_t d, int32_t s, int32_t w) {
  return static_cast<uint8_t>(Clamp8(d + (((s - d) * w) >> 8)));
}

int32_t Luma(int32_t b, int32_t g, int32_t r) {
  return (29 * b + 150 * g + 77 * r) >> 8;
}
int32_t ChromaU(int32_t b, int32_t g, int32_t r) {
  return ((128 * b - 85 * g - 43 * r) >> 8) + 128;
}
int32_t ChromaV(int32_t b, int32_t g, int32_t r) {
  return ((-21 * b - 107 * g + 128 * r) >> 8) + 128;
}

// One group Y0, U, Y1, V with its left and right source pixels.
void BlendGroup(uint8_t* grp, const SourcePixel& p0, const SourcePixel& p1, int32_t w) {
  if (!p0.drawn && !p1.drawn)
    return;
  const int32_t y0 = p0.drawn ? Luma(p0.b, p0.g, p0.r) : grp[0];
  const int32_t y1 = p1.drawn ? Luma(p1.b, p1.g, p1.r) : grp[2];
  int32_t u, v;
  if (p0.drawn && p1.drawn) {  // chroma of the pair's average colour
    const int32_t b = (p0.b + p1.b) >> 1, g = (p0.g + p1.g) >> 1, r = (p0.r + p1.r) >> 1;
    u = ChromaU(b, g, r);
    v = ChromaV(b, g, r);
  } else {  // half group: the drawn pixel's chroma averaged with the frame's
    const SourcePixel& p = p0.drawn ? p0 : p1;
    u = (ChromaU(p.b, p.g, p.r) + grp[1]) >> 1;
    v = (ChromaV(p.b, p.g, p.r) + grp[3]) >> 1;
  }
  grp[0] = Mix(grp[0], y0, w);
  grp[1] = Mix(grp[1], u, w);
  grp[2] = Mix(grp[2], y1, w);
  grp[3] = Mix(grp[3], v, w);
}

void BlendPixel(uint8_t* d, const SourcePixel& s, int32_t w) {
  if (!s.drawn)
    return;
  d[0] = Mix(d[0], s.b, w);
  d[1] = Mix(d[1], s.g, w);
  d[2] = Mix(d[2], s.r, w);
}

}  // namespace blendpx

using namespace blendpx;

namespace ref {

void WorkGroupsToYuy2(const WorkPixel* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  for (int32_t i = 0; i < count; ++i) {
    BlendGroup(groups + 4 * i, FromWork(src[2 * i], call, true),
               FromWork(src[2 * i + 1], call, true), call.weight);
  }
}

void BgrxGroupsToYuy2(const uint8_t* src, uint8_t* groups, int32_t count, const BlendCall& call) {
  for (int32_t i = 0; i < count; ++i) {
    BlendGroup(groups + 4 * i, FromBgrx(src + 8 * i, call), FromBgrx(src + 8 * i + 4, call),
               call.weight);
  }
}

void WorkPixelsToRgb24(const WorkPixel* src,
                       uint8_t* pixels,
                       int32_t count,
                       const BlendCall& call) {
  for (int32_t i = 0; i < count; ++i) {
    BlendPixel(pixels + 3 * i, FromWork(src[i], call, false), call.weight);
  }
}

void BgrxPixelsToRgb24(const uint8_t* src, uint8_t* pixels, int32_t count, const BlendCall& call) {
  for (int32_t i = 0; i < count; ++i) {
    BlendPixel(pixels + 3 * i, FromBgrx(src + 4 * i, call), call.weight);
  }
}

void BlendWorkToYuy2(const WorkPixel* src,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     int32_t srcW,
                     int32_t srcH,
                     uint8_t* frame,
                     int32_t dstX,
                     int32_t dstY,
                     int32_t frameW,
                     int32_t frameH,
                     int32_t level,
                     uint32_t colorKey,
                     int32_t keyOn) {
  BlendWorkToYuy2With(WorkGroupsToYuy2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

void BlendWorkToRgb24(const WorkPixel* src,
                      int32_t x0,
                      int32_t y0,
                      int32_t x1,
                      int32_t y1,
                      int32_t srcW,
                      int32_t srcH,
                      uint8_t* frame,
                      int32_t dstX,
                      int32_t dstY,
                      int32_t frameW,
                      int32_t frameH,
                      int32_t level,
                      uint32_t colorKey,
                      int32_t keyOn) {
  BlendWorkToRgb24With(WorkPixelsToRgb24, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY,
                       frameW, frameH, level, colorKey, keyOn);
}

void BlendBgrxToYuy2(const uint8_t* src,
                     int32_t x0,
                     int32_t y0,
                     int32_t x1,
                     int32_t y1,
                     int32_t srcW,
                     int32_t srcH,
                     uint8_t* frame,
                     int32_t dstX,
                     int32_t dstY,
                     int32_t frameW,
                     int32_t frameH,
                     int32_t level,
                     uint32_t colorKey,
                     int32_t keyOn) {
  BlendBgrxToYuy2With(BgrxGroupsToYuy2, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY, frameW,
                      frameH, level, colorKey, keyOn);
}

void BlendBgrxToRgb24(const uint8_t* src,
                      int32_t x0,
                      int32_t y0,
                      int32_t x1,
                      int32_t y1,
                      int32_t srcW,
                      int32_t srcH,
                      uint8_t* frame,
                      int32_t dstX,
                      int32_t dstY,
                      int32_t frameW,
                      int32_t frameH,
                      int32_t level,
                      uint32_t colorKey,
                      int32_t keyOn) {
  BlendBgrxToRgb24With(BgrxPixelsToRgb24, src, x0, y0, x1, y1, srcW, srcH, frame, dstX, dstY,
                       frameW, frameH, level, colorKey, keyOn);
}

}  // namespace ref
}  // namespace zunk
