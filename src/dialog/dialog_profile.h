// What the dialog reads and writes of the profile table: the values a refresh shows, the
// profile a handler edits, and the snapshot that Cancel puts back. Portable; every
// function here expects the caller to hold the module lock.
#pragma once

#include <cstdint>
#include <string>

#include "settings/channel_profile.h"

namespace zunk {

// A copy of everything a refresh shows, taken in one go under the lock.
struct ProfileView {
  int32_t index = -1;      // the profile shown; -1 while the table is empty
  ChannelProfile profile;  // that profile, or DefaultProfile while the table is empty
  std::string channelName;
  int32_t simulateLogoLoss = 0;
  int32_t templateReady = 0;
};
ProfileView ReadProfileView();

// The profile a handler writes into: the one at CurrentIndex when the handler runs, or
// null while the table is empty (nothing is held then). The notifications that a
// refresh raises itself (refreshing = true) write only into the profile being shown
// (shownIndex), and only while it is still the current one: once the channel has moved
// on they must not carry the old channel's values into the new one's profile.
ChannelProfile* EditTarget(bool refreshing, int32_t shownIndex);

// The dialog opens: the snapshot becomes a deep copy of the live table.
void TakeSnapshot();
// Cancel: every profile the snapshot holds is copied back over the profile of the same
// index. The table itself never shrinks, so CurrentIndex stays valid.
void RestoreSnapshot();

}  // namespace zunk
