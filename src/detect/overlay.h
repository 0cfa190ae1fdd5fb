// Drawing into the frame around the logo: the test mode's patch that hides the broadcast
// logo, and the stored logo drawn over the picture.
#pragma once

#include <cstdint>

#include "detect/matching.h"

namespace zunk {

// The dialog's test mode: while set, the patch hides the broadcast logo in every matched
// frame. Set by the dialog and cleared by Start, under the module lock.
extern int32_t SimulateLogoLoss;

// Covers the search area around the logo (the template widened by t on both sides) with
// the same-sized area from the middle of the frame.
void PaintOverLogo(uint8_t* frame, const MatchGeometry& g);

// Blends the prepared template into the frame at the logo position with `level` per cent,
// leaving the frame alone under key-coloured template pixels.
void DrawLogoOverlay(uint8_t* frame, const MatchGeometry& g, int32_t level, uint32_t colorKey);

}  // namespace zunk
