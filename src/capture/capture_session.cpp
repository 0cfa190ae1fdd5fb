// The live capture's life as the dialog sees it: start, stop, progress, the candidate and
// the answer, and the end that frees everything.
#include <utility>

#include "capture/capture_shared.h"
#include "capture/core_finder.h"
#include "platform/platform.h"

namespace zunk {

CaptureShared Capture;

namespace {

const CaptureFinder* finderInForce = &kCoreLogoFinder;

// StartCapture and EndCapture run one at a time, whichever threads call them.
class ControlScope {
 public:
  ControlScope() {
    while (Capture.controlBusy.exchange(1, std::memory_order_acquire) != 0)
      Os().SleepMs(1);
  }
  ~ControlScope() { Capture.controlBusy.store(0, std::memory_order_release); }
  ControlScope(const ControlScope&) = delete;
  ControlScope& operator=(const ControlScope&) = delete;
};

void Release(CapturedLogo* logo) {
  CapturedLogo empty;
  std::swap(*logo, empty);
}

}  // namespace

const CaptureFinder* CaptureFinderInForce() {
  return finderInForce;
}

void SetCaptureFinder(const CaptureFinder* finder) {
  finderInForce = finder;
}

bool StartCapture(const CaptureStart& from) {
  ControlScope control;
  CaptureShared& c = Capture;
  if (c.thread.load() != 0 || !finderInForce)
    return false;
  c.finder = finderInForce;
  c.onSpeed = from.onSpeed;
  c.offSpeed = from.offSpeed;
  // Without a stream the store stays empty: the first frame reads as a change of size.
  if (!MakeFrameSlots(&c.slots, from.width, from.height, from.format))
    FreeFrameSlots(&c.slots);
  c.channelKey.store(from.channelKey, std::memory_order_relaxed);
  c.channelKnown.store(from.channelKnown ? 1 : 0, std::memory_order_relaxed);
  c.channelChanged.store(0, std::memory_order_relaxed);
  c.sizeChanged.store(0, std::memory_order_relaxed);
  c.stopAsked.store(0, std::memory_order_relaxed);
  c.abortAsked.store(0, std::memory_order_relaxed);
  c.frames.store(0, std::memory_order_relaxed);
  c.restarts.store(0, std::memory_order_relaxed);
  c.candidateReady.store(0, std::memory_order_relaxed);
  c.failure.store(static_cast<int32_t>(CaptureFailure::kNone), std::memory_order_relaxed);
  c.state.store(static_cast<int32_t>(CaptureState::kRunning), std::memory_order_relaxed);
  c.nextCopyMs = 0;
  c.active.store(1, std::memory_order_release);
  const uintptr_t thread = Os().StartThread(RunCaptureThread, nullptr);
  if (!thread) {
    {
      LockScope lock;
      c.active.store(0, std::memory_order_relaxed);
    }
    FreeFrameSlots(&c.slots);
    c.state.store(static_cast<int32_t>(CaptureState::kIdle), std::memory_order_release);
    return false;
  }
  c.thread.store(thread);
  return true;
}

void StopCapture() {
  Capture.stopAsked.store(1, std::memory_order_release);
}

CaptureProgress ReadCaptureProgress() {
  const CaptureShared& c = Capture;
  CaptureProgress p;
  p.state = static_cast<CaptureState>(c.state.load(std::memory_order_acquire));
  p.frames = c.frames.load(std::memory_order_relaxed);
  p.restarts = c.restarts.load(std::memory_order_relaxed);
  p.failure = static_cast<CaptureFailure>(c.failure.load(std::memory_order_relaxed));
  p.channelKey = c.channelKey.load(std::memory_order_relaxed);
  return p;
}

bool TakeCaptureCandidate(CapturedLogo* out) {
  CaptureShared& c = Capture;
  if (c.candidateReady.load(std::memory_order_acquire) == 0)
    return false;
  *out = c.candidate;
  c.candidateReady.store(0, std::memory_order_release);
  return true;
}

bool TakeCapturedLogo(CapturedLogo* out) {
  CaptureShared& c = Capture;
  if (c.state.load(std::memory_order_acquire) != static_cast<int32_t>(CaptureState::kFound))
    return false;
  *out = c.result;
  return true;
}

void EndCapture() {
  ControlScope control;
  CaptureShared& c = Capture;
  const uintptr_t thread = c.thread.exchange(0);
  if (thread) {
    c.abortAsked.store(1, std::memory_order_release);
    Os().JoinThread(thread);
  }
  {
    // Once this lock was held the video thread is not inside a copy, and sees `active`
    // cleared at its next frame.
    LockScope lock;
    c.active.store(0, std::memory_order_relaxed);
  }
  FreeFrameSlots(&c.slots);
  Release(&c.candidate);
  Release(&c.result);
  c.candidateReady.store(0, std::memory_order_relaxed);
  c.state.store(static_cast<int32_t>(CaptureState::kIdle), std::memory_order_release);
}

}  // namespace zunk

namespace {
// A module unloaded after a capture's thread ended but before the dialog ended the capture
// takes the store with it. (The thread itself keeps the module loaded while it runs.)
struct CaptureReleaser {
  ~CaptureReleaser() { zunk::FreeFrameSlots(&zunk::Capture.slots); }
} captureReleaser;
}  // namespace
