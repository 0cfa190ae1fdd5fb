// The live capture's bounded store of frames.
#include "capture/frame_slots.h"

#include <cstring>

#include "plugin/aligned_buffer.h"

namespace zunk {

size_t FrameBytes(int32_t width, int32_t height, int32_t format) {
  if (width <= 0 || height <= 0 || (format != 0 && format != 1))
    return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height) * (format == 0 ? 2 : 3);
}

size_t FrameStoreBytes(int32_t width, int32_t height, int32_t format) {
  const size_t bytes = FrameBytes(width, height, format);
  if (bytes == 0 || bytes > kFrameStoreBytes)
    return 0;
  const size_t fit = kFrameStoreBytes / bytes;
  return bytes * (fit < kMaxFrameSlots ? fit : kMaxFrameSlots);
}

bool MakeFrameSlots(FrameSlots* s, int32_t width, int32_t height, int32_t format) {
  FreeFrameSlots(s);
  const size_t bytes = FrameBytes(width, height, format);
  const size_t store = FrameStoreBytes(width, height, format);
  if (store == 0)
    return false;
  const int32_t count = static_cast<int32_t>(store / bytes);
  for (int32_t i = 0; i < count; ++i) {
    s->slot[i].pixels = static_cast<uint8_t*>(AllocAligned(bytes));
    if (!s->slot[i].pixels) {
      FreeFrameSlots(s);
      return false;
    }
    // Touched here, so that the video thread's first copy into it meets no page faults.
    std::memset(s->slot[i].pixels, 0, bytes);
    s->slot[i].full.store(0, std::memory_order_relaxed);
  }
  s->width = width;
  s->height = height;
  s->format = format;
  s->frameBytes = bytes;
  s->count = count;
  s->filled = 0;
  s->taken = 0;
  return true;
}

void FreeFrameSlots(FrameSlots* s) {
  for (FrameSlot& slot : s->slot) {
    FreeAligned(slot.pixels);
    slot.pixels = nullptr;
    slot.full.store(0, std::memory_order_relaxed);
  }
  // No size either: a stream of the size these slots had is a new one to the video thread.
  s->width = 0;
  s->height = 0;
  s->format = 0;
  s->count = 0;
  s->frameBytes = 0;
  s->filled = 0;
  s->taken = 0;
}

bool FillFrameSlot(FrameSlots* s, const void* frame) {
  if (s->count == 0)
    return false;
  FrameSlot& slot = s->slot[s->filled % static_cast<uint32_t>(s->count)];
  if (slot.full.load(std::memory_order_acquire) != 0)
    return false;
  std::memcpy(slot.pixels, frame, s->frameBytes);
  slot.full.store(1, std::memory_order_release);
  ++s->filled;
  return true;
}

const uint8_t* TakeFrameSlot(FrameSlots* s) {
  if (s->count == 0)
    return nullptr;
  FrameSlot& slot = s->slot[s->taken % static_cast<uint32_t>(s->count)];
  return slot.full.load(std::memory_order_acquire) != 0 ? slot.pixels : nullptr;
}

void GiveBackFrameSlot(FrameSlots* s) {
  if (s->count == 0)
    return;
  FrameSlot& slot = s->slot[s->taken % static_cast<uint32_t>(s->count)];
  slot.full.store(0, std::memory_order_release);
  ++s->taken;
}

}  // namespace zunk
