// The still-picture finder: steady shares, groups of steady pixels, the samples that share
// them, the dense core and its sides snapped to the outline.
#include "learn/still_logo.h"

#include <algorithm>
#include <cstdlib>

namespace zunk {

namespace {

constexpr int32_t kReach = 3;  // steady pixels this near are one group
constexpr int32_t kLeastPixels = 40;
constexpr int32_t kMostlySteady = 40;  // per cent of a corner: the picture itself is still
// Luma levels at which a picture clips: the ends of studio range (16, 235) and beyond, with a
// level or two of compression to spare. A clipped area of the scene (a white wall in the sun,
// a black shadow) keeps its value as steadily as a logo does, so it is no evidence of one.
constexpr int32_t kClippedDark = 18;
constexpr int32_t kClippedLight = 233;

uint8_t Median(std::vector<uint8_t>* v) {
  auto mid = v->begin() + static_cast<long>(v->size() / 2);
  std::nth_element(v->begin(), mid, v->end());
  return *mid;
}

struct Group {
  CornerBox box;
  int32_t count = 0;
};

// Groups of marked pixels of a corner map, joined across gaps of up to kReach pixels.
std::vector<Group> Groups(const std::vector<uint8_t>& marked) {
  std::vector<int32_t> label(marked.size(), -1);
  std::vector<Group> groups;
  std::vector<int32_t> stack;
  for (int32_t start = 0; start < kCornerLumaBytes; ++start) {
    if (!marked[start] || label[start] >= 0)
      continue;
    Group g;
    g.box = {start % kCornerWidth, start / kCornerWidth, start % kCornerWidth,
             start / kCornerWidth};
    label[start] = static_cast<int32_t>(groups.size());
    stack.push_back(start);
    while (!stack.empty()) {
      const int32_t p = stack.back();
      stack.pop_back();
      const int32_t px = p % kCornerWidth, py = p / kCornerWidth;
      ++g.count;
      g.box = {std::min(g.box.x0, px), std::min(g.box.y0, py), std::max(g.box.x1, px),
               std::max(g.box.y1, py)};
      for (int32_t dy = -kReach; dy <= kReach; ++dy)
        for (int32_t dx = -kReach; dx <= kReach; ++dx) {
          const int32_t qx = px + dx, qy = py + dy;
          if (qx < 0 || qy < 0 || qx >= kCornerWidth || qy >= kCornerHeight)
            continue;
          const int32_t q = qy * kCornerWidth + qx;
          if (marked[q] && label[q] < 0) {
            label[q] = label[start];
            stack.push_back(q);
          }
        }
    }
    groups.push_back(g);
  }
  return groups;
}

// The group most likely to be a logo: the most pixels, in a box of a logo's size.
bool BestGroup(const std::vector<Group>& groups, Group* best) {
  bool any = false;
  for (const Group& g : groups) {
    if (g.count < kLeastPixels || g.box.Width() < 8 || g.box.Height() < 6 ||
        g.box.Width() > kMaxLogoWidth || g.box.Height() > kMaxLogoHeight)
      continue;
    if (!any || g.count > best->count) {
      *best = g;
      any = true;
    }
  }
  return any;
}

// The longest run of indices whose count is at least a quarter of the largest, bridging
// gaps of up to 3: [*first, *last].
void DenseRun(const std::vector<int32_t>& count, int32_t* first, int32_t* last) {
  const int32_t most = *std::max_element(count.begin(), count.end());
  int32_t bestLength = -1, runStart = -1, lastDense = -1;
  for (int32_t i = 0; i < static_cast<int32_t>(count.size()); ++i) {
    if (count[i] * 4 < most)
      continue;
    if (runStart < 0 || i - lastDense > 4)
      runStart = i;
    lastDense = i;
    if (lastDense - runStart > bestLength) {
      bestLength = lastDense - runStart;
      *first = runStart;
      *last = lastDense;
    }
  }
}

// The box cut down to the rows and columns where the core is dense: a still object beside
// the logo is not part of it.
CornerBox DenseCore(const std::vector<uint8_t>& core, CornerBox b) {
  for (int32_t pass = 0; pass < 2; ++pass) {
    std::vector<int32_t> rows(b.Height(), 0), cols(b.Width(), 0);
    for (int32_t y = b.y0; y <= b.y1; ++y)
      for (int32_t x = b.x0; x <= b.x1; ++x)
        if (core[y * kCornerWidth + x]) {
          ++rows[y - b.y0];
          ++cols[x - b.x0];
        }
    int32_t r0 = 0, r1 = b.Height() - 1, c0 = 0, c1 = b.Width() - 1;
    DenseRun(rows, &r0, &r1);
    DenseRun(cols, &c0, &c1);
    b = {b.x0 + c0, b.y0 + r0, b.x0 + c1, b.y0 + r1};
  }
  return b;
}

// Mean luma difference across the edge before column (or row) `at`, along the box.
int32_t EdgeAcross(const std::vector<uint8_t>& l, const CornerBox& b, int32_t at, bool vertical) {
  int32_t sum = 0, n = 0;
  if (vertical) {
    for (int32_t y = b.y0; y <= b.y1; ++y, ++n)
      sum += std::abs(l[y * kCornerWidth + at] - l[y * kCornerWidth + at - 1]);
  } else {
    for (int32_t x = b.x0; x <= b.x1; ++x, ++n)
      sum += std::abs(l[at * kCornerWidth + x] - l[(at - 1) * kCornerWidth + x]);
  }
  return n ? sum * 16 / n : 0;  // sixteenths of a level
}

// A logo's border blurs into the picture and may not be in the core: each side moves out,
// by up to 4 pixels, to the outermost edge about as strong as the strongest there (a logo's
// outline is its strongest edge; lines inside it, between a rim and its field, can be as
// strong). Weak edges leave the side where the core ends.
CornerBox SnapToEdges(const std::vector<uint8_t>& l, const CornerBox& b) {
  auto snap = [&](int32_t side, int32_t out, bool vertical, int32_t limit) {
    int32_t strongest = 0, best = side;
    std::vector<std::pair<int32_t, int32_t>> edges;
    for (int32_t k = side; k != side + 5 * out; k += out) {
      const int32_t at = out < 0 ? k : k + 1;  // the edge between k and the pixel beyond
      if (k < 0 || k > limit || at < 1 || at > limit)
        break;
      const int32_t e = EdgeAcross(l, b, at, vertical);
      edges.push_back({k, e});
      strongest = std::max(strongest, e);
    }
    if (strongest < 24 * 16)
      return side;
    for (const auto& e : edges)
      if (e.second * 10 >= strongest * 9)
        best = e.first;
    return best;
  };
  return {snap(b.x0, -1, true, kCornerWidth - 1), snap(b.y0, -1, false, kCornerHeight - 1),
          snap(b.x1, 1, true, kCornerWidth - 1), snap(b.y1, 1, false, kCornerHeight - 1)};
}

}  // namespace

StillLogo FindStillLogo(const std::vector<LearnSample>& samples,
                        const std::vector<uint8_t>& shows,
                        int32_t forced) {
  StillLogo r;
  r.shows = shows;
  std::vector<size_t> logo;
  for (size_t i = 0; i < samples.size(); ++i)
    if (shows[i])
      logo.push_back(i);
  const int32_t m = static_cast<int32_t>(logo.size());
  if (m < 2)
    return r;
  // Per corner: the core (within one level of the median in 95 % of the samples, not at a
  // level where the picture clips) and the pixels within 6 levels in 80 % of them; the largest
  // group of core pixels of a logo's size.
  std::vector<uint8_t> values(logo.size());
  std::vector<uint8_t> core[kCorners], loose[kCorners], typical[kCorners];
  std::vector<int32_t> tightShare[kCorners];
  Group best;
  for (int32_t c = 0; c < kCorners; ++c) {
    if (forced >= 0 && c != forced)
      continue;
    core[c].assign(kCornerLumaBytes, 0);
    loose[c].assign(kCornerLumaBytes, 0);
    typical[c].assign(kCornerLumaBytes, 0);
    tightShare[c].assign(kCornerLumaBytes, 0);
    for (int32_t p = 0; p < kCornerLumaBytes; ++p) {
      for (int32_t i = 0; i < m; ++i)
        values[i] = samples[logo[i]].Luma(c)[p];
      const uint8_t med = Median(&values);
      typical[c][p] = med;
      int32_t tight = 0, wide = 0;
      for (int32_t i = 0; i < m; ++i) {
        const int32_t d = std::abs(samples[logo[i]].Luma(c)[p] - med);
        tight += d <= 1;
        wide += d <= 6;
      }
      core[c][p] = tight * 100 >= m * 95 && med > kClippedDark && med < kClippedLight;
      loose[c][p] = wide * 100 >= m * 80;
      tightShare[c][p] = tight * 1000 / m;
    }
    Group g;
    if (BestGroup(Groups(core[c]), &g) && (r.corner < 0 || g.count > best.count)) {
      best = g;
      r.corner = c;
    }
  }
  if (r.corner < 0)
    return r;
  const int32_t c = r.corner;
  // Where most of the corner is as steady as the logo, nothing tells the logo from it.
  if (std::count(core[c].begin(), core[c].end(), 1) * 100 > kCornerLumaBytes * kMostlySteady) {
    r.corner = -1;
    return r;
  }
  const CornerBox box = SnapToEdges(typical[c], DenseCore(core[c], best.box));
  r.box = box;
  r.mask.assign(static_cast<size_t>(box.Width()) * box.Height(), 0);
  int64_t share = 0, count = 0;
  for (int32_t y = box.y0; y <= box.y1; ++y)
    for (int32_t x = box.x0; x <= box.x1; ++x) {
      const int32_t p = y * kCornerWidth + x;
      r.mask[static_cast<size_t>(y - box.y0) * box.Width() + (x - box.x0)] =
          loose[c][p] || core[c][p];
      if (core[c][p]) {
        share += tightShare[c][p];
        ++count;
      }
    }
  r.steadyShare = count ? static_cast<int32_t>(share / count) : 0;
  return r;
}

int32_t Movement(const std::vector<LearnSample>& samples, const std::vector<uint8_t>* only) {
  std::vector<const LearnSample*> chosen;
  for (size_t i = 0; i < samples.size(); ++i)
    if (!only || (*only)[i])
      chosen.push_back(&samples[i]);
  if (chosen.empty())
    return 0;
  // Clipped levels are left out: a white wall in the sun stays white whatever the camera
  // does, and a pixel clipped in most samples would hide how the others change.
  std::vector<uint8_t> spreads, values;
  for (int32_t c = 0; c < kCorners; ++c)
    for (int32_t p = 0; p < kCornerLumaBytes; p += 16) {
      values.clear();
      for (const LearnSample* s : chosen) {
        const uint8_t v = s->Luma(c)[p];
        if (v > kClippedDark && v < kClippedLight)
          values.push_back(v);
      }
      if (values.size() * 4 < chosen.size() || values.size() < 2)
        continue;
      const int32_t median = Median(&values);
      for (uint8_t& v : values)
        v = static_cast<uint8_t>(std::abs(v - median));
      spreads.push_back(Median(&values));
    }
  return spreads.empty() ? 0 : Median(&spreads);
}

}  // namespace zunk
