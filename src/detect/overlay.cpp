// The test mode's patch and the logo overlay, through the blend kernels of the frame's
// pixel format.
#include "detect/overlay.h"

#include "kernels/kernels.h"

namespace zunk {

namespace {

BlendWorkFn BlendFor(int32_t pixelFormat) {
  if (pixelFormat == 0)
    return Kernels().BlendWorkToYuy2;
  if (pixelFormat == 1)
    return Kernels().BlendWorkToRgb24;
  return nullptr;
}

}  // namespace

void PaintOverLogo(TemplateBuffers* tpl, const FrameTarget& frame, const MatchGeometry& g) {
  const BlendWorkFn blend = BlendFor(frame.pixelFormat);
  if (!blend)
    return;
  const int32_t W = frame.width, H = frame.height;
  const int32_t tw = tpl->TemplateWidth, th = tpl->TemplateHeight;
  const int32_t ww = tw + 2 * tpl->SearchHalfWidth;
  const int32_t cx = (W - tw) / 2;
  const int32_t cy = (H - th) / 2;
  WorkPixel* window = reinterpret_cast<WorkPixel*>(tpl->SearchWindow);
  const CopyRegionFn copy = CopyRegionFor(Kernels(), frame.pixelFormat);
  copy(frame.pixels, cx - g.t, cy, cx + tw + g.t, cy + th, W, H, window, 0, 0, ww, th);
  blend(window, 0, 0, tw + 2 * g.t, th, ww, th, frame.pixels, g.x - g.t, g.y, W, H, 100, 0, 0);
}

void DrawLogoOverlay(const TemplateBuffers& tpl,
                     const FrameTarget& frame,
                     const MatchGeometry& g,
                     int32_t level,
                     uint32_t colorKey) {
  const BlendWorkFn blend = BlendFor(frame.pixelFormat);
  if (!blend)
    return;
  const int32_t tw = tpl.TemplateWidth, th = tpl.TemplateHeight;
  blend(reinterpret_cast<const WorkPixel*>(tpl.TemplateImage), 0, 0, tw, th, tw, th, frame.pixels,
        g.x, g.y, frame.width, frame.height, level, colorKey, 1);
}

}  // namespace zunk
