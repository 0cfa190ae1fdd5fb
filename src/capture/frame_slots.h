// The live capture's bounded store of frames. The video thread copies a frame into the next
// free slot; the capture thread takes the full slots in the order they were filled and
// gives each back once the finder has read it. One writer and one reader, handed over
// through each slot's flag; the slots are made and freed only while the video thread
// cannot reach them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "learn/learn_sample.h"

namespace zunk {

// Everything a capture holds, the frame waiting here, the finder's samples and its working
// memory, takes at most this many bytes. The store keeps one frame's corner bands: the
// capture thread gives the slot back as soon as it has made its sample of it, a few
// milliseconds, and a copy that finds the slot full is made on the next frame. The store
// takes at most a quarter of the bound, so that the finder keeps enough samples.
constexpr size_t kCaptureBytes = size_t{16} << 20;
constexpr size_t kFrameStoreBytes = kCaptureBytes / 4;
constexpr int32_t kMaxFrameSlots = 1;

struct FrameSlot {
  std::atomic<int32_t> full{0};  // 1 from the video thread's copy until the reader is done
  uint8_t* pixels = nullptr;
};

// Rows of the frame in memory, [first, last).
struct CopiedRows {
  int32_t first = 0, last = 0;
};

struct FrameSlots {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = 0;  // the stream's pixel format: 0 packed YUV 4:2:2, 1 24-bit BGR
  size_t frameBytes = 0;
  size_t slotBytes = 0;
  // What of a frame is kept: the rows (in memory order) of the two bands that hold the four
  // corner areas the logo finder reads, merged where they meet. A slot holds the first
  // band's rows, then the second's.
  CopiedRows rows[2];
  int32_t count = 0;  // 0: no slots
  FrameSlot slot[kMaxFrameSlots];
  uint32_t filled = 0;  // slots filled so far; the video thread's alone
  uint32_t taken = 0;   // slots taken so far; the reader's alone
};

// The bytes of one frame of the stream, or 0 for a size or format the plug-in refuses.
size_t FrameBytes(int32_t width, int32_t height, int32_t format);

// The bytes the slots for this stream take: as many frames' corner bands as fit
// kFrameStoreBytes, up to kMaxFrameSlots; 0 when not even one fits.
size_t FrameStoreBytes(int32_t width, int32_t height, int32_t format);

// Makes the slots FrameStoreBytes counts. False (and no slots) when not even one frame fits
// or memory is short.
bool MakeFrameSlots(FrameSlots* s, int32_t width, int32_t height, int32_t format);
void FreeFrameSlots(FrameSlots* s);

// The video thread: copies the frame's corner bands into the next slot when it is free.
// False when the reader has not given it back yet (the frame is skipped).
bool FillFrameSlot(FrameSlots* s, const void* frame);
// The reader: the oldest full slot's pixels, or null. GiveBackFrameSlot frees it again.
const uint8_t* TakeFrameSlot(FrameSlots* s);
// A taken slot's pixels as the frame's bands, for MakeLearnSampleFromBands.
FrameBands SlotBands(const FrameSlots& s, const uint8_t* slot);
void GiveBackFrameSlot(FrameSlots* s);

}  // namespace zunk
