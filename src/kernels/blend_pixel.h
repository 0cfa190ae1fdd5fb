// The per-pixel blend formulas of the reference, shared with the region walk, which blends
// the half groups at the edges of packed 4:2:2 rows with them. Defined out of line in
// blend_ref.cpp, so that no copy is compiled with a wider instruction set.
#pragma once

#include <cstdint>

#include "kernels/blend.h"

namespace zunk {
namespace blendpx {

// A source pixel's B, G, R (0..255) and whether it is drawn (not keyed, not excluded).
struct SourcePixel {
  int32_t b, g, r;
  bool drawn;
};
constexpr SourcePixel kExcluded{0, 0, 0, false};

// Work sources are keyed on B, G, R equal to the key's bytes; into a format-0 frame the X
// word must also be 0. Words outside 0..255 are clamped after the key test.
SourcePixel FromWork(const WorkPixel& p, const BlendCall& call, bool keyTestsX);
SourcePixel FromBgrx(const uint8_t* p, const BlendCall& call);
// One group Y0, U, Y1, V with its left and right source pixels.
void BlendGroup(uint8_t* grp, const SourcePixel& p0, const SourcePixel& p1, int32_t w);
void BlendPixel(uint8_t* d, const SourcePixel& s, int32_t w);

}  // namespace blendpx
}  // namespace zunk
