// The logo's own edges as evidence that it is on screen: the edges of the template (its
// outline against the key and its inner edges) looked for in the frame's logo area at
// the reference scale, over a small two-way search around the logo's place. An edge that
// lies where the template has one, and nowhere near it, is what a logo shows through
// compression noise, see-through blending and changing brightness, where a colour match
// may not tell the logo from a plain or similar background.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "learn/learn_sample.h"
#include "spans/edge_scores.h"

namespace zunkhost {

// Half-widths of the search around the logo's place, in reference pixels: the placements a
// logo still counts as in place (it may move a few pixels), and the wider ring they are
// compared with, beyond a guard of placements that belong to neither.
constexpr int32_t kEdgeNearX = 6;
constexpr int32_t kEdgeNearY = 3;
constexpr int32_t kEdgeGuard = 2;
constexpr int32_t kEdgeFarX = 14;
constexpr int32_t kEdgeFarY = 8;

struct LogoEdgeModel {
  int32_t corner = -1;         // the corner area that holds the logo and its search; -1: none
  int32_t left = 0, top = 0;   // the template's top-left in that corner's pixels
  int32_t width = 0, height = 0;
  using Point = EdgePoint;  // a template pixel and its edge's normal (its sign does not matter)
  std::vector<Point> points;
};

// The model of a template (width x height top-down B, G, R, X; `colorKey` a COLORREF)
// placed at (x, y) reference pixels. False when it has no edges or its search does not fit
// inside one corner area.
bool BuildLogoEdgeModel(const uint32_t* pixels,
                        int32_t width,
                        int32_t height,
                        uint32_t colorKey,
                        int32_t x,
                        int32_t y,
                        LogoEdgeModel* model);

// The same from the template's bitmap file. False when it cannot be read or has no model.
bool LoadLogoEdgeModel(const std::string& file,
                       uint32_t colorKey,
                       int32_t x,
                       int32_t y,
                       LogoEdgeModel* model);

// How strongly a frame shows the template's edges: per placement, the frame's gradient
// across each template edge, averaged over its points (a step of one level gives 4);
// `nearBest` the best placement near the place, `farBest` the best of those beyond the
// guard.
struct EdgeEvidence {
  int32_t nearBest = 0;
  int32_t farBest = 0;
};

EdgeEvidence MeasureLogoEdges(const LogoEdgeModel& model, const zunk::LearnSample& sample);

// The part of the model's corner area that the search reads: the template at every
// placement, and a pixel around for the gradients. Empty (w = 0) where the search does not
// fit.
struct EdgeArea {
  int32_t x = 0, y = 0, w = 0, h = 0;
};
EdgeArea LogoEdgeArea(const LogoEdgeModel& model);

// The same evidence from a frame of the plug-in's formats, of which only that part is
// brought to the reference scale; `luma` is scratch kept from frame to frame. False, with
// no evidence, where no sample can be made of the frame.
bool MeasureFrameLogoEdges(const LogoEdgeModel& model,
                           const zunk::FrameView& frame,
                           std::vector<uint8_t>* luma,
                           EdgeEvidence* evidence);

}  // namespace zunkhost
