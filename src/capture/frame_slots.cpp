// The live capture's bounded store of frames.
#include "capture/frame_slots.h"

#include <algorithm>
#include <cstring>

#include "base/aligned_buffer.h"
#include "learn/learn_sample.h"

namespace zunk {

namespace {

// The rows each frame's sample reads, in two bands (one where they meet or overlap).
void PlanCopies(FrameSlots* s) {
  int32_t r[2][2];
  CornerRows(s->height, s->format, r);
  if (r[0][1] >= r[1][0]) {
    s->rows[0] = {r[0][0], std::max(r[0][1], r[1][1])};
    s->rows[1] = {s->rows[0].last, s->rows[0].last};
  } else {
    s->rows[0] = {r[0][0], r[0][1]};
    s->rows[1] = {r[1][0], r[1][1]};
  }
}

size_t Stride(int32_t width, int32_t format) {
  return static_cast<size_t>(width) * (format == 0 ? 2 : 3);
}

// The bytes of one slot: both bands' rows.
size_t SlotBytesOf(int32_t width, int32_t height, int32_t format) {
  if (FrameBytes(width, height, format) == 0)
    return 0;
  FrameSlots plan;
  plan.height = height;
  plan.format = format;
  PlanCopies(&plan);
  const size_t rows = static_cast<size_t>(plan.rows[0].last - plan.rows[0].first) +
                      static_cast<size_t>(plan.rows[1].last - plan.rows[1].first);
  return rows * Stride(width, format);
}

}  // namespace

size_t FrameBytes(int32_t width, int32_t height, int32_t format) {
  if (width <= 0 || height <= 0 || (format != 0 && format != 1))
    return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height) * (format == 0 ? 2 : 3);
}

size_t FrameStoreBytes(int32_t width, int32_t height, int32_t format) {
  const size_t bytes = SlotBytesOf(width, height, format);
  if (bytes == 0 || bytes > kFrameStoreBytes)
    return 0;
  const size_t fit = kFrameStoreBytes / bytes;
  return bytes * (fit < kMaxFrameSlots ? fit : kMaxFrameSlots);
}

bool MakeFrameSlots(FrameSlots* s, int32_t width, int32_t height, int32_t format) {
  FreeFrameSlots(s);
  const size_t bytes = SlotBytesOf(width, height, format);
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
  s->frameBytes = FrameBytes(width, height, format);
  s->slotBytes = bytes;
  PlanCopies(s);
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
  s->slotBytes = 0;
  s->filled = 0;
  s->taken = 0;
}

bool FillFrameSlot(FrameSlots* s, const void* frame) {
  if (s->count == 0)
    return false;
  FrameSlot& slot = s->slot[s->filled % static_cast<uint32_t>(s->count)];
  if (slot.full.load(std::memory_order_acquire) != 0)
    return false;
  const size_t stride = Stride(s->width, s->format);
  const uint8_t* from = static_cast<const uint8_t*>(frame);
  uint8_t* to = slot.pixels;
  for (const CopiedRows& rows : s->rows) {
    const size_t bytes = static_cast<size_t>(rows.last - rows.first) * stride;
    std::memcpy(to, from + static_cast<size_t>(rows.first) * stride, bytes);
    to += bytes;
  }
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

FrameBands SlotBands(const FrameSlots& s, const uint8_t* slot) {
  FrameBands b;
  b.width = s.width;
  b.height = s.height;
  b.pixelFormat = s.format;
  const size_t stride = Stride(s.width, s.format);
  b.band[0] = {slot, s.rows[0].first, s.rows[0].last};
  b.band[1] = {slot + static_cast<size_t>(s.rows[0].last - s.rows[0].first) * stride,
               s.rows[1].first, s.rows[1].last};
  return b;
}

void GiveBackFrameSlot(FrameSlots* s) {
  if (s->count == 0)
    return;
  FrameSlot& slot = s->slot[s->taken % static_cast<uint32_t>(s->count)];
  slot.full.store(0, std::memory_order_release);
  ++s->taken;
}

}  // namespace zunk
