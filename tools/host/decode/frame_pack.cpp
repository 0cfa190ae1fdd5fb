// FramePacker: libyuv's 4:2:0 conversions. 4:2:2 repeats each chroma row for the two
// luma rows it covers; 24-bit colour uses the stream's matrix and range. Both take each
// output row from its own luma row and the chroma row above it only, so a band of rows
// that starts on an even row packs to the same bytes as those rows of the whole frame.
#include "decode/frame_pack.h"

#include <libyuv/convert_argb.h>
#include <libyuv/convert_from.h>
#include <libyuv/scale.h>

#include <algorithm>
#include <cstring>

namespace zunkhost {

FramePacker::FramePacker(const StreamInfo& stream, int width, int height, int pixelFormat)
    : stream_(stream), width_(width), height_(height), pixelFormat_(pixelFormat), last_(height) {
  if (width_ != stream_.width || height_ != stream_.height) {
    size_t cw = (width_ + 1) / 2, ch = (height_ + 1) / 2;
    scaled_.resize(static_cast<size_t>(width_) * height_ + 2 * cw * ch);
  }
  if (pixelFormat_ == 0 && (width_ & 1))
    row_.resize(static_cast<size_t>(width_ + 1) * 2);
}

void FramePacker::PackRows(int first, int last) {
  first_ = std::clamp(first, 0, height_) & ~1;
  last_ = std::clamp(last, first_, height_);
}

void FramePacker::Pack(const PlanarFrame& in, uint8_t* out) {
  PlanarFrame f = in;
  if (!scaled_.empty()) {
    int cw = (width_ + 1) / 2, ch = (height_ + 1) / 2;
    uint8_t* y = scaled_.data();
    uint8_t* u = y + static_cast<size_t>(width_) * height_;
    uint8_t* v = u + static_cast<size_t>(cw) * ch;
    libyuv::I420Scale(in.y, in.strideY, in.u, in.strideU, in.v, in.strideV, stream_.width,
                      stream_.height, y, width_, u, cw, v, cw, width_, height_,
                      libyuv::kFilterBilinear);
    f = {y, u, v, width_, cw, cw};
  }
  const int rows = last_ - first_;
  if (rows <= 0)
    return;
  // The band's first row (even) and the chroma row it starts on.
  f.y += static_cast<ptrdiff_t>(first_) * f.strideY;
  f.u += static_cast<ptrdiff_t>(first_ / 2) * f.strideU;
  f.v += static_cast<ptrdiff_t>(first_ / 2) * f.strideV;
  if (pixelFormat_ == 1) {
    const libyuv::YuvConstants* m = &libyuv::kYuvI601Constants;
    if (stream_.matrix == ColourMatrix::kBt709)
      m = &libyuv::kYuvH709Constants;
    else if (stream_.matrix == ColourMatrix::kFullRange601)
      m = &libyuv::kYuvJPEGConstants;
    // libyuv's "RGB24" is B, G, R in memory; a negative height writes bottom-up, so the
    // band's last picture row is the first in memory.
    uint8_t* bottom = out + static_cast<size_t>(height_ - last_) * width_ * 3;
    libyuv::I420ToRGB24Matrix(f.y, f.strideY, f.u, f.strideU, f.v, f.strideV, bottom, width_ * 3,
                              m, width_, -rows);
    return;
  }
  out += static_cast<size_t>(first_) * width_ * 2;
  if (row_.empty()) {
    libyuv::I420ToYUY2(f.y, f.strideY, f.u, f.strideU, f.v, f.strideV, out, width_ * 2, width_,
                       rows);
    return;
  }
  // An odd width: libyuv writes whole pixel pairs, one pair more than the row holds.
  for (int r = 0; r < rows; ++r) {
    libyuv::I420ToYUY2(f.y + static_cast<size_t>(r) * f.strideY, f.strideY,
                       f.u + static_cast<size_t>(r / 2) * f.strideU, f.strideU,
                       f.v + static_cast<size_t>(r / 2) * f.strideV, f.strideV, row_.data(),
                       static_cast<int>(row_.size()), width_, 1);
    std::memcpy(out + static_cast<size_t>(r) * width_ * 2, row_.data(),
                static_cast<size_t>(width_) * 2);
  }
}

}  // namespace zunkhost
