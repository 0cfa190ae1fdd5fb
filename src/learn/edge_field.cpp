// Gradients of a sample and their sums over samples.
#include "learn/edge_field.h"

#include <cstdlib>

namespace zunk {

namespace {

int32_t Diff(const uint8_t* plane, int32_t w, int32_t h, int32_t x, int32_t y, bool across) {
  if (across)
    return (x <= 0 || x >= w - 1) ? 0 : plane[y * w + x + 1] - plane[y * w + x - 1];
  return (y <= 0 || y >= h - 1) ? 0 : plane[(y + 1) * w + x] - plane[(y - 1) * w + x];
}

}  // namespace

int32_t Gradient::Length() const {
  int32_t n = 0;
  for (int32_t c = 0; c < 6; ++c)
    n += std::abs(v[c]);
  return n;
}

Gradient GradientAt(const LearnSample& s, int32_t corner, int32_t x, int32_t y) {
  const int32_t cw = kCornerWidth / 2, ch = kCornerHeight / 2;
  const int32_t bx = x / 2, by = y / 2;
  Gradient g;
  g.v[0] = Diff(s.Luma(corner), kCornerWidth, kCornerHeight, x, y, true);
  g.v[1] = Diff(s.Luma(corner), kCornerWidth, kCornerHeight, x, y, false);
  g.v[2] = Diff(s.U(corner), cw, ch, bx, by, true);
  g.v[3] = Diff(s.U(corner), cw, ch, bx, by, false);
  g.v[4] = Diff(s.V(corner), cw, ch, bx, by, true);
  g.v[5] = Diff(s.V(corner), cw, ch, bx, by, false);
  return g;
}

EdgeField MakeEdgeField() {
  EdgeField f;
  const size_t n = static_cast<size_t>(kCorners) * kCornerLumaBytes;
  for (std::vector<int32_t>& v : f.sum)
    v.assign(n, 0);
  f.length.assign(n, 0);
  f.lumaLength.assign(n, 0);
  return f;
}

void AddToEdgeField(EdgeField* f, const LearnSample& s) {
  for (int32_t c = 0; c < kCorners; ++c) {
    for (int32_t y = 0; y < kCornerHeight; ++y) {
      for (int32_t x = 0; x < kCornerWidth; ++x) {
        const size_t p = static_cast<size_t>(c) * kCornerLumaBytes + y * kCornerWidth + x;
        const Gradient g = GradientAt(s, c, x, y);
        for (int32_t k = 0; k < 6; ++k)
          f->sum[k][p] += g.v[k];
        f->length[p] += g.Length();
        f->lumaLength[p] += std::abs(g.v[0]) + std::abs(g.v[1]);
      }
    }
  }
  ++f->samples;
}

int32_t EdgeStrength(const EdgeField& f, size_t p, bool luma) {
  if (f.samples == 0)
    return 0;
  int64_t s = 0;
  for (int32_t k = 0; k < (luma ? 2 : 6); ++k)
    s += std::abs(f.sum[k][p]);
  return static_cast<int32_t>(s / f.samples);
}

int32_t EdgeCoherence(const EdgeField& f, size_t p, bool luma) {
  const int32_t length = luma ? f.lumaLength[p] : f.length[p];
  if (length == 0)
    return 0;
  int64_t s = 0;
  for (int32_t k = 0; k < (luma ? 2 : 6); ++k)
    s += std::abs(f.sum[k][p]);
  return static_cast<int32_t>(s * 1000 / length);
}

}  // namespace zunk
