// Where the persistent edges of a corner gather into something the size of a logo: the
// edge pixels of an edge field, grouped by nearness, the strongest group per corner.
#pragma once

#include <cstdint>
#include <vector>

#include "learn/edge_persistence.h"

namespace zunk {

// A rectangle of a corner area, corner pixels, inclusive.
struct CornerBox {
  int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  int32_t Width() const { return x1 - x0 + 1; }
  int32_t Height() const { return y1 - y0 + 1; }
  bool Empty() const { return x1 < x0 || y1 < y0; }
};

// The largest logo the finder looks for, in reference pixels.
constexpr int32_t kMaxLogoWidth = 224;
constexpr int32_t kMaxLogoHeight = 144;

struct EdgeGroup {
  int32_t corner = -1;          // -1: none
  CornerBox box;                // of its edge pixels
  int64_t strength = 0;         // the excess of their edges' persistence, summed
  int32_t coherence = 0;        // its mean as a share of the samples, per mille
  std::vector<int32_t> pixels;  // y * kCornerWidth + x within the corner
};

// The edge map of a corner: 1 where the excess of an edge's persistence (Excess) is at least
// `least` samples, straight lines across the whole area
// (picture borders, bars) removed.
std::vector<uint8_t> PersistentEdges(const EdgeCounts& f, int32_t corner, int32_t least);

// The strongest group of persistent edges in the corner that could be a logo: nearby
// groups joined, not touching the corner area's inner sides, at most the largest logo's
// size. corner -1 when there is none.
EdgeGroup StrongestGroup(const EdgeCounts& f, int32_t corner, int32_t least);

// The same over any map of a corner's marked pixels (kCornerLumaBytes, 1 where marked),
// each with a weight; a group's coherence is its mean weight per mille of `scale`.
EdgeGroup StrongestGroupIn(const std::vector<uint8_t>& marks,
                           const std::vector<int32_t>& weight,
                           int32_t scale,
                           int32_t corner);

}  // namespace zunk
