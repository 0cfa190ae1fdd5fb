// Drawing into the frame around the logo: the test mode's patch that hides the broadcast
// logo, and the stored logo drawn over the picture.
#pragma once

#include <cstdint>

#include "base/frame_target.h"
#include "detect/matching.h"
#include "detect/template.h"

namespace zunk {

// Covers the search area around the logo (the template widened by t on both sides) with
// the same-sized area from the middle of the frame, through the search window of `tpl`.
void PaintOverLogo(TemplateBuffers* tpl, const FrameTarget& frame, const MatchGeometry& g);

// Blends the prepared template into the frame at the logo position with `level` per cent,
// leaving the frame alone under key-coloured template pixels.
void DrawLogoOverlay(const TemplateBuffers& tpl,
                     const FrameTarget& frame,
                     const MatchGeometry& g,
                     int32_t level,
                     uint32_t colorKey);

}  // namespace zunk
