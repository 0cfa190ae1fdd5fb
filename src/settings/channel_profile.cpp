// The live profile table and the selection of the current channel's profile.
#include "settings/channel_profile.h"

#include "plugin/module_state.h"

namespace zunk {

ProfileTable Profiles;
ProfileTable ProfileSnapshot;
int32_t CurrentIndex = 0;
ChannelProfile DefaultProfile;
ChannelProfile StagingProfile;

void SelectProfile() {
  const int64_t key = LastChannelKey;
  const int32_t count = static_cast<int32_t>(Profiles.size());
  // The first record with the key wins; a later duplicate stays and is saved unchanged.
  for (CurrentIndex = 0; CurrentIndex < count; ++CurrentIndex) {
    if (Profiles[CurrentIndex].ChannelKey == key)
      return;
  }
  Profiles.push_back(DefaultProfile);
  Profiles.back().ChannelKey = key;
  CurrentIndex = count;
  if (DialogOpen)
    AddNewChannelToSnapshot(key);
}

ChannelProfile* CurrentProfile() {
  if (CurrentIndex < 0 || static_cast<size_t>(CurrentIndex) >= Profiles.size())
    return nullptr;
  return &Profiles[CurrentIndex];
}

void AddNewChannelToSnapshot(int64_t channelKey) {
  // The key goes to the record just appended: when the two tables have the same count
  // (as they do while the dialog is open) that is the record at CurrentIndex, and if
  // they ever differed no other channel's record would be renamed.
  ProfileSnapshot.push_back(DefaultProfile);
  ProfileSnapshot.back().ChannelKey = channelKey;
}

}  // namespace zunk
