// Thresholds from the picture: the plug-in's own matcher (its template preparation and
// frame matching, on buffers of the caller's own) run over the learning samples with the
// logo found, the match percentages and contrasts of the samples with the logo against
// those without it (adverts, and the same samples' opposite corner), and LogoMatchLevel,
// LogoDetectLevel and, for a logo that moves, LogoPosTolerance chosen in the widest gap
// between the two groups, checked against the decision's own arithmetic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "learn/logo_finder.h"

namespace zunk {

struct Calibration {
  bool separated = false;  // the levels below were chosen; otherwise they are the defaults
  std::string message;     // one plain English sentence on what was seen and chosen
  int32_t matchLevel = 80;
  int32_t detectLevel = 80;
  int32_t posTolerance = 3;
  // Match percentages of the two groups: the lowest tenth with the logo, the highest tenth
  // without it; and the confidence a programme stretch keeps at least and an advert
  // stretch reaches at most under the chosen match level.
  int32_t withLow = 0, withoutHigh = 0;
  int32_t programmeLeast = 0, advertMost = 0;
  int32_t withCount = 0, withoutCount = 0;
};

// Calibrates for a channel whose confidence moves up by `onSpeed` and down by `offSpeed`
// per frame. `logo` must be found in these samples.
Calibration Calibrate(const std::vector<LearnSample>& samples,
                      const FoundLogo& logo,
                      int32_t onSpeed,
                      int32_t offSpeed);

}  // namespace zunk
