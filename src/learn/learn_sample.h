// One learning sample: the four corner areas of a frame at the 768 x 576 reference scale,
// as luma at every pixel and colour (U, V) per 2 x 2 pixels. This is all the logo finder
// keeps of a frame, so that a capture holds many samples in little memory.
#pragma once

#include <cstdint>
#include <vector>

#include "detect/matching.h"

namespace zunk {

// A corner area of the reference frame: kCornerWidth x kCornerHeight pixels at the frame's
// edges. Corners are numbered 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
constexpr int32_t kCornerWidth = 256;
constexpr int32_t kCornerHeight = 160;
constexpr int32_t kCorners = 4;
constexpr int32_t kCornerLumaBytes = kCornerWidth * kCornerHeight;
constexpr int32_t kCornerChromaBytes = (kCornerWidth / 2) * (kCornerHeight / 2);
constexpr int32_t kCornerBytes = kCornerLumaBytes + 2 * kCornerChromaBytes;
constexpr int32_t kSampleBytes = kCorners * kCornerBytes;

// The corner's left and top edges in the reference frame.
int32_t CornerLeft(int32_t corner);
int32_t CornerTop(int32_t corner);

struct LearnSample {
  int64_t frame = 0;  // the frame's number in its stream, for spacing and reports
  // Per corner: Y (kCornerWidth x kCornerHeight), then U and V (half width, half height),
  // full-range bytes with 128 as zero colour, as a format-0 frame carries them.
  std::vector<uint8_t> planes;
  int32_t meanLuma = 0;    // over the four corners
  int32_t lumaSpread = 0;  // mean absolute deviation of luma over the four corners

  const uint8_t* Luma(int32_t corner) const { return planes.data() + corner * kCornerBytes; }
  const uint8_t* U(int32_t corner) const { return Luma(corner) + kCornerLumaBytes; }
  const uint8_t* V(int32_t corner) const { return U(corner) + kCornerChromaBytes; }
};

// Makes a sample from a frame of the plug-in's pixel formats (0 YUY2 top-down, 1 B, G, R
// bottom-up) at any size the plug-in accepts. Each reference pixel is the mean of the
// frame pixels it covers (the nearest one when the frame is smaller). False, with the
// sample untouched, for an unknown format or a frame smaller than 2 x 2.
bool MakeLearnSample(const FrameView& frame, int64_t number, LearnSample* out);

// The same for one corner only: the other corners' planes are left as they were, and the
// brightness and spread are not measured. For a caller that looks at one corner of every
// frame.
bool MakeLearnSampleCorner(const FrameView& frame,
                           int32_t corner,
                           int64_t number,
                           LearnSample* out);

// A frame of which only two bands of rows are kept, as the live capture keeps its frames:
// band i holds the frame's rows [first, last) in memory order, each row as the frame has it
// (24-bit frames lie bottom-up: their first rows in memory are the picture's bottom). The
// first band lies above the second in memory; either may be empty.
struct FrameBands {
  int32_t width = 0;
  int32_t height = 0;
  int32_t pixelFormat = 0;
  struct Band {
    const uint8_t* pixels = nullptr;
    int32_t first = 0, last = 0;
  } band[2];
};

// A whole frame as bands: the first all its rows, the second empty.
FrameBands WholeFrame(const FrameView& frame);

// The rows, in memory order, that the sample of a frame `height` rows high in the format
// reads: [rows[0][0], rows[0][1]) and [rows[1][0], rows[1][1]), the first above the second
// in memory (they may overlap on a low frame).
void CornerRows(int32_t height, int32_t format, int32_t rows[2][2]);

// MakeLearnSample over the kept bands: the same sample the whole frame gives. False, with
// the sample untouched, when the bands miss a row that CornerRows names.
bool MakeLearnSampleFromBands(const FrameBands& frame, int64_t number, LearnSample* out);

// The luma of the pixels [x, x + w) x [y, y + h) of one corner area, the same bytes as the
// sample's luma plane holds there, into rows of `stride` bytes from `luma`. For a caller
// that looks at a small part of a corner of every frame. False, with nothing written, for
// a frame MakeLearnSample refuses or a rectangle that is empty or not inside the corner.
bool MakeCornerLuma(const FrameView& frame,
                    int32_t corner,
                    int32_t x,
                    int32_t y,
                    int32_t w,
                    int32_t h,
                    uint8_t* luma,
                    int32_t stride);

// True for a sample that says nothing about a logo: black, or flat all over.
bool IsBlankSample(const LearnSample& s);

}  // namespace zunk
