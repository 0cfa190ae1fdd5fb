// ApplyReaction: the volume and recording reactions are added here as they are built.
#include "react/reaction.h"

namespace zunk {

void ApplyReaction(int32_t absent) {
  (void)absent;
}

void ChannelChangeRecordHook() {}

void DrawMessage(uint8_t* framePixels) {
  (void)framePixels;
}

}  // namespace zunk
