// Storage of what the frame pipeline observed for the dialog.
#include "pipeline/observed.h"

namespace zunk {

namespace {
PublishedLevels latest = {};
uint32_t channelChanges = 0;
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

void NoteChannelChange() {
  ++channelChanges;
}

uint32_t ChannelChanges() {
  return channelChanges;
}

}  // namespace zunk
