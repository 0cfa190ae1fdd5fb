// ProcessFrame: which frames are looked at, the change of channel, matching, the presence
// decision, the reactions, what is drawn into the frame and what is left for the dialog.
#include "pipeline/frame_pipeline.h"

#include <cstring>

#include "capture/capture_session.h"
#include "detect/decision.h"
#include "detect/matching.h"
#include "detect/overlay.h"
#include "pipeline/observed.h"
#include "pipeline/stream.h"
#include "pipeline/stream_template.h"
#include "react/reaction.h"
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"

namespace zunk {

PresenceState Presence = {};
int32_t StartSkip = 0;
int32_t ChangeSkip = 0;
int32_t SimulateLogoLoss = 0;
FrameTrace LastFrameTrace = {};

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
  // A reaction in force is undone whatever the previous key was: one started on a channel
  // with key 0 must not outlive it.
  EndReactionInForce();
  LastChannelKey = key;
  CopyChannelName(channel);
  SelectProfile();
  ChannelChangeRecordHook(RecordingStream);
  LoadTemplate();
  ApplyLeftTopPixelRule();
  NoteChannelChange();
  Presence.confidence = 100;
  ChangeSkip = 24;
}

// The decision of this frame: evaluated unless the hold-off freezes it.
int32_t Decide() {
  const ChannelProfile& p = *CurrentProfile();
  const PresenceStep step = StepPresence(Presence, p.LogoDetectLevel);
  if (step.changed)
    ApplyReaction(step.decision, RecordingStream);
  Presence = step.next;
  return step.decision;
}

}  // namespace

int32_t ProcessFrame(FrameInfo* frame) {
  LastFrameTrace.matched = 0;
  if (!frame || !frame->pixels)
    return 0;
  if (StartSkip > 0) {
    --StartSkip;
    return 0;
  }
  // Frames of a stream whose size or pixel format the module cannot handle pass unchanged.
  if (!StreamUsable || !frame->channel)
    return 0;

  const ChannelInfo& channel = *frame->channel;
  const int64_t key = KeyOf(channel);
  FeedCaptureFrame(frame->pixels, key, FrameWidth, FrameHeight, PixelFormat);
  if (key != LastChannelKey) {
    ChangeChannel(channel, key);
    return 0;
  }
  if (ChangeSkip > 0) {
    --ChangeSkip;
    return 0;
  }
  ChannelProfile* profile = CurrentProfile();
  if (!TemplateLoaded || !profile)
    return 0;
  // The buffers of a template loaded before this stream are made for its size on the first
  // frame that needs them.
  if (!StreamTemplate.Prepared && !TemplatePrepareTried)
    PrepareStreamTemplate();
  if (!StreamTemplate.Prepared)
    return 0;
  if (!profile->ProcessingEnable) {
    if (DialogOpen)
      PublishLevels(kLevelColoursOff, profile->LogoDetectLevel, 0, profile->LogoMatchLevel, 0);
    return 0;
  }

  uint8_t* pixels = static_cast<uint8_t*>(frame->pixels);
  const MatchGeometry g = ComputeMatchGeometry(
      profile, TemplatePicture.width, TemplatePicture.height, StreamTemplate.TemplateWidth,
      StreamTemplate.TemplateHeight, FrameWidth, FrameHeight, SearchHalfWidth);
  if (g.x < 0 || g.y < 0 || g.t < 0)
    return 0;
  const FrameTarget target = {pixels, FrameWidth, FrameHeight, PixelFormat};
  if (SimulateLogoLoss)
    PaintOverLogo(&StreamTemplate, target, g);
  const FrameView view = {pixels, FrameWidth, FrameHeight, PixelFormat};
  const MatchResult m = MatchFrame(&StreamTemplate, view, g, profile->ColorKey, ScoreRow);

  const int32_t on = DampedOnSpeed(profile->LogoOnResponseSpeed, m.scoreContrast, m.matchPercent,
                                   profile->LogoMatchLevel);
  Presence.confidence =
      NextConfidence(Presence.confidence, m.logoFound, on, profile->LogoOffResponseSpeed);
  // The reactions may not touch the profile table, but the profile is found afresh anyway.
  const int32_t d = Decide();
  profile = CurrentProfile();

  if (profile->MsgEnable && d == 1) {
    if (Presence.messageFadeCounter > 0)
      --Presence.messageFadeCounter;
    DrawMessage(target, Presence.messageFadeCounter);
  }
  if (DialogOpen) {
    PublishLevels(kLevelColoursOn, profile->LogoDetectLevel, Presence.confidence,
                  profile->LogoMatchLevel, m.matchPercent);
  }
  if (profile->ShowLogo)
    DrawLogoOverlay(StreamTemplate, target, g, profile->LogoTransparency, profile->ColorKey);

  LastFrameTrace = {1, m.matchPercent, m.scoreContrast, m.logoFound, Presence.confidence, d};
  return 1;
}

void EndReactionInForce() {
  if (Presence.reactionState == 1) {
    ApplyReaction(0, RecordingStream);
    Presence.reactionState = 0;
  }
}

}  // namespace zunk
