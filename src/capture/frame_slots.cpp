// The live capture's bounded store of frames.
#include "capture/frame_slots.h"

#include <algorithm>
#include <cstring>

#include "base/aligned_buffer.h"
#include "base/reference_frame.h"
#include "learn/learn_sample.h"

namespace zunk {

namespace {

// The frame pixels [first, last) along an axis of n pixels that reference pixels
// [r0, r1) of an axis of `ref` cover, with two pixels to spare on each side for the
// finder's rounding.
void Covering(int32_t r0, int32_t r1, int32_t n, int32_t ref, int32_t* first, int32_t* last) {
  *first = std::max(0, static_cast<int32_t>(int64_t{r0} * n / ref) - 2);
  *last = std::min(n, static_cast<int32_t>((int64_t{r1} * n + ref - 1) / ref) + 2);
}

// The rows of each frame the finder reads: the corner areas' top and bottom bands, whole.
// Whole rows, not the corner parts of each, because a copy is cheaper in one block per band
// than in hundreds of pieces of a few hundred bytes, though it moves half as many bytes again
// (measured with the module under Wine by zunk-frame-timing, every size and format).
void PlanCopies(FrameSlots* s) {
  const int32_t h = s->height;
  int32_t y[2][2];
  for (int32_t side = 0; side < 2; ++side) {
    // Corner 0 is the top left, 3 the bottom right.
    const int32_t corner = side * 3;
    Covering(CornerTop(corner), CornerTop(corner) + kCornerHeight, h, kReferenceHeight, &y[side][0],
             &y[side][1]);
  }
  if (y[0][1] >= y[1][0]) {
    y[0][1] = y[1][1];
    y[1][0] = y[1][1];
  }
  for (int32_t i = 0; i < 2; ++i)
    // 24-bit frames are stored bottom-up.
    s->rows[i] =
        s->format == 0 ? CopiedRows{y[i][0], y[i][1]} : CopiedRows{h - y[i][1], h - y[i][0]};
}

}  // namespace

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
  s->filled = 0;
  s->taken = 0;
}

bool FillFrameSlot(FrameSlots* s, const void* frame) {
  if (s->count == 0)
    return false;
  FrameSlot& slot = s->slot[s->filled % static_cast<uint32_t>(s->count)];
  if (slot.full.load(std::memory_order_acquire) != 0)
    return false;
  const size_t stride = s->frameBytes / static_cast<size_t>(s->height);
  const uint8_t* from = static_cast<const uint8_t*>(frame);
  for (const CopiedRows& rows : s->rows)
    if (rows.last > rows.first)
      std::memcpy(slot.pixels + static_cast<size_t>(rows.first) * stride,
                  from + static_cast<size_t>(rows.first) * stride,
                  static_cast<size_t>(rows.last - rows.first) * stride);
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
