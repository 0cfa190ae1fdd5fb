// ApplyReaction and the queue of reactions waiting for the module lock to be released,
// with the stamps that keep an absence's end from running before its start.
#include "react/reaction.h"

#include "platform/platform.h"
#include "react/recording.h"
#include "react/volume.h"
#include "settings/channel_profile.h"

namespace zunk {

namespace {

ReactionBatch pending = {};

// Under the lock, as reactions are recorded: the absences numbered so far, the one whose
// start was recorded and whose end was not yet (0: none), and the ends recorded for the
// latest absences, by absence number modulo their count.
uint32_t absencesNumbered = 0;
uint32_t openAbsence = 0;
constexpr uint32_t kRecordedEnds = 4;
PendingReaction recordedEnds[kRecordedEnds] = {};

// Under the lock, as reactions are carried out: the last absence whose start was carried
// out; the one whose start is being carried out now (0: none); an end that came meanwhile,
// left to that thread (absence 0: none); the last absence whose end came before its
// start had run, so that its start is dropped when it comes; and the last absence whose
// end a thread has taken to carry out.
uint32_t startedAbsence = 0;
uint32_t startingAbsence = 0;
PendingReaction handedOverEnd = {};
uint32_t droppedAbsence = 0;
uint32_t endTaken = 0;

// Notes, under the lock, that a thread carries out (or drops) the end of `absence`.
void TakeEnd(uint32_t absence) {
  if (absence > endTaken)
    endTaken = absence;
}

void Record(const PendingReaction& r) {
  if (pending.count < ReactionBatch::kCapacity)
    pending.items[pending.count++] = r;
  if (r.absence != 0 && !r.starts)
    recordedEnds[r.absence % kRecordedEnds] = r;
}

// The recorded end of the absence whose start was carried out last, when no thread has
// taken it yet: it belongs before the start of any later absence. Under the lock.
PendingReaction TakeEndBefore(uint32_t absence) {
  const PendingReaction& end = recordedEnds[startedAbsence % kRecordedEnds];
  if (startedAbsence == 0 || end.absence != startedAbsence || end.absence >= absence ||
      end.absence <= endTaken)
    return {};
  TakeEnd(end.absence);
  return end;
}

// Carries out one reaction. Returns false when the host did not take it.
bool CarryOut(const PendingReaction& r) {
  switch (r.step) {
    case kLowerVolume:
      return LowerVolume(r.argument);
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
  return true;
}

void RunStart(const PendingReaction& r) {
  PendingReaction earlierEnd = {};
  {
    LockScope lock;
    if (r.absence <= droppedAbsence)
      return;  // its end came first: nothing of this absence runs
    // The previous absence's end, recorded on another thread that has not carried it out
    // yet, runs first: the new lowering must see the sound as it was before that absence.
    earlierEnd = TakeEndBefore(r.absence);
    startingAbsence = r.absence;
  }
  if (earlierEnd.absence != 0)
    CarryOut(earlierEnd);
  const bool done = CarryOut(r);
  PendingReaction end = {};
  {
    LockScope lock;
    startingAbsence = 0;
    // Not done (the host did not answer): there is nothing to undo, and the end is dropped.
    if (done)
      startedAbsence = r.absence;
    if (handedOverEnd.absence == r.absence) {
      if (done)
        end = handedOverEnd;
      handedOverEnd = {};
    }
  }
  if (end.absence != 0)
    CarryOut(end);
}

void RunEnd(const PendingReaction& r) {
  {
    LockScope lock;
    if (r.absence <= endTaken)
      return;  // the thread that started a later absence carried it out first
    TakeEnd(r.absence);
    if (startingAbsence == r.absence) {
      handedOverEnd = r;
      return;
    }
    if (startedAbsence != r.absence) {
      // Its start has not run yet, and is dropped when it comes; or it never ran (the host
      // did not answer) and a later absence has started since: nothing to undo either way.
      if (startedAbsence < r.absence)
        droppedAbsence = r.absence;
      return;
    }
  }
  CarryOut(r);
}

}  // namespace

void QueueReaction(ReactionStep step, int32_t argument) {
  Record({step, argument, 0, false});
}

ReactionBatch TakePendingReactions() {
  ReactionBatch batch = pending;
  pending.count = 0;
  return batch;
}

void RunReactions(const ReactionBatch& batch) {
  for (int32_t i = 0; i < batch.count; ++i) {
    const PendingReaction& r = batch.items[i];
    if (r.absence == 0)
      CarryOut(r);
    else if (r.starts)
      RunStart(r);
    else
      RunEnd(r);
  }
}

void ApplyReaction(int32_t absent, int32_t recording) {
  // The absence this call starts, or the one it ends when a start was recorded for it.
  const uint32_t absence = absent ? ++absencesNumbered : openAbsence;
  openAbsence = 0;
  const ChannelProfile* p = CurrentProfile();
  if (!p)
    return;
  ReactionStep step;
  if (recording) {
    // 1: pause while the logo is absent; 2: pause while it is present.
    if (p->RecordAction == 1)
      step = absent ? kPauseRecording : kResumeRecording;
    else if (p->RecordAction == 2)
      step = absent ? kResumeRecording : kPauseRecording;
    else
      return;
  } else if (p->PreviewAction >= 1 && p->PreviewAction <= 5) {
    // The PreviewAction in force now decides, also when the logo returns.
    step = absent ? kLowerVolume : kRestoreVolume;
  } else {
    return;
  }
  Record({step, p->PreviewAction, absence, absent != 0});
  if (absent)
    openAbsence = absence;
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
