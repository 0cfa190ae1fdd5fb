// Storage of the level bars' latest values.
#include "dialog/published_levels.h"

namespace zunk {

namespace {
PublishedLevels latest = {};
}  // namespace

void PublishLevels(LevelColourSet colours,
                   int32_t detectThreshold,
                   int32_t detectValue,
                   int32_t matchThreshold,
                   int32_t matchValue) {
  latest.colours = colours;
  latest.detectThreshold = detectThreshold;
  latest.detectValue = detectValue;
  latest.matchThreshold = matchThreshold;
  latest.matchValue = matchValue;
  ++latest.sequence;
}

PublishedLevels LatestLevels() {
  return latest;
}

}  // namespace zunk
