// The level bars' latest values, handed from the video thread to the dialog's thread.
// The video thread writes them while it holds the module lock; the dialog reads them
// under the lock and draws on its own thread, so a frame never waits for a window.
#pragma once

#include <cstdint>

#include "dialog/dialog_host.h"

namespace zunk {

struct PublishedLevels {
  uint32_t sequence;  // counts the publications; 0 = none yet
  LevelColourSet colours;
  int32_t detectThreshold;
  int32_t detectValue;
  int32_t matchThreshold;
  int32_t matchValue;
};

// The latest publication. Callers hold the module lock.
PublishedLevels LatestLevels();

}  // namespace zunk
