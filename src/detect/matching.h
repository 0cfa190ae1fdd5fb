// Frame matching: where the logo is expected in this frame, how well the frame matches the
// template there, and whether the best horizontal placement lies within the tolerance.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

struct ChannelProfile;
struct TemplateBuffers;

// A frame as the host delivers it: pixel format 0 (YUY2, top-down) or 1 (B, G, R,
// bottom-up), width x height pixels.
struct FrameView {
  const uint8_t* pixels;
  int32_t width;
  int32_t height;
  int32_t pixelFormat;
};

// Where the template is searched in a frame, all in frame pixels.
struct MatchGeometry {
  int32_t x, y;  // the template's expected top-left corner
  int32_t t;     // search half-width: placements x - t .. x + t
  int32_t tol;   // tolerance half-width, at most t (negative: nothing counts as found)
};

// The geometry for a W x H frame with search half-width S and a template of bmW x bmH
// reference pixels (tw x th at frame scale). Clamps the profile's LogoPosX and LogoPosY
// into the reference frame and writes them back.
MatchGeometry ComputeMatchGeometry(ChannelProfile* profile,
                                   int32_t bmW,
                                   int32_t bmH,
                                   int32_t tw,
                                   int32_t th,
                                   int32_t W,
                                   int32_t H,
                                   int32_t S);

struct MatchResult {
  int32_t matchPercent;   // 0..100 at offset 0
  int32_t scoreContrast;  // best minus worst score, 0 or more
  int32_t logoFound;      // 1 when a best score lies within -tol..+tol
};

// MatchPercent from the largest of the per-channel mean differences: (255 - m) * 100 / 255
// truncated, never below 0.
int32_t MatchPercentFromDifferences(uint32_t r, uint32_t g, uint32_t b);

// Turns the 2t + 1 difference entries at `scoreRow` into scores (in place, as 32-bit words
// at the start of the row) and returns the contrast and whether the logo was found.
void ScorePlacements(uint8_t* scoreRow, int32_t t, int32_t tol, MatchResult* result);

// MatchFrame in its steps, for callers that time them one by one. The buffers must be
// prepared for the frame's size and the geometry must lie inside the frame.
//
// 1. The frame's search area (g.x - g.t .. g.x + tw + g.t, rows g.y .. g.y + th) into the
// buffers: as byte planes straight from the frame (returns true), or, when they cannot be
// made (a pixel there equals the key, or the area reaches into the half group at the end of
// an odd YUY2 row), as work pixels in the search window (returns false).
bool ExtractSearchArea(TemplateBuffers* tpl,
                       const FrameView& frame,
                       const MatchGeometry& g,
                       uint32_t colorKey);

// 2. The match percentage at the expected place (offset g.t of the area) and the area's mean
// colour there under the normalised template (*mean, words B, G, R as MaskedMeanColour
// gives them). `planes` is what step 1 returned.
int32_t MatchAtExpectedPlace(TemplateBuffers* tpl,
                             bool planes,
                             const MatchGeometry& g,
                             uint32_t colorKey,
                             uint64_t* mean);

// 3. The difference row of the 2t + 1 placements (B, G, R means; X left 0) between the area
// (its frame bytes, grey level not yet removed) and the normalised template of `tpl`, equal
// to removing the area's grey level and taking MaskedMeanAbsDiffRow. `mean` is the area's
// mean colour under the template. The search window may be changed, and so may the template
// planes `tpl` keeps for the placement sums.
void PlacementDifferences(TemplateBuffers* tpl,
                          bool planes,
                          int32_t t,
                          uint64_t mean,
                          uint32_t colorKey,
                          DiffEntry* out);

// The three steps and the scores of the placements in `scoreRow` (room for 2t + 1 entries
// of 16 bytes). Each set of buffers serves one caller at a time.
MatchResult MatchFrame(TemplateBuffers* tpl,
                       const FrameView& frame,
                       const MatchGeometry& g,
                       uint32_t colorKey,
                       uint8_t* scoreRow);

}  // namespace zunk
