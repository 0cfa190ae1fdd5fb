// The dialog's reads and writes of the profile table.
#include "dialog/dialog_profile.h"

#include "pipeline/frame_pipeline.h"
#include "pipeline/stream_template.h"
#include "settings/channel_profile.h"

namespace zunk {

ProfileView ReadProfileView() {
  ProfileView v;
  if (const ChannelProfile* p = CurrentProfile()) {
    v.index = CurrentIndex;
    v.profile = *p;
  } else {
    v.profile = DefaultProfile;
  }
  v.channelName = ChannelName;
  v.simulateLogoLoss = SimulateLogoLoss;
  v.templateReady = TemplateLoaded;
  return v;
}

ChannelProfile* EditTarget(bool refreshing, int32_t shownIndex) {
  ChannelProfile* p = CurrentProfile();
  if (p && refreshing && shownIndex != CurrentIndex)
    return nullptr;
  return p;
}

void TakeSnapshot() {
  ProfileSnapshot = Profiles;
}

void RestoreSnapshot() {
  const size_t n =
      ProfileSnapshot.size() < Profiles.size() ? ProfileSnapshot.size() : Profiles.size();
  for (size_t i = 0; i < n; ++i)
    Profiles[i] = ProfileSnapshot[i];
}

}  // namespace zunk
