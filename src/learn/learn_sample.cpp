// Learning samples: the corner areas of a frame brought to the reference scale by box
// averaging, in luma and 2 x 2 colour.
#include "learn/learn_sample.h"

#include <algorithm>
#include <cstdlib>

#include "base/reference_frame.h"

namespace zunk {

namespace {

// The frame pixels [first, last) that reference pixel r covers along an axis of n frame
// pixels (reference length `ref`), its ends rounded as the plug-in scales positions: at
// least the one under its centre.
struct Span {
  int32_t first, last;
};
Span Covered(int32_t r, int32_t n, int32_t ref) {
  int32_t a = static_cast<int32_t>((2 * int64_t{r} * n + ref) / (2 * ref));
  int32_t b = static_cast<int32_t>((2 * int64_t{r + 1} * n + ref) / (2 * ref));
  if (b <= a) {
    a = static_cast<int32_t>((2 * int64_t{r} + 1) * n / (2 * ref));
    b = a + 1;
  }
  if (b > n)
    b = n;
  if (a >= b)
    a = b - 1;
  return {a, b};
}

// The rows of a frame as they lie in memory: one block (a whole frame), or the bands of a
// frame of which only some rows are kept. Row numbers are in memory order.
struct WholeRows {
  const uint8_t* pixels;
  size_t stride;
  const uint8_t* Row(int32_t y) const { return pixels + static_cast<size_t>(y) * stride; }
};
struct BandRows {
  const FrameBands* f;
  size_t stride;
  const uint8_t* Row(int32_t y) const {
    const FrameBands::Band& b = y < f->band[0].last ? f->band[0] : f->band[1];
    return b.pixels + static_cast<size_t>(y - b.first) * stride;
  }
};

// Mean of three channels over a box of the frame: Y, U, V for format 0, B, G, R for 1.
// The division is a multiplication by 65536 / n, rounded up (exact to within one level).
template <int32_t kFormat, typename Rows>
void BoxMean(const Rows& rows, int32_t width, int32_t height, Span xs, Span ys, int32_t out[3]) {
  int32_t s0 = 0, s1 = 0, s2 = 0;
  if (kFormat == 0) {
    // The last column of an odd width has no group of its own: it takes the colour of the
    // group before it.
    const int32_t lastGroup = width / 2 - 1;
    for (int32_t y = ys.first; y < ys.last; ++y) {
      const uint8_t* row = rows.Row(y);
      for (int32_t x = xs.first; x < xs.last; ++x) {
        const uint8_t* group = row + std::min(x >> 1, lastGroup) * 4;
        s0 += row[x * 2];
        s1 += group[1];
        s2 += group[3];
      }
    }
  } else {
    for (int32_t y = ys.first; y < ys.last; ++y) {
      const uint8_t* row = rows.Row(height - 1 - y) + xs.first * 3;
      for (int32_t x = xs.first; x < xs.last; ++x, row += 3) {
        s0 += row[0];
        s1 += row[1];
        s2 += row[2];
      }
    }
  }
  const uint32_t n = static_cast<uint32_t>((xs.last - xs.first) * (ys.last - ys.first));
  const uint32_t inverse = (65536 + n - 1) / n;
  out[0] = static_cast<int32_t>(((s0 + n / 2) * inverse) >> 16);
  out[1] = static_cast<int32_t>(((s1 + n / 2) * inverse) >> 16);
  out[2] = static_cast<int32_t>(((s2 + n / 2) * inverse) >> 16);
}

// The Y of a format-0 box alone, as BoxMean gives it.
uint8_t BoxLuma0(const FrameView& f, Span xs, Span ys) {
  const size_t stride = static_cast<size_t>(f.width) * 2;
  int32_t s0 = 0;
  for (int32_t y = ys.first; y < ys.last; ++y) {
    const uint8_t* row = f.pixels + y * stride;
    for (int32_t x = xs.first; x < xs.last; ++x)
      s0 += row[x * 2];
  }
  const uint32_t n = static_cast<uint32_t>((xs.last - xs.first) * (ys.last - ys.first));
  const uint32_t inverse = (65536 + n - 1) / n;
  return static_cast<uint8_t>(((s0 + n / 2) * inverse) >> 16);
}

// Luma and colour of a B, G, R mean, with the plug-in's weights (floors toward minus
// infinity; an arithmetic shift).
uint8_t LumaOf(const int32_t bgr[3]) {
  return static_cast<uint8_t>((29 * bgr[0] + 150 * bgr[1] + 77 * bgr[2]) >> 8);
}
uint8_t UOf(const int32_t bgr[3]) {
  return static_cast<uint8_t>(((128 * bgr[0] - 85 * bgr[1] - 43 * bgr[2]) >> 8) + 128);
}
uint8_t VOf(const int32_t bgr[3]) {
  return static_cast<uint8_t>(((-21 * bgr[0] - 107 * bgr[1] + 128 * bgr[2]) >> 8) + 128);
}

// One corner, two reference rows at a time: each pixel's luma, each 2 x 2 block's colour.
template <int32_t kFormat, typename Rows>
void SampleCorner(const Rows& f,
                  int32_t width,
                  int32_t height,
                  int32_t corner,
                  uint8_t* luma,
                  uint8_t* u,
                  uint8_t* v) {
  const int32_t left = CornerLeft(corner), top = CornerTop(corner);
  Span cols[kCornerWidth];
  for (int32_t i = 0; i < kCornerWidth; ++i)
    cols[i] = Covered(left + i, width, kReferenceWidth);
  int32_t means[2][kCornerWidth][3];
  for (int32_t j = 0; j < kCornerHeight; j += 2) {
    for (int32_t r = 0; r < 2; ++r) {
      const Span rows = Covered(top + j + r, height, kReferenceHeight);
      uint8_t* out = luma + (j + r) * kCornerWidth;
      for (int32_t i = 0; i < kCornerWidth; ++i) {
        BoxMean<kFormat>(f, width, height, cols[i], rows, means[r][i]);
        out[i] = kFormat == 0 ? static_cast<uint8_t>(means[r][i][0]) : LumaOf(means[r][i]);
      }
    }
    for (int32_t i = 0; i < kCornerWidth; i += 2) {
      int32_t block[3];
      for (int32_t c = 0; c < 3; ++c)
        block[c] =
            (means[0][i][c] + means[0][i + 1][c] + means[1][i][c] + means[1][i + 1][c] + 2) / 4;
      const size_t at = static_cast<size_t>(j / 2) * (kCornerWidth / 2) + i / 2;
      u[at] = kFormat == 0 ? static_cast<uint8_t>(block[1]) : UOf(block);
      v[at] = kFormat == 0 ? static_cast<uint8_t>(block[2]) : VOf(block);
    }
  }
}

}  // namespace

int32_t CornerLeft(int32_t corner) {
  return (corner & 1) ? kReferenceWidth - kCornerWidth : 0;
}

int32_t CornerTop(int32_t corner) {
  return (corner & 2) ? kReferenceHeight - kCornerHeight : 0;
}

namespace {

bool Sampleable(const FrameView& frame) {
  return frame.pixels && (frame.pixelFormat == 0 || frame.pixelFormat == 1) && frame.width >= 2 &&
         frame.height >= 2 && frame.width <= kMaxFrameSide && frame.height <= kMaxFrameSide;
}

template <typename Rows>
void SampleCornerOf(const Rows& rows,
                    int32_t width,
                    int32_t height,
                    int32_t format,
                    int32_t c,
                    LearnSample* out) {
  uint8_t* luma = out->planes.data() + c * kCornerBytes;
  uint8_t* u = luma + kCornerLumaBytes;
  uint8_t* v = u + kCornerChromaBytes;
  if (format == 0)
    SampleCorner<0>(rows, width, height, c, luma, u, v);
  else
    SampleCorner<1>(rows, width, height, c, luma, u, v);
}

size_t Stride(int32_t width, int32_t format) {
  return static_cast<size_t>(width) * (format == 0 ? 2 : 3);
}

WholeRows RowsOf(const FrameView& f) {
  return {f.pixels, Stride(f.width, f.pixelFormat)};
}

// Brightness and spread over every fourth pixel of the corners.
void MeasureBrightness(LearnSample* out) {
  int64_t sum = 0, n = 0;
  for (int32_t c = 0; c < kCorners; ++c)
    for (int32_t i = 0; i < kCornerLumaBytes; i += 4, ++n)
      sum += out->Luma(c)[i];
  const int32_t mean = static_cast<int32_t>(sum / n);
  int64_t spread = 0;
  for (int32_t c = 0; c < kCorners; ++c)
    for (int32_t i = 0; i < kCornerLumaBytes; i += 4)
      spread += std::abs(out->Luma(c)[i] - mean);
  out->meanLuma = mean;
  out->lumaSpread = static_cast<int32_t>(spread / n);
}

}  // namespace

bool MakeLearnSampleCorner(const FrameView& frame,
                           int32_t corner,
                           int64_t number,
                           LearnSample* out) {
  if (!Sampleable(frame) || corner < 0 || corner >= kCorners)
    return false;
  out->frame = number;
  out->planes.resize(kSampleBytes);
  SampleCornerOf(RowsOf(frame), frame.width, frame.height, frame.pixelFormat, corner, out);
  return true;
}

bool MakeCornerLuma(const FrameView& frame,
                    int32_t corner,
                    int32_t x,
                    int32_t y,
                    int32_t w,
                    int32_t h,
                    uint8_t* luma,
                    int32_t stride) {
  if (!Sampleable(frame) || corner < 0 || corner >= kCorners || w <= 0 || h <= 0 || x < 0 ||
      y < 0 || x > kCornerWidth - w || y > kCornerHeight - h || stride < w)
    return false;
  const int32_t left = CornerLeft(corner) + x, top = CornerTop(corner) + y;
  Span cols[kCornerWidth];
  for (int32_t i = 0; i < w; ++i)
    cols[i] = Covered(left + i, frame.width, kReferenceWidth);
  for (int32_t j = 0; j < h; ++j) {
    const Span rows = Covered(top + j, frame.height, kReferenceHeight);
    uint8_t* out = luma + static_cast<size_t>(j) * stride;
    for (int32_t i = 0; i < w; ++i) {
      if (frame.pixelFormat == 0) {
        out[i] = BoxLuma0(frame, cols[i], rows);
      } else {
        int32_t bgr[3];
        BoxMean<1>(RowsOf(frame), frame.width, frame.height, cols[i], rows, bgr);
        out[i] = LumaOf(bgr);
      }
    }
  }
  return true;
}

bool MakeLearnSample(const FrameView& frame, int64_t number, LearnSample* out) {
  if (!Sampleable(frame))
    return false;
  out->frame = number;
  out->planes.resize(kSampleBytes);
  for (int32_t c = 0; c < kCorners; ++c)
    SampleCornerOf(RowsOf(frame), frame.width, frame.height, frame.pixelFormat, c, out);
  MeasureBrightness(out);
  return true;
}

FrameBands WholeFrame(const FrameView& frame) {
  FrameBands b;
  b.width = frame.width;
  b.height = frame.height;
  b.pixelFormat = frame.pixelFormat;
  b.band[0] = {frame.pixels, 0, frame.height};
  b.band[1] = {frame.pixels, frame.height, frame.height};
  return b;
}

void CornerRows(int32_t height, int32_t format, int32_t rows[2][2]) {
  for (int32_t side = 0; side < 2; ++side) {
    const int32_t top = CornerTop(side * 2);
    const int32_t first = Covered(top, height, kReferenceHeight).first;
    const int32_t last = Covered(top + kCornerHeight - 1, height, kReferenceHeight).last;
    // 24-bit frames lie bottom-up in memory.
    const int32_t at = format == 0 ? side : 1 - side;
    rows[at][0] = format == 0 ? first : height - last;
    rows[at][1] = format == 0 ? last : height - first;
  }
}

bool MakeLearnSampleFromBands(const FrameBands& frame, int64_t number, LearnSample* out) {
  const FrameView shape = {frame.band[0].pixels, frame.width, frame.height, frame.pixelFormat};
  if (!Sampleable(shape) || !frame.band[1].pixels)
    return false;
  // The bands must hold every row the corners cover, the first band above the second.
  int32_t need[2][2];
  CornerRows(frame.height, frame.pixelFormat, need);
  const FrameBands::Band* b = frame.band;
  if (b[0].first > b[0].last || b[0].last > b[1].first || b[1].first > b[1].last ||
      b[0].first < 0 || b[1].last > frame.height)
    return false;
  for (const auto& rows : need) {
    const bool inFirst = rows[0] >= b[0].first && rows[1] <= b[0].last;
    const bool inSecond = rows[0] >= b[1].first && rows[1] <= b[1].last;
    if (!inFirst && !inSecond)
      return false;
  }
  out->frame = number;
  out->planes.resize(kSampleBytes);
  const BandRows rows = {&frame, Stride(frame.width, frame.pixelFormat)};
  for (int32_t c = 0; c < kCorners; ++c)
    SampleCornerOf(rows, frame.width, frame.height, frame.pixelFormat, c, out);
  MeasureBrightness(out);
  return true;
}

bool IsBlankSample(const LearnSample& s) {
  return s.meanLuma < 20 || s.lumaSpread < 4;
}

}  // namespace zunk
