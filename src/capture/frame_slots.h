// The live capture's bounded store of frames. The video thread copies a frame into the next
// free slot; the capture thread takes the full slots in the order they were filled and
// gives each back once the finder has read it. One writer and one reader, handed over
// through each slot's flag; the slots are made and freed only while the video thread
// cannot reach them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace zunk {

// All the frames the capture holds at once take at most this many bytes.
constexpr size_t kCaptureBytes = size_t{16} << 20;
constexpr int32_t kMaxFrameSlots = 4;

struct FrameSlot {
  std::atomic<int32_t> full{0};  // 1 from the video thread's copy until the reader is done
  uint8_t* pixels = nullptr;
};

struct FrameSlots {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = 0;  // the stream's pixel format: 0 packed YUV 4:2:2, 1 24-bit BGR
  size_t frameBytes = 0;
  int32_t count = 0;  // 0: no slots
  FrameSlot slot[kMaxFrameSlots];
  uint32_t filled = 0;  // slots filled so far; the video thread's alone
  uint32_t taken = 0;   // slots taken so far; the reader's alone
};

// The bytes of one frame of the stream, or 0 for a size or format the plug-in refuses.
size_t FrameBytes(int32_t width, int32_t height, int32_t format);

// Makes as many slots as fit kCaptureBytes, up to kMaxFrameSlots. False (and no slots) when
// not even one frame fits or memory is short.
bool MakeFrameSlots(FrameSlots* s, int32_t width, int32_t height, int32_t format);
void FreeFrameSlots(FrameSlots* s);

// The video thread: copies the frame into the next slot when it is free. False when the
// reader has not given it back yet (the frame is skipped).
bool FillFrameSlot(FrameSlots* s, const void* frame);
// The reader: the oldest full slot's pixels, or null. GiveBackFrameSlot frees it again.
const uint8_t* TakeFrameSlot(FrameSlots* s);
void GiveBackFrameSlot(FrameSlots* s);

}  // namespace zunk
