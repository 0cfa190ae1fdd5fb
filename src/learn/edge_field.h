// Edges that persist: over a set of samples, each corner pixel's gradient (luma, and the
// colour of its 2 x 2 block) summed as a signed vector and as a length. Where an edge
// stays in place with the same direction, the two sums agree (coherence near 1) whatever
// its strength; where the picture changes, the vectors cancel out. Relative measures keep
// compression noise, brightness changes and see-through blending from mattering.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {

// A pixel's gradient: luma x, y, then U x, y and V x, y of its block (central differences,
// 0 at the corner area's border).
struct Gradient {
  int32_t v[6];
  int32_t Length() const;  // sum of absolute values
};
Gradient GradientAt(const LearnSample& s, int32_t corner, int32_t x, int32_t y);

struct EdgeField {
  int32_t samples = 0;
  // Per corner pixel (corner * kCornerLumaBytes + y * kCornerWidth + x): summed gradient
  // vector and summed length.
  std::vector<int32_t> sum[6];
  std::vector<int32_t> length;
  std::vector<int32_t> lumaLength;  // the luma part of the length
};

EdgeField MakeEdgeField();
void AddToEdgeField(EdgeField* f, const LearnSample& s);

// At pixel index p: the mean aligned strength |sum| / samples and the coherence
// |sum| / length in per mille (0 where nothing was summed); of luma alone when `luma`.
int32_t EdgeStrength(const EdgeField& f, size_t p, bool luma = false);
int32_t EdgeCoherence(const EdgeField& f, size_t p, bool luma = false);

}  // namespace zunk
