// DrawMessage: the on-screen message, drawn in the 768 x 576 reference space into the
// frame-size message layer and blended into the frame.
//
// The layer is drawn again only when what it shows changed (text, colours, the layer
// itself); the fade changes only the blend level. Outside the rectangle that holds the
// text and its shadow every layer pixel is of the background colour: with the background
// off they are keyed and leave the frame alone, so only the rectangle is blended; with it
// on they are blended as one colour. Both give the same bytes as drawing and blending the
// whole layer on every frame.
#include <algorithm>
#include <string>

#include "base/reference_frame.h"
#include "kernels/kernels.h"
#include "platform/platform.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"

namespace zunk {

MessageSurfaceState MessageSurface = {nullptr, nullptr};

namespace {

// Colours go to the drawing and to the key as 0x00BBGGRR: a high byte would make the
// system take the colour as a palette index and the fill would no longer match the key.
constexpr uint32_t kColourBits = 0xFFFFFF;
constexpr uint32_t kShadowColour = 0x000000;
constexpr int32_t kFadeFrames = 25;

// What the layer holds.
struct MessageLayer {
  bool drawn;
  const uint32_t* pixels;
  int32_t width, height;
  std::string text;
  uint32_t textColour, backColour;
  // The pixels that differ from the background colour lie in [x0, x1) x [y0, y1); x0 = x1
  // when there are none.
  int32_t x0, y0, x1, y1;
};
MessageLayer layer = {};

bool LayerShows(const ChannelProfile& p,
                const FrameTarget& f,
                uint32_t textColour,
                uint32_t backColour) {
  return layer.drawn && layer.pixels == MessageSurface.pixels && layer.width == f.width &&
         layer.height == f.height && layer.textColour == textColour &&
         layer.backColour == backColour && layer.text == p.MsgString;
}

// The rectangle of the pixels whose B, G, R differ from the background's, widened to
// whole pixel pairs so that a packed 4:2:2 frame is blended in whole groups.
void FindDrawnRectangle(int32_t w, int32_t h, uint32_t backColour) {
  const uint32_t back = KeyBgrx(backColour);
  const uint32_t* px = MessageSurface.pixels;
  int32_t x0 = w, x1 = 0, y0 = h, y1 = 0;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = px + static_cast<size_t>(y) * w;
    int32_t first = 0;
    while (first < w && (row[first] & kColourBits) == back)
      ++first;
    if (first == w)
      continue;
    int32_t last = w - 1;
    while ((row[last] & kColourBits) == back)
      --last;
    x0 = std::min(x0, first);
    x1 = std::max(x1, last + 1);
    y0 = std::min(y0, y);
    y1 = y + 1;
  }
  if (x1 <= x0) {
    layer.x0 = layer.x1 = layer.y0 = layer.y1 = 0;
    return;
  }
  layer.x0 = x0 & ~1;
  layer.x1 = std::min(w, (x1 + 1) & ~1);
  layer.y0 = y0;
  layer.y1 = y1;
}

void PaintLayer(const ChannelProfile& p,
                const FrameTarget& f,
                uint32_t textColour,
                uint32_t backColour) {
  Surface* s = MessageSurface.surface;
  const char* text = p.MsgString.data();
  const int32_t length = static_cast<int32_t>(p.MsgString.size());
  int32_t cx = 0, cy = 0;
  Os().SurfaceTextExtent(s, text, length, &cx, &cy);
  Os().SurfaceFill(s, backColour);
  const int32_t x = (kReferenceWidth - cx) / 2;
  const int32_t y = (kReferenceHeight - cy) / 2;
  const int32_t shadow = cy * 5 / 100;
  Os().SurfaceText(s, x + shadow, y + shadow, text, length, kShadowColour);
  Os().SurfaceText(s, x, y, text, length, textColour);

  layer.drawn = true;
  layer.pixels = MessageSurface.pixels;
  layer.width = f.width;
  layer.height = f.height;
  layer.text = p.MsgString;
  layer.textColour = textColour;
  layer.backColour = backColour;
  FindDrawnRectangle(f.width, f.height, backColour);
}

// The background on: every pixel is blended, but outside the text's rectangle the layer
// is one colour, which the colour blend moves each frame byte toward without reading the
// layer. An odd packed 4:2:2 row ends in half a group: such frames take the plain blend.
void BlendWithBackground(const FrameTarget& f,
                         const uint8_t* src,
                         BlendBgrxFn blend,
                         int32_t level,
                         uint32_t backColour) {
  uint8_t* frame = f.pixels;
  const int32_t w = f.width, h = f.height;
  if (f.pixelFormat == 0 && (w & 1)) {
    blend(src, 0, 0, w, h, w, h, frame, 0, 0, w, h, level, backColour, 0);
    return;
  }
  const KernelTable& k = Kernels();
  const BlendColourFn fill = f.pixelFormat == 0 ? k.BlendColourToYuy2 : k.BlendColourToRgb24;
  if (layer.x0 >= layer.x1) {
    fill(backColour, 0, 0, w, h, frame, w, h, level);
    return;
  }
  fill(backColour, 0, 0, w, layer.y0, frame, w, h, level);
  fill(backColour, 0, layer.y1, w, h, frame, w, h, level);
  fill(backColour, 0, layer.y0, layer.x0, layer.y1, frame, w, h, level);
  fill(backColour, layer.x1, layer.y0, w, layer.y1, frame, w, h, level);
  blend(src, layer.x0, layer.y0, layer.x1, layer.y1, w, h, frame, layer.x0, layer.y0, w, h, level,
        backColour, 0);
}

// MsgTransparency * (25 - counter) / 25, taken into the blend's range 0..100 as the blend
// takes any level. A hand-edited file may hold any 32-bit transparency: the product is
// formed in 64 bits, so that a huge one blends fully instead of overflowing.
int32_t FadeLevel(int32_t transparency, int32_t fadeCounter) {
  const int64_t level = int64_t{transparency} * (kFadeFrames - fadeCounter) / kFadeFrames;
  return static_cast<int32_t>(level < 0 ? 0 : level > 100 ? 100 : level);
}

}  // namespace

void ForgetMessageLayer() {
  layer.drawn = false;
  layer.pixels = nullptr;
}

void DrawMessage(const FrameTarget& f, int32_t fadeCounter) {
  const ChannelProfile* p = CurrentProfile();
  if (!p || !f.pixels || !MessageSurface.surface || !MessageSurface.pixels)
    return;
  if (f.pixelFormat != 0 && f.pixelFormat != 1)
    return;
  const uint32_t textColour = p->MsgTextColor & kColourBits;
  const uint32_t backColour = p->MsgBackColor & kColourBits;
  if (!LayerShows(*p, f, textColour, backColour))
    PaintLayer(*p, f, textColour, backColour);

  const int32_t level = FadeLevel(p->MsgTransparency, fadeCounter);
  if (level == 0)
    return;  // weight 0: every frame byte stays as it is
  const KernelTable& k = Kernels();
  const BlendBgrxFn blend = f.pixelFormat == 0 ? k.BlendBgrxToYuy2 : k.BlendBgrxToRgb24;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(MessageSurface.pixels);
  const int32_t w = f.width, h = f.height;
  if (p->MsgBackEnable != 0) {
    BlendWithBackground(f, src, blend, level, backColour);
    return;
  }
  if (layer.x0 >= layer.x1)
    return;  // nothing but the background: every pixel is keyed
  blend(src, layer.x0, layer.y0, layer.x1, layer.y1, w, h, f.pixels, layer.x0, layer.y0, w, h,
        level, backColour, 1);
}

}  // namespace zunk
