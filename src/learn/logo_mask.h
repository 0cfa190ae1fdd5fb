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
// group found over the samples flagged in found->showsLogo. `marks` is the group's corner
// map of the evidence found (kCornerLumaBytes): persistent edges, which also mark the
// picture's pixel just outside the logo (`edges`), or steady pixels, which do not. False
// when no pixel is left.
bool CutOutLogo(const std::vector<LearnSample>& samples,
                const std::vector<uint8_t>& marks,
                bool edges,
                const EdgeGroup& group,
                FoundLogo* found);

// The template of a logo whose rectangle `logo` (corner pixels) and mask (logo-sized) are
// known: the typical picture of the samples flagged in found->showsLogo there, the colour
// key, the context. Fills found->place (but its strength), pixels, mask, colorKey and the
// context.
void TemplateFrom(const std::vector<LearnSample>& samples,
                  int32_t corner,
                  const CornerBox& logo,
                  const std::vector<uint8_t>& mask,
                  FoundLogo* found);

// The first of a few plain colours that no masked pixel of `pixels` (B, G, R, X) has.
uint32_t ChooseColorKey(const std::vector<uint32_t>& pixels, const std::vector<uint8_t>& mask);

// B, G, R, X of a luma and colour as the plug-in converts a format-0 frame.
uint32_t BgrxFromYuv(uint8_t y, uint8_t u, uint8_t v);

}  // namespace zunk
