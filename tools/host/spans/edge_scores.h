// The edge search's inner sums: every placement's score, the frame's gradient across each of
// the template's edge points summed over the points. A scalar reference, which defines the
// sums, and SSE2 and AVX2 forms that give the same sums four or eight placements to an
// instruction.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zunkhost {

// One template edge point: its pixel and its edge normal (length 64).
struct EdgePoint {
  int16_t x, y;
  int16_t nx, ny;
};

// Placements in a row that the SSE2 form scores at once; the gradient rows carry this many
// pairs of zeros beyond the last column a placement reads.
constexpr int32_t kEdgeScoreLanes = 32;

// sums[r * pw + c] for c < pw, r < ph: the sum over the points p of
// |gx * p.nx + gy * p.ny|, the gradient pair (gx, gy) taken at column p.x + c of row p.y + r
// of `pairs` (rows `stride` pairs long, each pair gx then gy). Gradients are within
// -1020..1020 and there are at most 16384 points, so every sum fits 32 bits.
void EdgeScoresRef(const int16_t* pairs,
                   ptrdiff_t stride,
                   const EdgePoint* points,
                   size_t count,
                   int32_t pw,
                   int32_t ph,
                   int32_t* sums);

#if defined(__SSE2__)
// The same for pw <= kEdgeScoreLanes; reads kEdgeScoreLanes pairs from each point's column.
void EdgeScoresSse2(const int16_t* pairs,
                    ptrdiff_t stride,
                    const EdgePoint* points,
                    size_t count,
                    int32_t pw,
                    int32_t ph,
                    int32_t* sums);
#endif

#if defined(ZUNK_EDGE_SCORES_AVX2)
// The same in AVX2, for processors that have it (zunk::kCpuAvx2).
void EdgeScoresAvx2(const int16_t* pairs,
                    ptrdiff_t stride,
                    const EdgePoint* points,
                    size_t count,
                    int32_t pw,
                    int32_t ph,
                    int32_t* sums);
#endif

// The fastest form this build has on this processor, for pw <= kEdgeScoreLanes.
void EdgeScores(const int16_t* pairs,
                ptrdiff_t stride,
                const EdgePoint* points,
                size_t count,
                int32_t pw,
                int32_t ph,
                int32_t* sums);

}  // namespace zunkhost
