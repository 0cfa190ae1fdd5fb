// RowsTheRunReads: the plug-in matches the template only along its rows (the search is
// sideways), and the edge search samples one corner area; both are measured in reference
// rows and scaled to the frame by rounding, so a margin covers any rounding either way.
#include "run/packed_rows.h"

#include <algorithm>

#include "base/mul_div.h"
#include "base/reference_frame.h"
#include "learn/learn_sample.h"

namespace zunkhost {
namespace {

constexpr int32_t kMarginRows = 4;

}  // namespace

RowBand RowsTheRunReads(const LogoEdgeModel& edges, int32_t logoY, int32_t height) {
  RowBand whole = {0, height};
  if (edges.corner < 0 || edges.height <= 0 || edges.height > zunk::kReferenceHeight ||
      height <= 0)
    return whole;
  // The template's rows: its place kept inside the reference frame, then scaled, then kept
  // inside the frame.
  const int32_t y = std::clamp(logoY, 0, zunk::kReferenceHeight - edges.height);
  const int32_t th = zunk::MulDiv(edges.height, height, zunk::kReferenceHeight);
  int32_t first = zunk::MulDiv(y, height, zunk::kReferenceHeight);
  if (th < 0 || first < 0)
    return whole;
  first = std::min(first, height - th);
  int32_t last = first + th;
  // The corner area of the edge search (top-down rows: the format's order is not asked).
  int32_t corners[2][2];
  zunk::CornerRows(height, 0, corners);
  const int32_t side = (edges.corner & 2) ? 1 : 0;
  first = std::min(first, corners[side][0]);
  last = std::max(last, corners[side][1]);
  return {std::max(first - kMarginRows, 0), std::min(last + kMarginRows, height)};
}

}  // namespace zunkhost
