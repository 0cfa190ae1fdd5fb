// The template's edges and their search in a frame's corner area.
#include "spans/logo_edges.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/aligned_buffer.h"
#include "image/bmp_reader.h"
#include "image/file_bytes.h"

namespace zunkhost {

namespace {

// Sobel gradients: a step of one level across an edge gives 4.
constexpr int32_t kInnerEdge = 48;  // an inner edge of the template: a step of 12 levels
constexpr size_t kMostPoints = 1600;
// A point adds at most 2 * 1020 * 64 to a placement's score, held in 32 bits.
static_assert(kMostPoints * 2 * 1020 * 64 < 0x7FFFFFFF, "placement scores overflow");
static_assert(2 * kEdgeFarX + 1 <= kEdgeScoreLanes, "a row of placements is one SSE2 block");

int32_t LumaOf(uint32_t bgrx) {
  const int32_t b = bgrx & 0xFF, g = (bgrx >> 8) & 0xFF, r = (bgrx >> 16) & 0xFF;
  return (77 * r + 150 * g + 29 * b + 128) >> 8;
}

}  // namespace

bool BuildLogoEdgeModel(const uint32_t* pixels,
                        int32_t w,
                        int32_t h,
                        uint32_t colorKey,
                        int32_t x,
                        int32_t y,
                        LogoEdgeModel* model) {
  *model = LogoEdgeModel();
  if (!pixels || w < 3 || h < 3 || w > zunk::kCornerWidth || h > zunk::kCornerHeight)
    return false;
  // The corner area that holds the template's centre.
  int32_t corner = -1;
  for (int32_t c = 0; c < zunk::kCorners; ++c) {
    const int32_t cx = x + w / 2 - zunk::CornerLeft(c), cy = y + h / 2 - zunk::CornerTop(c);
    if (cx >= 0 && cx < zunk::kCornerWidth && cy >= 0 && cy < zunk::kCornerHeight)
      corner = c;
  }
  if (corner < 0)
    return false;
  const int32_t left = x - zunk::CornerLeft(corner), top = y - zunk::CornerTop(corner);
  if (left - 1 < 0 || top - 1 < 0 || left + w + 1 > zunk::kCornerWidth ||
      top + h + 1 > zunk::kCornerHeight)
    return false;
  // COLORREF 0x00BBGGRR against B, G, R, X as the dword 0xXXRRGGBB.
  const uint32_t key = ((colorKey & 0xFF) << 16) | (colorKey & 0xFF00) | ((colorKey >> 16) & 0xFF);
  auto in = [&](int32_t i, int32_t j) {
    return i >= 0 && j >= 0 && i < w && j < h && (pixels[j * w + i] & 0xFFFFFF) != key;
  };
  auto luma = [&](int32_t i, int32_t j) {
    i = std::clamp(i, 0, w - 1);
    j = std::clamp(j, 0, h - 1);
    return LumaOf(pixels[j * w + i]);
  };
  std::vector<LogoEdgeModel::Point> points;
  for (int32_t j = 0; j < h; ++j) {
    for (int32_t i = 0; i < w; ++i) {
      if (!in(i, j))
        continue;
      // The outline against the key: the mask's own gradient.
      int32_t mx = 0, my = 0, gx = 0, gy = 0;
      bool inner = true;
      for (int32_t b = -1; b <= 1; ++b) {
        for (int32_t a = -1; a <= 1; ++a) {
          const int32_t wgt = (a == 0 || b == 0) ? 2 : 1;
          const int32_t m = in(i + a, j + b);
          inner = inner && m;
          mx += a * wgt * m;
          my += b * wgt * m;
          gx += a * wgt * luma(i + a, j + b);
          gy += b * wgt * luma(i + a, j + b);
        }
      }
      if (inner) {
        if (std::abs(gx) + std::abs(gy) < kInnerEdge)
          continue;
        mx = gx;
        my = gy;
      } else if (mx == 0 && my == 0) {
        continue;
      }
      const double len = std::sqrt(static_cast<double>(mx) * mx + static_cast<double>(my) * my);
      points.push_back({static_cast<int16_t>(i), static_cast<int16_t>(j),
                        static_cast<int16_t>(std::lround(64 * mx / len)),
                        static_cast<int16_t>(std::lround(64 * my / len))});
    }
  }
  if (points.size() < 8)
    return false;
  // Evenly thinned, so that a large logo costs no more than a middling one.
  if (points.size() > kMostPoints) {
    std::vector<LogoEdgeModel::Point> kept;
    for (size_t k = 0; k < kMostPoints; ++k)
      kept.push_back(points[k * points.size() / kMostPoints]);
    points.swap(kept);
  }
  model->corner = corner;
  model->left = left;
  model->top = top;
  model->width = w;
  model->height = h;
  model->points = points;
  return true;
}

bool LoadLogoEdgeModel(const std::string& file,
                       uint32_t colorKey,
                       int32_t x,
                       int32_t y,
                       LogoEdgeModel* model) {
  *model = LogoEdgeModel();
  std::vector<uint8_t> bytes;
  if (file.empty() || !zunk::ReadFileBytes(file.c_str(), zunk::kMaxBitmapFileBytes, &bytes))
    return false;
  int32_t w = 0, h = 0;
  uint32_t* pixels = zunk::ReadBmp(bytes.data(), bytes.size(), zunk::kCornerWidth,
                                   zunk::kCornerHeight, &w, &h);
  if (!pixels)
    return false;
  const bool built = BuildLogoEdgeModel(pixels, w, h, colorKey, x, y, model);
  zunk::FreeAligned(pixels);
  return built;
}

namespace {

// The placements searched: those whose template pixels and their neighbours lie inside
// the corner.
struct Placements {
  int32_t dx0, dx1, dy0, dy1;
};
Placements PlacementsOf(const LogoEdgeModel& m) {
  constexpr int32_t W = zunk::kCornerWidth, H = zunk::kCornerHeight;
  return {std::max(-kEdgeFarX, 1 - m.left), std::min(kEdgeFarX, W - 1 - m.left - m.width),
          std::max(-kEdgeFarY, 1 - m.top), std::min(kEdgeFarY, H - 1 - m.top - m.height)};
}

// The search over the luma of the area searched: `Y` its pixel at the first placement's
// top-left, rows `stride` bytes apart, with a pixel more on every side.
EdgeEvidence Measure(const LogoEdgeModel& m, const Placements& pl, const uint8_t* Y, int32_t W) {
  EdgeEvidence e;
  const int32_t dx0 = pl.dx0, dx1 = pl.dx1, dy0 = pl.dy0, dy1 = pl.dy1;
  // Gradients over the area searched, as (gx, gy) pairs, with the rows' zero slack.
  const int32_t aw = m.width + dx1 - dx0, ah = m.height + dy1 - dy0;
  const int32_t pw = dx1 - dx0 + 1, ph = dy1 - dy0 + 1;
  if (pw <= 0 || ph <= 0)
    return e;
  const ptrdiff_t stride = aw + kEdgeScoreLanes;
  std::vector<int16_t> pairs(static_cast<size_t>(stride) * ah * 2, 0);
  for (int32_t j = 0; j < ah; ++j) {
    int16_t* out = pairs.data() + j * stride * 2;
    for (int32_t i = 0; i < aw; ++i) {
      const uint8_t* p = Y + j * W + i;
      out[2 * i] = static_cast<int16_t>((p[-W + 1] + 2 * p[1] + p[W + 1]) -
                                        (p[-W - 1] + 2 * p[-1] + p[W - 1]));
      out[2 * i + 1] = static_cast<int16_t>((p[W - 1] + 2 * p[W] + p[W + 1]) -
                                            (p[-W - 1] + 2 * p[-W] + p[-W + 1]));
    }
  }
  // Every placement's score (see EdgeScores; the model's points are few enough for 32 bits).
  std::vector<int32_t> sums(static_cast<size_t>(pw) * ph);
  EdgeScores(pairs.data(), stride, m.points.data(), m.points.size(), pw, ph, sums.data());
  int64_t nearBest = 0, farBest = 0;
  for (int32_t dy = dy0; dy <= dy1; ++dy) {
    for (int32_t dx = dx0; dx <= dx1; ++dx) {
      // Placements a pixel or two off the near ones still cover most of a logo that lies
      // at the edge of the near ones: they count for neither.
      const int64_t score = sums[static_cast<size_t>(dy - dy0) * pw + (dx - dx0)];
      if (std::abs(dx) <= kEdgeNearX && std::abs(dy) <= kEdgeNearY)
        nearBest = std::max(nearBest, score);
      else if (std::abs(dx) > kEdgeNearX + kEdgeGuard || std::abs(dy) > kEdgeNearY + kEdgeGuard)
        farBest = std::max(farBest, score);
    }
  }
  const int64_t n = static_cast<int64_t>(m.points.size()) * 64;
  e.nearBest = static_cast<int32_t>(nearBest / n);
  e.farBest = static_cast<int32_t>(farBest / n);
  return e;
}

}  // namespace

EdgeEvidence MeasureLogoEdges(const LogoEdgeModel& m, const zunk::LearnSample& sample) {
  if (m.corner < 0 || m.points.empty())
    return EdgeEvidence();
  const Placements pl = PlacementsOf(m);
  if (pl.dx1 < pl.dx0 || pl.dy1 < pl.dy0)
    return EdgeEvidence();
  return Measure(m, pl,
                 sample.Luma(m.corner) + (m.top + pl.dy0) * zunk::kCornerWidth + m.left + pl.dx0,
                 zunk::kCornerWidth);
}

EdgeArea LogoEdgeArea(const LogoEdgeModel& m) {
  if (m.corner < 0 || m.points.empty())
    return EdgeArea();
  const Placements pl = PlacementsOf(m);
  if (pl.dx1 < pl.dx0 || pl.dy1 < pl.dy0)
    return EdgeArea();
  return {m.left + pl.dx0 - 1, m.top + pl.dy0 - 1, m.width + pl.dx1 - pl.dx0 + 2,
          m.height + pl.dy1 - pl.dy0 + 2};
}

bool MeasureFrameLogoEdges(const LogoEdgeModel& m,
                           const zunk::FrameView& frame,
                           std::vector<uint8_t>* luma,
                           EdgeEvidence* evidence) {
  *evidence = EdgeEvidence();
  const EdgeArea a = LogoEdgeArea(m);
  if (a.w == 0)
    return false;
  luma->resize(static_cast<size_t>(a.w) * a.h);
  if (!zunk::MakeCornerLuma(frame, m.corner, a.x, a.y, a.w, a.h, luma->data(), a.w))
    return false;
  *evidence = Measure(m, PlacementsOf(m), luma->data() + a.w + 1, a.w);
  return true;
}

}  // namespace zunkhost
