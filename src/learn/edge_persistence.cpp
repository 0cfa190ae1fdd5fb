// Edge orientations of a sample and their counts over samples.
#include "learn/edge_persistence.h"

#include <cmath>

namespace zunk {

namespace {

int32_t Diff(const uint8_t* plane, int32_t w, int32_t h, int32_t x, int32_t y, bool across) {
  if (across)
    return (x <= 0 || x >= w - 1) ? 0 : plane[y * w + x + 1] - plane[y * w + x - 1];
  return (y <= 0 || y >= h - 1) ? 0 : plane[(y + 1) * w + x] - plane[(y - 1) * w + x];
}

}  // namespace

int64_t ISqrt(int64_t v) {
  if (v <= 0)
    return 0;
  // The floating-point root is within one of the floor; the corrections make it exact.
  int64_t r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
  while (r * r > v)
    --r;
  while ((r + 1) * (r + 1) <= v)
    ++r;
  return r;
}

EdgeAt EdgeOf(const LearnSample& s, int32_t corner, int32_t x, int32_t y) {
  const int32_t cw = kCornerWidth / 2, ch = kCornerHeight / 2, bx = x / 2, by = y / 2;
  const int32_t gx[3] = {Diff(s.Luma(corner), kCornerWidth, kCornerHeight, x, y, true),
                         Diff(s.U(corner), cw, ch, bx, by, true),
                         Diff(s.V(corner), cw, ch, bx, by, true)};
  const int32_t gy[3] = {Diff(s.Luma(corner), kCornerWidth, kCornerHeight, x, y, false),
                         Diff(s.U(corner), cw, ch, bx, by, false),
                         Diff(s.V(corner), cw, ch, bx, by, false)};
  int64_t xx = 0, yy = 0, xy = 0;
  for (int32_t k = 0; k < 3; ++k) {
    xx += gx[k] * gx[k];
    yy += gy[k] * gy[k];
    xy += gx[k] * gy[k];
  }
  EdgeAt e = {static_cast<int32_t>(ISqrt(xx + yy)), 0, 0};
  const int64_t c = xx - yy, sn = 2 * xy, length = ISqrt(c * c + sn * sn);
  if (e.strength < kEdgeStrength || length == 0)
    return e;
  e.c = static_cast<int32_t>(c * kUnit / length);
  e.s = static_cast<int32_t>(sn * kUnit / length);
  return e;
}

bool Along(const EdgeAt& e, int64_t c, int64_t s, int64_t norm) {
  if (e.strength < kEdgeStrength || norm == 0)
    return false;
  // cos of the double angle's difference >= 1/2.
  return 2 * (e.c * c + e.s * s) >= kUnit * norm;
}

EdgeCounts CountEdges(const std::vector<LearnSample>& samples, const std::vector<uint8_t>* only) {
  EdgeCounts f;
  const size_t n = static_cast<size_t>(kCorners) * kCornerLumaBytes;
  f.c.assign(n, 0);
  f.s.assign(n, 0);
  f.edges.assign(n, 0);
  f.persisting.assign(n, 0);
  std::vector<EdgeAt> edges(n);
  for (size_t i = 0; i < samples.size(); ++i) {
    if (only && !(*only)[i])
      continue;
    ++f.samples;
    for (int32_t corner = 0; corner < kCorners; ++corner)
      for (int32_t y = 0; y < kCornerHeight; ++y)
        for (int32_t x = 0; x < kCornerWidth; ++x) {
          const size_t p = CountAt(corner, x, y);
          const EdgeAt e = EdgeOf(samples[i], corner, x, y);
          if (e.strength < kEdgeStrength)
            continue;
          f.c[p] += e.c;
          f.s[p] += e.s;
          ++f.edges[p];
        }
  }
  std::vector<int64_t> norm(n);
  for (size_t p = 0; p < n; ++p)
    norm[p] = ISqrt(int64_t{f.c[p]} * f.c[p] + int64_t{f.s[p]} * f.s[p]);
  for (size_t i = 0; i < samples.size(); ++i) {
    if (only && !(*only)[i])
      continue;
    for (int32_t corner = 0; corner < kCorners; ++corner)
      for (int32_t y = 0; y < kCornerHeight; ++y)
        for (int32_t x = 0; x < kCornerWidth; ++x) {
          const size_t p = CountAt(corner, x, y);
          if (f.edges[p] && Along(EdgeOf(samples[i], corner, x, y), f.c[p], f.s[p], norm[p]))
            ++f.persisting[p];
        }
  }
  return f;
}

}  // namespace zunk
