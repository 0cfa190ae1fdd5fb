// The test mode's patch and the logo overlay, through the blend kernels of the stream's
// pixel format.
#include "detect/overlay.h"

#include "detect/stream.h"
#include "detect/template.h"
#include "kernels/kernels.h"

namespace zunk {

int32_t SimulateLogoLoss = 0;

namespace {

BlendWorkFn BlendForStream() {
  if (PixelFormat == 0)
    return Kernels().BlendWorkToYuy2;
  if (PixelFormat == 1)
    return Kernels().BlendWorkToRgb24;
  return nullptr;
}

}  // namespace

void PaintOverLogo(uint8_t* frame, const MatchGeometry& g) {
  const BlendWorkFn blend = BlendForStream();
  if (!blend)
    return;
  const int32_t tw = StreamTemplate.TemplateWidth, th = StreamTemplate.TemplateHeight;
  const int32_t ww = tw + 2 * StreamTemplate.SearchHalfWidth;
  const int32_t cx = (FrameWidth - tw) / 2;
  const int32_t cy = (FrameHeight - th) / 2;
  WorkPixel* window = reinterpret_cast<WorkPixel*>(StreamTemplate.SearchWindow);
  const CopyRegionFn copy = CopyRegionFor(Kernels(), PixelFormat);
  copy(frame, cx - g.t, cy, cx + tw + g.t, cy + th, FrameWidth, FrameHeight, window, 0, 0, ww, th);
  blend(window, 0, 0, tw + 2 * g.t, th, ww, th, frame, g.x - g.t, g.y, FrameWidth, FrameHeight, 100,
        0, 0);
}

void DrawLogoOverlay(uint8_t* frame, const MatchGeometry& g, int32_t level, uint32_t colorKey) {
  const BlendWorkFn blend = BlendForStream();
  if (!blend)
    return;
  const int32_t tw = StreamTemplate.TemplateWidth, th = StreamTemplate.TemplateHeight;
  blend(reinterpret_cast<const WorkPixel*>(StreamTemplate.TemplateImage), 0, 0, tw, th, tw, th,
        frame, g.x, g.y, FrameWidth, FrameHeight, level, colorKey, 1);
}

}  // namespace zunk
