// FindLogo in three steps. (1) Over all samples, each pixel's median and how often a
// frame lies within 2 levels of it; the steadiest corner pixels form a first guess of
// the logo, and the frames that agree with the median there are the frames with the
// logo. (2) Over those frames only, the pixels within 1 level of their median in 95 %
// of them (clipped black and white carry no evidence) form the logo's core; the
// largest compact group of core pixels in a corner gives the logo's rectangle. (3) In
// the rectangle, the pixels within 6 levels in 80 % of the logo frames are the logo;
// the others are background.
#include "logo_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zunkhost {
namespace {

uint8_t Luma(const uint8_t* bgr) {
  return static_cast<uint8_t>((29 * bgr[0] + 150 * bgr[1] + 77 * bgr[2] + 128) >> 8);
}

// Corners: the left and right 40 % of the frame in its top and bottom 30 %.
bool InCorner(int x, int y, int w, int h) {
  return (x * 5 < w * 2 || x * 5 >= w * 3) && (y * 10 < h * 3 || y * 10 >= h * 7);
}

uint8_t Median(std::vector<uint8_t>* v) {
  auto mid = v->begin() + static_cast<long>(v->size() / 2);
  std::nth_element(v->begin(), mid, v->end());
  return *mid;
}

struct Box {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive
  int count = 0;
  int Width() const { return x1 - x0 + 1; }
  int Height() const { return y1 - y0 + 1; }
};

// Groups of marked pixels, joined across gaps of up to `reach` pixels; returns each
// group's bounding box and pixel count.
std::vector<Box> Groups(const std::vector<uint8_t>& marked, int w, int h, int reach) {
  std::vector<int> label(marked.size(), -1);
  std::vector<Box> boxes;
  std::vector<int> stack;
  for (int start = 0; start < w * h; ++start) {
    if (!marked[start] || label[start] >= 0)
      continue;
    int id = static_cast<int>(boxes.size());
    Box b;
    b.x0 = b.x1 = start % w;
    b.y0 = b.y1 = start / w;
    label[start] = id;
    stack.push_back(start);
    while (!stack.empty()) {
      int p = stack.back();
      stack.pop_back();
      int px = p % w, py = p / w;
      ++b.count;
      b.x0 = std::min(b.x0, px);
      b.x1 = std::max(b.x1, px);
      b.y0 = std::min(b.y0, py);
      b.y1 = std::max(b.y1, py);
      for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
          int qx = px + dx, qy = py + dy;
          if (qx < 0 || qy < 0 || qx >= w || qy >= h)
            continue;
          int q = qy * w + qx;
          if (marked[q] && label[q] < 0) {
            label[q] = id;
            stack.push_back(q);
          }
        }
    }
    boxes.push_back(b);
  }
  return boxes;
}

// The group most likely to be a logo: the most pixels, in a box of logo size.
bool BestGroup(const std::vector<Box>& groups, int w, int h, int least, Box* best) {
  bool any = false;
  for (const Box& g : groups) {
    if (g.count < least || g.Width() < 8 || g.Height() < 6 || g.Width() > w * 2 / 5 ||
        g.Height() > h * 3 / 10)
      continue;
    if (!any || g.count > best->count) {
      *best = g;
      any = true;
    }
  }
  return any;
}

// The longest run of indices whose count is at least a quarter of the largest, bridging gaps of
// up to 3; [*first, *last].
void DenseRun(const std::vector<int>& count, int* first, int* last) {
  const int most = *std::max_element(count.begin(), count.end());
  int bestLength = -1, runStart = -1, lastDense = -1;
  for (int i = 0; i <= static_cast<int>(count.size()); ++i) {
    bool dense = i < static_cast<int>(count.size()) && count[i] * 4 >= most;
    if (dense) {
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
}

// The group's box cut down to the rows and columns where the core is dense: a static
// object touching the logo is not part of it.
Box DenseCore(const std::vector<uint8_t>& core, int w, Box b) {
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<int> rows(b.Height(), 0), cols(b.Width(), 0);
    for (int y = b.y0; y <= b.y1; ++y)
      for (int x = b.x0; x <= b.x1; ++x)
        if (core[static_cast<size_t>(y) * w + x]) {
          ++rows[y - b.y0];
          ++cols[x - b.x0];
        }
    int r0 = 0, r1 = b.Height() - 1, c0 = 0, c1 = b.Width() - 1;
    DenseRun(rows, &r0, &r1);
    DenseRun(cols, &c0, &c1);
    b = {b.x0 + c0, b.y0 + r0, b.x0 + c1, b.y0 + r1, b.count};
  }
  return b;
}

// Mean luma difference across the edge between columns x - 1 and x over rows y0..y1
// (vertical) or between rows y - 1 and y over columns x0..x1.
double EdgeAcross(const std::vector<uint8_t>& l, int w, const Box& b, int at, bool vertical) {
  long sum = 0;
  int n = 0;
  if (vertical) {
    for (int y = b.y0; y <= b.y1; ++y, ++n)
      sum += std::abs(l[static_cast<size_t>(y) * w + at] - l[static_cast<size_t>(y) * w + at - 1]);
  } else {
    for (int x = b.x0; x <= b.x1; ++x, ++n)
      sum += std::abs(l[static_cast<size_t>(at) * w + x] - l[static_cast<size_t>(at - 1) * w + x]);
  }
  return n ? static_cast<double>(sum) / n : 0;
}

// The logo's border rows and columns blur into the picture around them and may not be
// in the core: each side moves out, by up to 4 pixels, to the outermost edge about as
// strong as the strongest there (a logo's outline is its strongest edge; the lines
// inside it, between a rim and its field, can be as strong).
// edge(k) is the edge just outside side position k; `out` steps away from the logo.
Box SnapToEdges(const std::vector<uint8_t>& l, int w, int h, Box b) {
  auto snap = [&](int side, int out, bool vertical, int limit) {
    double strongest = 0;
    int best = side;
    std::vector<std::pair<int, double>> edges;
    for (int k = side; k != side + 5 * out; k += out) {
      if (k < 0 || k > limit)
        break;
      // The edge between k and the pixel beyond it.
      int at = out < 0 ? k : k + 1;
      if (at < 1 || at > limit)
        break;
      double e = EdgeAcross(l, w, b, at, vertical);
      edges.push_back({k, e});
      strongest = std::max(strongest, e);
    }
    // Weak edges say nothing: the side stays where the core ends.
    if (strongest < 24)
      return side;
    for (const auto& e : edges)
      if (e.second >= strongest * 0.9)
        best = e.first;
    return best;
  };
  Box r = b;
  r.x0 = snap(b.x0, -1, true, w - 1);
  r.x1 = snap(b.x1, +1, true, w - 1);
  r.y0 = snap(b.y0, -1, false, h - 1);
  r.y1 = snap(b.y1, +1, false, h - 1);
  return r;
}

}  // namespace

FrameSampler::FrameSampler(int width, int height, int firstSpacing, int capacity)
    : width_(width), height_(height), capacity_(capacity), spacing_(std::max(1, firstSpacing)) {}

void FrameSampler::Offer(int64_t n, const uint8_t* bgr) {
  if (n % spacing_ != 0)
    return;
  // Black and flat frames (the joins between programme and adverts) say nothing.
  const size_t pixels = static_cast<size_t>(width_) * height_;
  uint64_t sum = 0, squares = 0;
  for (size_t i = 0; i < pixels; i += 7) {
    uint32_t y = Luma(bgr + i * 3);
    sum += y;
    squares += y * y;
  }
  const double count = static_cast<double>((pixels + 6) / 7);
  const double mean = sum / count, variance = squares / count - mean * mean;
  if (mean < 24 || variance < 36)
    return;
  frames_.emplace_back(bgr, bgr + pixels * 3);
  numbers_.push_back(n);
  if (static_cast<int>(frames_.size()) < capacity_)
    return;
  // Full: keep the frames on the doubled spacing.
  spacing_ *= 2;
  size_t kept = 0;
  for (size_t i = 0; i < frames_.size(); ++i)
    if (numbers_[i] % spacing_ == 0) {
      frames_[kept].swap(frames_[i]);
      numbers_[kept++] = numbers_[i];
    }
  frames_.resize(kept);
  numbers_.resize(kept);
}

bool FindLogo(const std::vector<std::vector<uint8_t>>& frames,
              int w,
              int h,
              FoundLogo* found,
              std::string* why) {
  const int n = static_cast<int>(frames.size());
  const size_t pixels = static_cast<size_t>(w) * h;
  found->samples = n;
  if (n < 12) {
    *why = "too short a recording: " + std::to_string(n) +
           " usable frames a second or more apart, at least 12 are needed";
    return false;
  }
  std::vector<uint8_t> luma(pixels * n);
  for (int f = 0; f < n; ++f)
    for (size_t p = 0; p < pixels; ++p)
      luma[p * n + f] = Luma(&frames[f][p * 3]);

  // (1) Steady pixels over every sample, and the frames that show them.
  std::vector<uint8_t> median(pixels), values(n);
  std::vector<float> steady(pixels, 0.f);
  std::vector<float> cornerSteady;
  for (size_t p = 0; p < pixels; ++p) {
    if (!InCorner(static_cast<int>(p % w), static_cast<int>(p / w), w, h))
      continue;
    values.assign(&luma[p * n], &luma[p * n] + n);
    median[p] = Median(&values);
    int close = 0;
    for (int f = 0; f < n; ++f)
      close += std::abs(luma[p * n + f] - median[p]) <= 2;
    steady[p] = static_cast<float>(close) / n;
    cornerSteady.push_back(steady[p]);
  }
  std::vector<float> sorted = cornerSteady;
  auto at = sorted.begin() + static_cast<long>(sorted.size() * 997 / 1000);
  std::nth_element(sorted.begin(), at, sorted.end());
  const float cut = std::max(*at, 0.3f);
  std::vector<uint8_t> marked(pixels, 0);
  for (size_t p = 0; p < pixels; ++p)
    marked[p] = steady[p] >= cut && steady[p] > 0;
  Box guess;
  if (!BestGroup(Groups(marked, w, h, 3), w, h, 40, &guess)) {
    *why = "no logo found: no corner area stays the same from frame to frame";
    return false;
  }
  std::vector<float> score(n, 0.f);
  for (int f = 0; f < n; ++f) {
    int in = 0, all = 0;
    for (int y = guess.y0; y <= guess.y1; ++y)
      for (int x = guess.x0; x <= guess.x1; ++x) {
        size_t p = static_cast<size_t>(y) * w + x;
        if (!marked[p])
          continue;
        ++all;
        in += std::abs(luma[p * n + f] - median[p]) <= 2;
      }
    score[f] = all ? static_cast<float>(in) / all : 0.f;
  }
  std::vector<float> ranked = score;
  std::sort(ranked.begin(), ranked.end());
  const float low = ranked[n / 10], high = ranked[n - 1 - n / 10];
  const float split = high - low >= 0.3f ? (low + high) / 2 : -1.f;
  std::vector<int> logoFrames;
  for (int f = 0; f < n; ++f)
    if (score[f] > split)
      logoFrames.push_back(f);
  const int m = static_cast<int>(logoFrames.size());
  found->logoFrames = m;
  if (m < 8) {
    *why = "no logo found: too few frames (" + std::to_string(m) + ") share a static corner area";
    return false;
  }

  // (2) The core over the frames with the logo, and the logo's rectangle.
  std::vector<uint8_t> core(pixels, 0), median2(pixels, 0);
  std::vector<uint8_t> loose(pixels, 0);
  for (size_t p = 0; p < pixels; ++p) {
    if (!InCorner(static_cast<int>(p % w), static_cast<int>(p / w), w, h))
      continue;
    values.resize(m);
    for (int i = 0; i < m; ++i)
      values[i] = luma[p * n + logoFrames[i]];
    uint8_t med = Median(&values);
    median2[p] = med;
    int tight = 0, wide = 0;
    for (int i = 0; i < m; ++i) {
      int d = std::abs(luma[p * n + logoFrames[i]] - med);
      tight += d <= 1;
      wide += d <= 6;
    }
    core[p] = tight * 100 >= m * 95 && med > 2 && med < 253;
    loose[p] = wide * 100 >= m * 80;
  }
  Box logo;
  if (!BestGroup(Groups(core, w, h, 3), w, h, 40, &logo)) {
    *why = "no logo found: no corner area stays the same in the frames that share one";
    return false;
  }
  logo = DenseCore(core, w, logo);
  logo = SnapToEdges(median2, w, h, logo);

  // (3) The logo's pixels and their typical colours.
  found->x = logo.x0;
  found->y = logo.y0;
  found->width = logo.Width();
  found->height = logo.Height();
  found->bgr.assign(static_cast<size_t>(found->width) * found->height * 3, 0);
  found->mask.assign(static_cast<size_t>(found->width) * found->height, 0);
  const int margin = 24;
  found->contextX = std::max(0, logo.x0 - margin);
  found->contextY = std::max(0, logo.y0 - margin);
  found->contextWidth = std::min(w, logo.x1 + 1 + margin) - found->contextX;
  found->contextHeight = std::min(h, logo.y1 + 1 + margin) - found->contextY;
  found->context.assign(static_cast<size_t>(found->contextWidth) * found->contextHeight * 3, 0);
  values.resize(m);
  for (int y = 0; y < found->contextHeight; ++y)
    for (int x = 0; x < found->contextWidth; ++x) {
      const int fx = found->contextX + x, fy = found->contextY + y;
      size_t p = static_cast<size_t>(fy) * w + fx;
      uint8_t colour[3];
      for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < m; ++i)
          values[i] = frames[logoFrames[i]][p * 3 + c];
        colour[c] = Median(&values);
      }
      std::copy(colour, colour + 3,
                &found->context[(static_cast<size_t>(y) * found->contextWidth + x) * 3]);
      if (fx < logo.x0 || fx > logo.x1 || fy < logo.y0 || fy > logo.y1)
        continue;
      size_t q = static_cast<size_t>(fy - logo.y0) * found->width + (fx - logo.x0);
      found->mask[q] = loose[p] || core[p];
      std::copy(colour, colour + 3, &found->bgr[q * 3]);
    }
  return true;
}

}  // namespace zunkhost
