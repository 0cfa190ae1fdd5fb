// The logo's mask and colours from the samples that show it.
#include "learn/logo_mask.h"

#include <algorithm>

#include "kernels/kernels.h"

namespace zunk {

namespace {

constexpr int32_t kEdgeMargin = 3;      // the edges' box widened by this for the mask
constexpr int32_t kRing = 8;            // the background ring's width around it
constexpr int32_t kContextMargin = 24;  // the preview's picture around the logo
constexpr int32_t kCloseReach = 3;
constexpr int32_t kFringeReach = 3;  // how far past the logo its edges mark pixels
constexpr int32_t kFringeShare = 8;  // tenths of its neighbours' spread a fringe pixel has
constexpr int32_t kStill = 3;        // a spread this small: a pixel that hardly changes

CornerBox Widen(const CornerBox& b, int32_t by) {
  return {std::max(0, b.x0 - by), std::max(0, b.y0 - by), std::min(kCornerWidth - 1, b.x1 + by),
          std::min(kCornerHeight - 1, b.y1 + by)};
}

uint8_t Median(std::vector<uint8_t>* v) {
  auto mid = v->begin() + static_cast<long>(v->size() / 2);
  std::nth_element(v->begin(), mid, v->end());
  return *mid;
}

// Per pixel of an area of the corner, over the samples showing the logo: the median luma,
// colour (of its block) and the median absolute deviation of luma.
struct TypicalPicture {
  CornerBox area;
  std::vector<uint8_t> y, u, v, spread;
  size_t At(int32_t x, int32_t yy) const {
    return static_cast<size_t>(yy - area.y0) * area.Width() + (x - area.x0);
  }
};

TypicalPicture Typical(const std::vector<LearnSample>& samples,
                       const std::vector<uint8_t>& shows,
                       int32_t corner,
                       const CornerBox& area) {
  TypicalPicture t;
  t.area = area;
  const size_t n = static_cast<size_t>(area.Width()) * area.Height();
  t.y.resize(n);
  t.u.resize(n);
  t.v.resize(n);
  t.spread.resize(n);
  std::vector<const LearnSample*> logo;
  for (size_t i = 0; i < samples.size(); ++i)
    if (shows[i])
      logo.push_back(&samples[i]);
  std::vector<uint8_t> values(logo.size());
  for (int32_t y = area.y0; y <= area.y1; ++y) {
    for (int32_t x = area.x0; x <= area.x1; ++x) {
      const size_t q = t.At(x, y);
      const int32_t p = y * kCornerWidth + x, b = (y / 2) * (kCornerWidth / 2) + x / 2;
      for (size_t i = 0; i < logo.size(); ++i)
        values[i] = logo[i]->Luma(corner)[p];
      const uint8_t med = Median(&values);
      for (size_t i = 0; i < logo.size(); ++i)
        values[i] = static_cast<uint8_t>(std::abs(logo[i]->Luma(corner)[p] - med));
      t.y[q] = med;
      t.spread[q] = Median(&values);
      for (size_t i = 0; i < logo.size(); ++i)
        values[i] = logo[i]->U(corner)[b];
      t.u[q] = Median(&values);
      for (size_t i = 0; i < logo.size(); ++i)
        values[i] = logo[i]->V(corner)[b];
      t.v[q] = Median(&values);
    }
  }
  return t;
}

// Morphology on a w x h map: dilation (grow) or erosion (shrink) by a square of `reach`.
std::vector<uint8_t> Morph(const std::vector<uint8_t>& m,
                           int32_t w,
                           int32_t h,
                           int32_t reach,
                           bool grow) {
  std::vector<uint8_t> out(m.size());
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      bool any = false, all = true;
      for (int32_t dy = -reach; dy <= reach; ++dy)
        for (int32_t dx = -reach; dx <= reach; ++dx) {
          const int32_t qx = x + dx, qy = y + dy;
          const bool on = qx >= 0 && qy >= 0 && qx < w && qy < h && m[qy * w + qx];
          any = any || on;
          all = all && on;
        }
      out[y * w + x] = grow ? any : all;
    }
  }
  return out;
}

// Labels the 8-connected regions of marked (`on`) pixels of a w x h map from 1; returns
// their number.
int32_t Regions(const std::vector<uint8_t>& m,
                int32_t w,
                int32_t h,
                bool on,
                std::vector<int32_t>* label) {
  label->assign(m.size(), 0);
  int32_t count = 0;
  std::vector<int32_t> stack;
  for (int32_t start = 0; start < w * h; ++start) {
    if (bool(m[start]) != on || (*label)[start])
      continue;
    (*label)[start] = ++count;
    stack.push_back(start);
    while (!stack.empty()) {
      const int32_t p = stack.back();
      stack.pop_back();
      const int32_t x = p % w, y = p / w;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const int32_t qx = x + dx, qy = y + dy, q = qy * w + qx;
          if (qx < 0 || qy < 0 || qx >= w || qy >= h || bool(m[q]) != on || (*label)[q])
            continue;
          (*label)[q] = count;
          stack.push_back(q);
        }
    }
  }
  return count;
}

// The median luma spread of the ring around `inner` within the typical picture's area.
int32_t RingSpread(const TypicalPicture& t, const CornerBox& inner) {
  std::vector<uint8_t> ring;
  for (int32_t y = t.area.y0; y <= t.area.y1; ++y)
    for (int32_t x = t.area.x0; x <= t.area.x1; ++x)
      if (x < inner.x0 || x > inner.x1 || y < inner.y0 || y > inner.y1)
        ring.push_back(t.spread[t.At(x, y)]);
  return ring.empty() ? 0 : Median(&ring);
}

// Peels off the mask's side what changes like the picture beside it: an edge marks pixels on
// both of its sides, colour edges (at half resolution) up to three pixels out, so the
// closed mask reaches past the logo. A pixel next to unmasked ones goes when its spread is
// clearly above that of the masked pixels beside it (where nothing changes, nothing can be
// told) and nearer the unmasked ones' (a see-through logo's pixels change with the picture
// behind them, but by less than all of it), or when it changes nearly as much as the
// unmasked ones (the outer pixels of a fringe several pixels thick, beside one another).
void PeelFringe(std::vector<uint8_t>* m,
                int32_t w,
                int32_t h,
                const std::vector<uint8_t>& spread) {
  for (int32_t layer = 0; layer < kFringeReach; ++layer) {
    std::vector<uint8_t> keep = *m;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const int32_t own = spread[y * w + x];
        if (!(*m)[y * w + x] || own <= kStill)
          continue;
        int32_t in = 0, nIn = 0, out = 0, nOut = 0;
        for (int32_t dy = -1; dy <= 1; ++dy)
          for (int32_t dx = -1; dx <= 1; ++dx) {
            const int32_t qx = x + dx, qy = y + dy;
            if ((dx == 0 && dy == 0) || qx < 0 || qy < 0 || qx >= w || qy >= h)
              continue;
            if ((*m)[qy * w + qx]) {
              in += spread[qy * w + qx];
              ++nIn;
            } else {
              out += spread[qy * w + qx];
              ++nOut;
            }
          }
        if (nOut == 0)
          continue;
        // own >= kFringeShare / 10 * out / nOut; own > in / nIn + kStill and
        // own > (in / nIn + out / nOut) / 2.
        const bool likeOut = own * 10 * nOut >= out * kFringeShare;
        const bool nearer = nIn > 0 && own * nIn > in + kStill * nIn &&
                            2 * own * nIn * nOut > in * nOut + out * nIn;
        if (likeOut || nearer)
          keep[y * w + x] = 0;
      }
    *m = std::move(keep);
  }
}

// The marks within box b.
std::vector<uint8_t> MarksIn(const std::vector<uint8_t>& marks, const CornerBox& b) {
  const int32_t w = b.Width(), h = b.Height();
  std::vector<uint8_t> m(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      m[y * w + x] = marks[(b.y0 + y) * kCornerWidth + b.x0 + x];
  return m;
}

// The mask over box b: persistent edges closed; of the areas they enclose those that
// change less than 0.7 of the background as a whole (the others show the picture through a
// hole); less the one-pixel fringe that an edge marks on its outer side; less what changes
// about as much as the background (a see-through logo changes with the picture behind it,
// but less); no specks.
std::vector<uint8_t> MaskIn(const std::vector<uint8_t>& marks,
                            bool edges,
                            const CornerBox& b,
                            const TypicalPicture& t) {
  const int32_t w = b.Width(), h = b.Height();
  std::vector<uint8_t> m = MarksIn(marks, b);
  m = Morph(Morph(m, w, h, kCloseReach, true), w, h, kCloseReach, false);
  const int32_t ring = RingSpread(t, b);
  const int32_t edgeLimit = std::max(4, ring * 85 / 100), holeLimit = std::max(4, ring * 7 / 10);
  auto spread = [&](int32_t i) { return t.spread[t.At(b.x0 + i % w, b.y0 + i / w)]; };
  std::vector<int32_t> label;
  const int32_t areas = Regions(m, w, h, false, &label);
  std::vector<std::vector<uint8_t>> spreads(areas + 1);
  std::vector<uint8_t> border(areas + 1, 0);
  for (int32_t i = 0; i < w * h; ++i) {
    spreads[label[i]].push_back(spread(i));
    const int32_t x = i % w, y = i / w;
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
      border[label[i]] = 1;
  }
  std::vector<uint8_t> keepHole(areas + 1, 0);
  for (int32_t a = 1; a <= areas; ++a)
    keepHole[a] = !border[a] && Median(&spreads[a]) <= holeLimit;
  for (int32_t i = 0; i < w * h; ++i)
    m[i] = m[i] || keepHole[label[i]];
  if (edges)
    m = Morph(m, w, h, 1, false);
  for (int32_t i = 0; i < w * h; ++i)
    m[i] = m[i] && spread(i) <= edgeLimit;
  if (edges) {
    std::vector<uint8_t> spreads(static_cast<size_t>(w) * h);
    for (int32_t i = 0; i < w * h; ++i)
      spreads[i] = spread(i);
    PeelFringe(&m, w, h, spreads);
  }
  const int32_t parts = Regions(m, w, h, true, &label);
  std::vector<int32_t> size(parts + 1, 0);
  for (int32_t i = 0; i < w * h; ++i)
    ++size[label[i]];
  for (int32_t i = 0; i < w * h; ++i)
    m[i] = m[i] && size[label[i]] >= 6;
  return m;
}

}  // namespace

uint32_t BgrxFromYuv(uint8_t y, uint8_t u, uint8_t v) {
  const uint8_t group[4] = {y, u, y, v};
  WorkPixel p[2];
  Kernels().CopyRegionFromYuy2(group, 0, 0, 1, 1, 2, 1, p, 0, 0, 2, 1);
  return static_cast<uint32_t>(p[0].b) | static_cast<uint32_t>(p[0].g) << 8 |
         static_cast<uint32_t>(p[0].r) << 16;
}

uint32_t ChooseColorKey(const std::vector<uint32_t>& pixels, const std::vector<uint8_t>& mask) {
  std::vector<uint32_t> used;
  for (size_t i = 0; i < pixels.size(); ++i)
    if (mask[i])
      used.push_back(pixels[i] & 0xFFFFFF);
  std::sort(used.begin(), used.end());
  auto free = [&](uint32_t key) {
    return !std::binary_search(used.begin(), used.end(), KeyBgrx(key));
  };
  static const uint32_t kCandidates[] = {0xFF00FF, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF0000,
                                         0x00FFFF, 0xFE01FE, 0x01FE01, 0x000000, 0xFFFFFF};
  for (uint32_t key : kCandidates)
    if (free(key))
      return key;
  // Of any used.size() + 1 colours, one is free.
  uint32_t key = 0;
  while (!free(key))
    ++key;
  return key;
}

void TemplateFrom(const std::vector<LearnSample>& samples,
                  int32_t corner,
                  const CornerBox& logo,
                  const std::vector<uint8_t>& mask,
                  FoundLogo* found) {
  const TypicalPicture t = Typical(samples, found->showsLogo, corner, Widen(logo, kContextMargin));
  const int32_t w = logo.Width(), h = logo.Height();
  found->place.corner = corner;
  found->place.x = CornerLeft(corner) + logo.x0;
  found->place.y = CornerTop(corner) + logo.y0;
  found->place.width = w;
  found->place.height = h;
  found->mask = mask;
  found->pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const size_t q = t.At(logo.x0 + x, logo.y0 + y);
      found->pixels[static_cast<size_t>(y) * w + x] = BgrxFromYuv(t.y[q], t.u[q], t.v[q]);
    }
  found->colorKey = ChooseColorKey(found->pixels, found->mask);
  for (size_t i = 0; i < found->mask.size(); ++i)
    if (!found->mask[i])
      found->pixels[i] = KeyBgrx(found->colorKey);
  found->contextX = CornerLeft(corner) + t.area.x0;
  found->contextY = CornerTop(corner) + t.area.y0;
  found->contextWidth = t.area.Width();
  found->contextHeight = t.area.Height();
  found->context.resize(t.y.size());
  for (size_t i = 0; i < t.y.size(); ++i)
    found->context[i] = BgrxFromYuv(t.y[i], t.u[i], t.v[i]);
}

bool CutOutLogo(const std::vector<LearnSample>& samples,
                const std::vector<uint8_t>& marks,
                bool edges,
                const EdgeGroup& group,
                FoundLogo* found) {
  const CornerBox box = Widen(group.box, kEdgeMargin);
  const TypicalPicture t =
      Typical(samples, found->showsLogo, group.corner, Widen(group.box, kContextMargin));
  const std::vector<uint8_t> m = MaskIn(marks, edges, box, t);
  CornerBox logo;
  logo.x0 = box.x1 + 1;
  logo.y0 = box.y1 + 1;
  for (int32_t y = 0; y < box.Height(); ++y)
    for (int32_t x = 0; x < box.Width(); ++x)
      if (m[y * box.Width() + x])
        logo = {std::min(logo.x0, box.x0 + x), std::min(logo.y0, box.y0 + y),
                std::max(logo.x1, box.x0 + x), std::max(logo.y1, box.y0 + y)};
  if (logo.Empty())
    return false;
  std::vector<uint8_t> mask(static_cast<size_t>(logo.Width()) * logo.Height());
  for (int32_t y = 0; y < logo.Height(); ++y)
    for (int32_t x = 0; x < logo.Width(); ++x)
      mask[static_cast<size_t>(y) * logo.Width() + x] =
          m[(logo.y0 - box.y0 + y) * box.Width() + (logo.x0 - box.x0 + x)];
  TemplateFrom(samples, group.corner, logo, mask, found);
  return true;
}

}  // namespace zunk
