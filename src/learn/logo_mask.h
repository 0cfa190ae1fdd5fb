// From a group of persistent edges to the template: the typical picture of the samples
// that show the logo (per-pixel medians), the logo's mask (its edges closed and filled,
// less what changes like the background does: holes and the picture just outside), the
// colours under the mask and a colour key that no logo pixel has.
#pragma once

#include <cstdint>
#include <vector>

#include "learn/edge_groups.h"
#include "learn/logo_finder.h"

namespace zunk {

// Fills found->place (but its strength), pixels, mask, colorKey and the context from the
// group found over the samples flagged in found->showsLogo (their edge counts, and the
// level at which an edge persists). False when no pixel is left.
bool CutOutLogo(const std::vector<LearnSample>& samples,
                const EdgeCounts& field,
                int32_t least,
                const EdgeGroup& group,
                FoundLogo* found);

// The first of a few plain colours that no masked pixel of `pixels` (B, G, R, X) has.
uint32_t ChooseColorKey(const std::vector<uint32_t>& pixels, const std::vector<uint8_t>& mask);

// B, G, R, X of a luma and colour as the plug-in converts a format-0 frame.
uint32_t BgrxFromYuv(uint8_t y, uint8_t u, uint8_t v);

}  // namespace zunk
