// A logo on a still picture. When the programme is one still scene, every edge of it
// persists as the logo's do, and only the logo's own steadiness tells it apart: the pixels
// that keep their value (within a level or two) in nearly every sample that shows the
// logo, while the scene's, under camera noise, light and compression, drift a little: the
// logo's core (within one level in 95 % of those samples), cut down to where it is dense and
// its sides moved out to the edges of the logo's outline.
#pragma once

#include <cstdint>
#include <vector>

#include "learn/edge_groups.h"
#include "learn/learn_sample.h"

namespace zunk {

struct StillLogo {
  int32_t corner = -1;          // -1: none found
  CornerBox box;                // the logo's rectangle in its corner
  std::vector<uint8_t> mask;    // box-sized, 1 on the logo's pixels
  std::vector<uint8_t> shows;   // per sample: 1 when it shows the logo
  int32_t steadyShare = 0;      // per mille: how often its core pixels are steady
};

// Over the samples flagged in `shows` (those of the still scene with the logo), in the
// forced corner only when `forced` is 0..3.
StillLogo FindStillLogo(const std::vector<LearnSample>& samples,
                        const std::vector<uint8_t>& shows,
                        int32_t forced);

// How much the corners change from sample to sample: the median over every 16th pixel of
// its luma's median absolute deviation, over the samples flagged in `only` (every one when
// null). Below a few levels the picture is still.
int32_t Movement(const std::vector<LearnSample>& samples, const std::vector<uint8_t>* only);

}  // namespace zunk
