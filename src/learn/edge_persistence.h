// Edges that persist: for each corner pixel, in how many samples an edge lies there along
// the pixel's usual orientation. An edge's orientation, not its sign or strength, is what a
// logo keeps over every picture: a see-through or white logo's edge turns from dark-to-light
// to light-to-dark with the picture behind it, and fades where the picture matches it. The
// orientation is taken from luma and colour together (the structure tensor of the three
// planes), so a logo that differs from the picture by its colour alone has edges too.
// Integer arithmetic throughout, so that every build counts the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {

// A pixel's edge in one sample: its strength (the root of the tensor's trace, levels of a
// central difference) and its orientation as a double-angle vector of length kUnit (0, 0
// when there is no edge).
constexpr int32_t kUnit = 256;
struct EdgeAt {
  int32_t strength;
  int32_t c, s;  // kUnit * (cos, sin) of twice the gradient's angle
};
EdgeAt EdgeOf(const LearnSample& s, int32_t corner, int32_t x, int32_t y);

// The strength that counts as an edge wherever the picture has texture: above what
// compression leaves on a flat but busy area.
constexpr int32_t kEdgeStrength = 10;
// The least strength that counts as an edge where the picture around it is quiet (a white
// logo over a white wall differs from it by a few levels, and nothing else there moves).
constexpr int32_t kQuietEdgeStrength = 3;

// The edges of a whole corner of a sample (kCornerLumaBytes, y * kCornerWidth + x), each
// judged against the picture around it: in each block of kEdgeBlock x kEdgeBlock pixels an
// edge must reach three times the strength of the block's quieter quarter, between
// kQuietEdgeStrength and kEdgeStrength. Below that a pixel has no edge (strength 0).
constexpr int32_t kEdgeBlock = 16;
void CornerEdges(const LearnSample& s, int32_t corner, std::vector<EdgeAt>* out);

// A sample counts kWhole; with `distinct` counting, a sample whose corner shows the same
// picture as n samples (itself included) counts kWhole / n there, so that a scene held
// still for a while, or shown again, counts about once however many samples it fills.
constexpr int32_t kWhole = 64;

struct EdgeCounts {
  int32_t samples = 0;                 // samples counted
  int32_t total[kCorners] = {};        // what they count for, per corner
  // Per corner pixel (corner * kCornerLumaBytes + y * kCornerWidth + x):
  std::vector<int32_t> c, s;           // summed orientation vectors of its edges
  std::vector<int32_t> edges;          // samples with an edge there (counted as above)
  std::vector<int32_t> persisting;     // of which along the pixel's usual orientation
};

// Counts over the samples flagged in `only` (every sample when null): two passes, the
// usual orientation first, then the edges along it.
EdgeCounts CountEdges(const std::vector<LearnSample>& samples,
                      const std::vector<uint8_t>* only,
                      bool distinct = false);

// Per corner and sample: kWhole divided by the number of samples (among those flagged in
// `only`) whose luma edges in the corner mostly coincide with its own.
std::vector<int32_t> DistinctWeights(const std::vector<LearnSample>& samples,
                                     const std::vector<uint8_t>* only);

// Whether an edge lies along the usual orientation (c, s summed, `norm` its length) of its
// pixel: within 30 degrees.
bool Along(const EdgeAt& e, int64_t c, int64_t s, int64_t norm);

// The integer square root (floor).
int64_t ISqrt(int64_t v);

// How much more often than not an edge at pixel p lies along its usual orientation:
// persisting - (edges - persisting), in samples counted as kWhole. Texture whose edges only happen to lie that way now
// and then stays near or below 0; a logo's edges count nearly every sample that shows it.
inline int32_t Excess(const EdgeCounts& f, size_t p) {
  return 2 * f.persisting[p] - f.edges[p];
}

// Pixel index of a corner pixel in the counts.
inline size_t CountAt(int32_t corner, int32_t x, int32_t y) {
  return static_cast<size_t>(corner) * kCornerLumaBytes + static_cast<size_t>(y) * kCornerWidth +
         x;
}

}  // namespace zunk
