// The capture thread: hands the frames the video thread copied to the logo finder, one at a
// time, until the finder is sure, the time is up, the viewer stops it or the dialog ends
// it. It never takes the module lock and never touches the plug-in's state.
#include <utility>

#include "capture/capture_shared.h"
#include "platform/platform.h"

namespace zunk {

namespace {

constexpr uint32_t kIdleWaitMs = 20;

void* BeginSearch(const CaptureShared& c) {
  CaptureStream stream;
  stream.width = c.slots.width;
  stream.height = c.slots.height;
  stream.format = c.slots.format;
  stream.onSpeed = c.onSpeed;
  stream.offSpeed = c.offSpeed;
  return c.finder->Begin(stream);
}

void Publish(CaptureShared& c, CaptureState state, CaptureFailure failure) {
  c.failure.store(static_cast<int32_t>(failure), std::memory_order_relaxed);
  c.state.store(static_cast<int32_t>(state), std::memory_order_release);
}

// The stream's frame size changed: a new store and a new search for the new size.
void* Restart(CaptureShared& c, void* search, CaptureFailure* failure) {
  if (search)
    c.finder->End(search);
  const int32_t w = c.newWidth.load(std::memory_order_relaxed);
  const int32_t h = c.newHeight.load(std::memory_order_relaxed);
  const int32_t f = c.newFormat.load(std::memory_order_relaxed);
  const bool hadFrames = c.slots.count != 0;
  c.sizeChanged.store(0, std::memory_order_relaxed);
  if (!MakeFrameSlots(&c.slots, w, h, f)) {
    *failure = FrameBytes(w, h, f) != 0 && FrameStoreBytes(w, h, f) == 0
                   ? CaptureFailure::kFrameTooLarge
                   : CaptureFailure::kOther;
    return nullptr;
  }
  void* fresh = BeginSearch(c);
  if (!fresh) {
    *failure = CaptureFailure::kOther;
    return nullptr;
  }
  if (hadFrames)
    c.restarts.fetch_add(1, std::memory_order_relaxed);
  c.frames.store(0, std::memory_order_relaxed);
  c.nextCopyMs = 0;
  c.active.store(1, std::memory_order_release);
  return fresh;
}

// Hands one frame to the finder and offers its candidate to the preview.
void ReadFrame(CaptureShared& c, void* search, const uint8_t* frame) {
  c.finder->Add(search, SlotBands(c.slots, frame));
  GiveBackFrameSlot(&c.slots);
  c.frames.fetch_add(1, std::memory_order_relaxed);
  if (c.candidateReady.load(std::memory_order_acquire) == 0 &&
      c.finder->Candidate(search, &c.candidate))
    c.candidateReady.store(1, std::memory_order_release);
}

}  // namespace

void RunCaptureThread(void*) {
  CaptureShared& c = Capture;
  const uint64_t start = Os().MonotonicMs();
  uint64_t lastFrameAt = start;
  CaptureFailure failure = CaptureFailure::kNone;
  void* search = nullptr;
  if (c.slots.count != 0) {
    search = BeginSearch(c);
    if (!search)
      failure = CaptureFailure::kOther;
  }
  bool finish = false;
  while (failure == CaptureFailure::kNone && !finish &&
         c.abortAsked.load(std::memory_order_acquire) == 0) {
    if (c.channelChanged.load(std::memory_order_acquire) != 0) {
      if (search)
        c.finder->End(search);
      Publish(c, CaptureState::kChannelChanged, CaptureFailure::kNone);
      return;
    }
    if (c.sizeChanged.load(std::memory_order_acquire) != 0) {
      search = Restart(c, search, &failure);
      lastFrameAt = Os().MonotonicMs();
      continue;
    }
    // Asked before any frame waiting is read: a finder slower than the frames come always
    // has one waiting.
    const uint64_t now = Os().MonotonicMs();
    if (c.stopAsked.load(std::memory_order_acquire) != 0 || now - start >= kCaptureLimitMs) {
      finish = true;
      continue;
    }
    if (const uint8_t* frame = search ? TakeFrameSlot(&c.slots) : nullptr) {
      ReadFrame(c, search, frame);
      lastFrameAt = Os().MonotonicMs();
      finish = c.finder->Sure(search);
      continue;
    }
    if (c.frames.load(std::memory_order_relaxed) == 0 && now - lastFrameAt >= kCaptureNoFrameMs)
      failure = CaptureFailure::kNoFrames;
    else
      Os().SleepMs(kIdleWaitMs);
  }
  c.active.store(0, std::memory_order_relaxed);
  if (c.abortAsked.load(std::memory_order_acquire) != 0) {
    if (search)
      c.finder->End(search);
    return;
  }
  if (failure == CaptureFailure::kNone && c.frames.load(std::memory_order_relaxed) == 0)
    failure = CaptureFailure::kNoFrames;
  bool found = false;
  if (failure == CaptureFailure::kNone) {
    found = c.finder->Finish(search, &c.result, &failure);
    if (!found && failure == CaptureFailure::kNone)
      failure = CaptureFailure::kOther;
  }
  if (search)
    c.finder->End(search);
  Publish(c, found ? CaptureState::kFound : CaptureState::kFailed, failure);
}

}  // namespace zunk
