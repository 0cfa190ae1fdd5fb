// Which rows of each frame a run needs packed when it writes no processed video and
// compares no frames: only the rows the plug-in's logo search and the logo edges read.
#pragma once

#include <cstdint>

#include "spans/logo_edges.h"

namespace zunkhost {

// Picture rows [first, last), counted from the top.
struct RowBand {
  int32_t first = 0;
  int32_t last = 0;
};

// The rows of a frame `height` rows high that the plug-in reads to match the template of
// `edges` placed at logoY reference rows (its rows at its place, scaled and kept inside
// the frame as the plug-in does), together with the rows of the corner area the edge
// search reads, with a margin of a few rows. The whole frame where the edge model has no
// template (its size is then not known here).
RowBand RowsTheRunReads(const LogoEdgeModel& edges, int32_t logoY, int32_t height);

}  // namespace zunkhost
