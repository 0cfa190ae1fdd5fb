// Edge orientations of a sample and their counts over samples.
#include "learn/edge_persistence.h"

#include <algorithm>
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
  if (e.strength < kQuietEdgeStrength || length == 0) {
    e.strength = 0;
    return e;
  }
  e.c = static_cast<int32_t>(c * kUnit / length);
  e.s = static_cast<int32_t>(sn * kUnit / length);
  return e;
}

void CornerEdges(const LearnSample& s, int32_t corner, std::vector<EdgeAt>* out) {
  out->resize(kCornerLumaBytes);
  for (int32_t y = 0; y < kCornerHeight; ++y)
    for (int32_t x = 0; x < kCornerWidth; ++x)
      (*out)[y * kCornerWidth + x] = EdgeOf(s, corner, x, y);
  std::vector<int32_t> block(kEdgeBlock * kEdgeBlock);
  for (int32_t by = 0; by < kCornerHeight; by += kEdgeBlock)
    for (int32_t bx = 0; bx < kCornerWidth; bx += kEdgeBlock) {
      size_t n = 0;
      for (int32_t y = by; y < by + kEdgeBlock; ++y)
        for (int32_t x = bx; x < bx + kEdgeBlock; ++x)
          block[n++] = (*out)[y * kCornerWidth + x].strength;
      auto quarter = block.begin() + static_cast<long>(n / 4);
      std::nth_element(block.begin(), quarter, block.begin() + static_cast<long>(n));
      const int32_t least = std::clamp(3 * *quarter, kQuietEdgeStrength, kEdgeStrength);
      for (int32_t y = by; y < by + kEdgeBlock; ++y)
        for (int32_t x = bx; x < bx + kEdgeBlock; ++x) {
          EdgeAt& e = (*out)[y * kCornerWidth + x];
          if (e.strength < least)
            e = {0, 0, 0};
        }
    }
}

bool Along(const EdgeAt& e, int64_t c, int64_t s, int64_t norm) {
  if (e.strength == 0 || norm == 0)
    return false;
  // cos of the double angle's difference >= 1/2.
  return 2 * (e.c * c + e.s * s) >= kUnit * norm;
}

std::vector<int32_t> DistinctWeights(const std::vector<LearnSample>& samples,
                                     const std::vector<uint8_t>* only) {
  const size_t n = samples.size(), words = (kCornerLumaBytes + 63) / 64;
  std::vector<int32_t> weight(static_cast<size_t>(kCorners) * n, kWhole);
  std::vector<uint64_t> bits(n * words);
  std::vector<int32_t> count(n);
  for (int32_t c = 0; c < kCorners; ++c) {
    std::fill(bits.begin(), bits.end(), 0);
    for (size_t i = 0; i < n; ++i) {
      count[i] = 0;
      if (only && !(*only)[i])
        continue;
      const uint8_t* l = samples[i].Luma(c);
      for (int32_t y = 1; y < kCornerHeight - 1; ++y)
        for (int32_t x = 1; x < kCornerWidth - 1; ++x) {
          const int32_t p = y * kCornerWidth + x;
          const int32_t gx = l[p + 1] - l[p - 1], gy = l[p + kCornerWidth] - l[p - kCornerWidth];
          if (gx * gx + gy * gy >= kEdgeStrength * kEdgeStrength) {
            bits[i * words + p / 64] |= uint64_t{1} << (p % 64);
            ++count[i];
          }
        }
    }
    for (size_t i = 0; i < n; ++i) {
      if (only && !(*only)[i])
        continue;
      int32_t same = 0;
      for (size_t j = 0; j < n; ++j) {
        if (only && !(*only)[j])
          continue;
        int32_t both = 0;
        for (size_t w = 0; w < words; ++w)
          both += __builtin_popcountll(bits[i * words + w] & bits[j * words + w]);
        // The same picture: more than half of the edges of either are the other's too.
        const int32_t either = count[i] + count[j] - both;
        same += either > 0 && both * 2 > either;
      }
      weight[static_cast<size_t>(c) * n + i] = kWhole / std::max(1, same);
    }
  }
  return weight;
}

EdgeCounts CountEdges(const std::vector<LearnSample>& samples,
                      const std::vector<uint8_t>* only,
                      bool distinct) {
  EdgeCounts f;
  const size_t n = static_cast<size_t>(kCorners) * kCornerLumaBytes;
  f.c.assign(n, 0);
  f.s.assign(n, 0);
  f.edges.assign(n, 0);
  f.persisting.assign(n, 0);
  const std::vector<int32_t> weights =
      distinct ? DistinctWeights(samples, only)
               : std::vector<int32_t>(static_cast<size_t>(kCorners) * samples.size(), kWhole);
  auto weight = [&](int32_t corner, size_t i) { return weights[corner * samples.size() + i]; };
  std::vector<EdgeAt> edges;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (only && !(*only)[i])
      continue;
    ++f.samples;
    for (int32_t corner = 0; corner < kCorners; ++corner) {
      const int32_t w = weight(corner, i);
      f.total[corner] += w;
      CornerEdges(samples[i], corner, &edges);
      for (int32_t q = 0; q < kCornerLumaBytes; ++q) {
        const EdgeAt& e = edges[q];
        if (e.strength == 0)
          continue;
        const size_t p = static_cast<size_t>(corner) * kCornerLumaBytes + q;
        f.c[p] += e.c;
        f.s[p] += e.s;
        f.edges[p] += w;
      }
    }
  }
  std::vector<int64_t> norm(n);
  for (size_t p = 0; p < n; ++p)
    norm[p] = ISqrt(int64_t{f.c[p]} * f.c[p] + int64_t{f.s[p]} * f.s[p]);
  for (size_t i = 0; i < samples.size(); ++i) {
    if (only && !(*only)[i])
      continue;
    for (int32_t corner = 0; corner < kCorners; ++corner) {
      const int32_t w = weight(corner, i);
      CornerEdges(samples[i], corner, &edges);
      for (int32_t q = 0; q < kCornerLumaBytes; ++q) {
        const size_t p = static_cast<size_t>(corner) * kCornerLumaBytes + q;
        if (f.edges[p] && Along(edges[q], f.c[p], f.s[p], norm[p]))
          f.persisting[p] += w;
      }
    }
  }
  return f;
}

}  // namespace zunk
