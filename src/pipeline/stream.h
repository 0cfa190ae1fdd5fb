// The stream the frames come in: its size and pixel format, whether it is recorded, and
// the score buffer made for its size. Start sets them and Stop frees the buffer, under the
// module lock; the frame pipeline reads them under it and hands the reactions, the overlay
// and the matching what they need of them.
#pragma once

#include <cstdint>

namespace zunk {

extern int32_t FrameWidth;
extern int32_t FrameHeight;
extern int32_t PixelFormat;      // 0 packed YUV 4:2:2 (YUY2), 1 B,G,R bottom-up
extern int32_t RecordingStream;  // nonzero while the stream is recorded
extern int32_t SearchHalfWidth;  // S = MulDiv(30, W, 768)
extern uint8_t* ScoreRow;        // S * 32 + 16 bytes: 2S + 1 entries of 16 bytes
// Frames of this stream can be processed: a sane size and a known pixel format.
extern bool StreamUsable;

}  // namespace zunk
