// Persistent edge maps and their grouping into logo candidates.
#include "learn/edge_groups.h"

#include <algorithm>

namespace zunk {

namespace {

constexpr int32_t kJoinReach = 2;        // edge pixels this near are one group
constexpr int32_t kMergeGap = 16;        // groups this near are one logo

// Clears rows and columns that are edges over most of the area: borders and bars.
void RemoveLines(std::vector<uint8_t>* e) {
  for (int32_t x = 0; x < kCornerWidth; ++x) {
    int32_t n = 0;
    for (int32_t y = 0; y < kCornerHeight; ++y)
      n += (*e)[y * kCornerWidth + x];
    if (n * 20 >= kCornerHeight * 19)
      for (int32_t y = 0; y < kCornerHeight; ++y)
        (*e)[y * kCornerWidth + x] = 0;
  }
  for (int32_t y = 0; y < kCornerHeight; ++y) {
    int32_t n = 0;
    for (int32_t x = 0; x < kCornerWidth; ++x)
      n += (*e)[y * kCornerWidth + x];
    if (n * 20 >= kCornerWidth * 19)
      std::fill(e->begin() + y * kCornerWidth, e->begin() + (y + 1) * kCornerWidth, 0);
  }
}

// Edge pixels joined across gaps of up to kJoinReach pixels.
std::vector<EdgeGroup> JoinEdges(const std::vector<uint8_t>& e,
                                 const std::vector<int32_t>& weight,
                                 int32_t scale,
                                 int32_t corner) {
  std::vector<int32_t> label(e.size(), -1);
  std::vector<EdgeGroup> groups;
  std::vector<int32_t> stack;
  for (int32_t start = 0; start < kCornerLumaBytes; ++start) {
    if (!e[start] || label[start] >= 0)
      continue;
    EdgeGroup g;
    g.corner = corner;
    g.box = {start % kCornerWidth, start / kCornerWidth, start % kCornerWidth,
             start / kCornerWidth};
    label[start] = static_cast<int32_t>(groups.size());
    stack.push_back(start);
    int64_t coherence = 0;
    while (!stack.empty()) {
      const int32_t p = stack.back();
      stack.pop_back();
      const int32_t px = p % kCornerWidth, py = p / kCornerWidth;
      g.pixels.push_back(p);
      g.strength += weight[p];
      coherence += int64_t{weight[p]} * 1000 / std::max(1, scale);
      g.box = {std::min(g.box.x0, px), std::min(g.box.y0, py), std::max(g.box.x1, px),
               std::max(g.box.y1, py)};
      for (int32_t dy = -kJoinReach; dy <= kJoinReach; ++dy) {
        for (int32_t dx = -kJoinReach; dx <= kJoinReach; ++dx) {
          const int32_t qx = px + dx, qy = py + dy;
          if (qx < 0 || qy < 0 || qx >= kCornerWidth || qy >= kCornerHeight)
            continue;
          const int32_t q = qy * kCornerWidth + qx;
          if (e[q] && label[q] < 0) {
            label[q] = label[start];
            stack.push_back(q);
          }
        }
      }
    }
    g.coherence = static_cast<int32_t>(coherence / static_cast<int64_t>(g.pixels.size()));
    groups.push_back(std::move(g));
  }
  return groups;
}

CornerBox Union(const CornerBox& a, const CornerBox& b) {
  return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

bool Near(const CornerBox& a, const CornerBox& b) {
  return a.x0 - kMergeGap <= b.x1 && b.x0 - kMergeGap <= a.x1 && a.y0 - kMergeGap <= b.y1 &&
         b.y0 - kMergeGap <= a.y1;
}

// A logo fits the limits, its edges are dense enough to draw a shape, and it keeps clear of the corner area's inner sides (whatever
// reaches them goes on beyond the corner: picture, not logo).
bool CouldBeLogo(const EdgeGroup& g) {
  const CornerBox& b = g.box;
  if (g.pixels.size() < 16 || b.Width() < 6 || b.Height() < 4 || b.Width() > kMaxLogoWidth ||
      b.Height() > kMaxLogoHeight)
    return false;
  // A logo's outline fills a good part of its box; specks scattered over the area do not.
  if (static_cast<int64_t>(g.pixels.size()) * 100 < int64_t{b.Width()} * b.Height() * 4)
    return false;
  const bool right = g.corner & 1, bottom = g.corner & 2;
  if (right ? b.x0 <= 1 : b.x1 >= kCornerWidth - 2)
    return false;
  return bottom ? b.y0 > 1 : b.y1 < kCornerHeight - 2;
}

}  // namespace

std::vector<uint8_t> PersistentEdges(const EdgeCounts& f, int32_t corner, int32_t least) {
  std::vector<uint8_t> e(kCornerLumaBytes, 0);
  if (f.samples == 0)
    return e;
  least = std::max(least, 1);
  for (int32_t p = 0; p < kCornerLumaBytes; ++p) {
    const size_t q = static_cast<size_t>(corner) * kCornerLumaBytes + p;
    e[p] = Excess(f, q) >= least;
  }
  RemoveLines(&e);
  return e;
}

EdgeGroup StrongestGroup(const EdgeCounts& f, int32_t corner, int32_t least) {
  std::vector<int32_t> weight(kCornerLumaBytes);
  for (int32_t p = 0; p < kCornerLumaBytes; ++p)
    weight[p] = Excess(f, static_cast<size_t>(corner) * kCornerLumaBytes + p);
  return StrongestGroupIn(PersistentEdges(f, corner, least), weight, f.total[corner], corner);
}

EdgeGroup StrongestGroupIn(const std::vector<uint8_t>& marks,
                           const std::vector<int32_t>& weight,
                           int32_t scale,
                           int32_t corner) {
  std::vector<EdgeGroup> groups = JoinEdges(marks, weight, scale, corner);
  std::sort(groups.begin(), groups.end(),
            [](const EdgeGroup& a, const EdgeGroup& b) { return a.strength > b.strength; });
  // Past the strongest few, what is left is scattered noise.
  for (size_t seed = 0; seed < groups.size() && seed < 24; ++seed) {
    EdgeGroup g = groups[seed];
    std::vector<uint8_t> taken(groups.size(), 0);
    taken[seed] = 1;
    for (bool grew = true; grew;) {
      grew = false;
      for (size_t i = 0; i < groups.size(); ++i) {
        // Only parts of a size and coherence like the seed's: scattered noise stays out.
        if (taken[i] ||
            groups[i].pixels.size() < std::max<size_t>(8, groups[seed].pixels.size() / 40) ||
            groups[i].coherence * 10 < groups[seed].coherence * 6 || !Near(g.box, groups[i].box))
          continue;
        const CornerBox joined = Union(g.box, groups[i].box);
        if (joined.Width() > kMaxLogoWidth || joined.Height() > kMaxLogoHeight)
          continue;
        const int64_t n = static_cast<int64_t>(g.pixels.size()),
                      m = static_cast<int64_t>(groups[i].pixels.size());
        g.coherence = static_cast<int32_t>((g.coherence * n + groups[i].coherence * m) / (n + m));
        g.box = joined;
        g.strength += groups[i].strength;
        g.pixels.insert(g.pixels.end(), groups[i].pixels.begin(), groups[i].pixels.end());
        taken[i] = 1;
        grew = true;
      }
    }
    if (CouldBeLogo(g))
      return g;
  }
  return EdgeGroup();
}

}  // namespace zunk
