// What the frame pipeline observed, for the settings dialog: the level bars' latest values
// and the count of changes of channel. The video thread writes them while it holds the
// module lock; the dialog's timer reads them under the lock and draws on its own thread, so
// a frame never waits for a window and the pipeline never calls into the dialog.
#pragma once

#include <cstdint>

namespace zunk {

// The level bars' colour sets: 0 while detection is off, 1 while frames are matched.
enum LevelColourSet : int32_t { kLevelColoursOff = 0, kLevelColoursOn = 1 };

struct PublishedLevels {
  uint32_t sequence;  // counts the publications; 0 = none yet
  LevelColourSet colours;
  int32_t detectThreshold;
  int32_t detectValue;
  int32_t matchThreshold;
  int32_t matchValue;
};

// The detection bar's (threshold, value) and the match bar's, with the colour set to draw
// them in, while the dialog is open. Callers hold the module lock.
void PublishLevels(LevelColourSet colours,
                   int32_t detectThreshold,
                   int32_t detectValue,
                   int32_t matchThreshold,
                   int32_t matchValue);
// The latest publication. Callers hold the module lock.
PublishedLevels LatestLevels();

// Counts a change of channel; the open dialog shows the new channel's profile when it sees
// the count move. Callers hold the module lock.
void NoteChannelChange();
uint32_t ChannelChanges();

}  // namespace zunk
