// The video thread's part of the live capture: one copy of the frame each half second into
// the capture's store, and nothing else. A change of channel or of the frame's size stops
// the copies and tells the capture thread.
#include "capture/capture_shared.h"
#include "platform/platform.h"

namespace zunk {

void FeedCaptureFrame(const void* pixels,
                      int64_t channelKey,
                      int32_t width,
                      int32_t height,
                      int32_t format) {
  CaptureShared& c = Capture;
  if (c.active.load(std::memory_order_acquire) == 0 || !pixels)
    return;
  if (c.channelKnown.load(std::memory_order_relaxed) == 0) {
    c.channelKey.store(channelKey, std::memory_order_relaxed);
    c.channelKnown.store(1, std::memory_order_relaxed);
  } else if (c.channelKey.load(std::memory_order_relaxed) != channelKey) {
    c.active.store(0, std::memory_order_relaxed);
    c.channelChanged.store(1, std::memory_order_release);
    return;
  }
  if (width != c.slots.width || height != c.slots.height || format != c.slots.format) {
    c.active.store(0, std::memory_order_relaxed);
    c.newWidth.store(width, std::memory_order_relaxed);
    c.newHeight.store(height, std::memory_order_relaxed);
    c.newFormat.store(format, std::memory_order_relaxed);
    c.sizeChanged.store(1, std::memory_order_release);
    return;
  }
  const uint64_t now = Os().MonotonicMs();
  if (now < c.nextCopyMs)
    return;
  if (FillFrameSlot(&c.slots, pixels))
    c.nextCopyMs = now + kCaptureIntervalMs;
}

}  // namespace zunk
