// The reactions to a change of the presence decision.
//
// Frame processing and Stop decide under the module lock, but the reactions talk to the
// host's window, whose thread may at that moment wait for the same lock (the dialog runs
// there). So a reaction asked for under the lock is only recorded, with what it needs of
// the profile in force; the entry point carries the recorded ones out, in order, once it
// has released the lock.
//
// Two threads may then carry out reactions at once: a frame on the video thread lowers the
// sound while Stop on the interface thread restores it. Each recorded reaction is stamped,
// under the lock, with the absence it starts or ends, so that an end never runs before its
// start: an end that comes while its start waits in the other thread's batch drops both,
// and one that comes while its start is being carried out is left to the thread carrying
// it out, which runs it next. Nor does an absence start before the previous one's end has
// run: the thread that starts it carries out a recorded end still waiting in another
// thread's batch first, and that thread then skips it.
#pragma once

#include <cstdint>

#include "base/frame_target.h"
#include "platform/platform.h"

namespace zunk {

// absent = 1 when the logo has gone (lower the sound, pause or resume the recording),
// 0 when it is back (undo); `recording` is nonzero while the stream is recorded. Records
// the reaction for RunReactions.
void ApplyReaction(int32_t absent, int32_t recording);

// At a change of channel, after the channel's profile was selected: the recording
// reaction that starts with the channel. Recorded like ApplyReaction's.
void ChannelChangeRecordHook(int32_t recording);

// The layer the on-screen message is drawn into: the screen-compatible surface made by
// Init and kept until the module unloads, and its W x H B,G,R,X top-down pixels made by
// Start for the stream (null outside a stream). Start and Stop change it under the lock.
struct MessageSurfaceState {
  Surface* surface;
  uint32_t* pixels;
};
extern MessageSurfaceState MessageSurface;

// Draws the on-screen message into the frame, `fadeCounter` frames of the fade-in still to
// go (25 down to 0). The frame's size is the stream's, for which Start made the surface.
void DrawMessage(const FrameTarget& frame, int32_t fadeCounter);
// The message layer is drawn anew on the next DrawMessage: at the end of a stream.
void ForgetMessageLayer();

enum ReactionStep : int32_t {
  kLowerVolume,  // the argument: PreviewAction 1..5
  kRestoreVolume,
  kPauseRecording,
  kResumeRecording,
};

struct PendingReaction {
  ReactionStep step;
  int32_t argument;
  // The absence (numbered from 1 under the lock) whose start or end this is; 0 for a
  // reaction that pairs with none (an end whose absence started nothing, the channel's
  // first recording command): those always run.
  uint32_t absence;
  bool starts;  // the lowering, or the recording command at the logo's loss
};

// The reactions recorded since the last take, in the order they were asked for.
struct ReactionBatch {
  static constexpr int32_t kCapacity = 8;  // a call records at most three
  PendingReaction items[kCapacity];
  int32_t count;
};

// Records a reaction that pairs with no other; called with the lock held.
void QueueReaction(ReactionStep step, int32_t argument);
// Takes the recorded reactions out of the queue; called with the lock held.
ReactionBatch TakePendingReactions();
// Carries them out, dropping the stale ones; called without the lock.
void RunReactions(const ReactionBatch& batch);

// Holds the module lock for one scope, and carries out the reactions recorded in it
// once the lock is released.
class ReactionLockScope {
 public:
  ReactionLockScope();
  ~ReactionLockScope();
  ReactionLockScope(const ReactionLockScope&) = delete;
  ReactionLockScope& operator=(const ReactionLockScope&) = delete;
};

}  // namespace zunk
