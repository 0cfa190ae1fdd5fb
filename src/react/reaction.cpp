// ApplyReaction and the queue of reactions waiting for the module lock to be released.
#include "react/reaction.h"

#include "detect/decision.h"
#include "detect/stream.h"
#include "platform/platform.h"
#include "react/recording.h"
#include "react/volume.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {
ReactionBatch pending = {};
}  // namespace

void QueueReaction(ReactionStep step, int32_t argument) {
  if (pending.count < ReactionBatch::kCapacity)
    pending.items[pending.count++] = {step, argument};
}

ReactionBatch TakePendingReactions() {
  ReactionBatch batch = pending;
  pending.count = 0;
  return batch;
}

void RunReactions(const ReactionBatch& batch) {
  for (int32_t i = 0; i < batch.count; ++i) {
    const PendingReaction& r = batch.items[i];
    switch (r.step) {
      case kLowerVolume:
        LowerVolume(r.argument);
        break;
      case kRestoreVolume:
        RestoreVolume();
        break;
      case kPauseRecording:
        PostRecordCommand(1);
        break;
      case kResumeRecording:
        PostRecordCommand(0);
        break;
    }
  }
}

void ApplyReaction(int32_t absent) {
  const ChannelProfile* p = CurrentProfile();
  if (!p)
    return;
  if (RecordingStream) {
    // 1: pause while the logo is absent; 2: pause while it is present.
    if (p->RecordAction == 1)
      QueueReaction(absent ? kPauseRecording : kResumeRecording, 0);
    else if (p->RecordAction == 2)
      QueueReaction(absent ? kResumeRecording : kPauseRecording, 0);
    return;
  }
  // The PreviewAction in force now decides, also when the logo returns.
  if (p->PreviewAction >= 1 && p->PreviewAction <= 5)
    QueueReaction(absent ? kLowerVolume : kRestoreVolume, p->PreviewAction);
}

void EndReactionInForce() {
  if (ReactionState == 1) {
    ApplyReaction(0);
    ReactionState = 0;
  }
}

ReactionLockScope::ReactionLockScope() {
  Os().Lock();
}

ReactionLockScope::~ReactionLockScope() {
  const ReactionBatch batch = TakePendingReactions();
  Os().Unlock();
  RunReactions(batch);
}

}  // namespace zunk
