// The live profile table and the selection of the current channel's profile.
#include "settings/channel_profile.h"

#include <utility>

#include "settings/dialog_settings.h"

namespace zunk {

int64_t LastChannelKey = 0;
char ChannelName[kChannelNameMax + 1] = {};

ProfileTable Profiles;
ProfileTable ProfileSnapshot;
int32_t CurrentIndex = 0;
ChannelProfile DefaultProfile;

void SelectProfile() {
  const int64_t key = LastChannelKey;
  const size_t count = Profiles.size();
  // The first record with the key wins; a later duplicate stays and is saved unchanged.
  // The search runs on its own index: the dialog's thread reads CurrentIndex, which is
  // therefore set once and always names an existing record.
  for (size_t i = 0; i < count; ++i) {
    if (Profiles[i].ChannelKey == key) {
      CurrentIndex = static_cast<int32_t>(i);
      return;
    }
  }
  ChannelProfile added = DefaultProfile;
  added.ChannelKey = key;
  Profiles.push_back(std::move(added));
  CurrentIndex = static_cast<int32_t>(count);
  if (DialogOpen)
    CatchUpSnapshot();
}

ChannelProfile* CurrentProfile() {
  if (CurrentIndex < 0 || static_cast<size_t>(CurrentIndex) >= Profiles.size())
    return nullptr;
  return &Profiles[CurrentIndex];
}

void CatchUpSnapshot() {
  // Records are only ever appended, so the records the snapshot lacks are the newest
  // ones. They are copied as they are now: a record just added for a new channel is
  // still the copy of DefaultProfile it was made as, with its key.
  while (ProfileSnapshot.size() < Profiles.size())
    ProfileSnapshot.push_back(Profiles[ProfileSnapshot.size()]);
}

}  // namespace zunk
