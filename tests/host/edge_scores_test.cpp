// The edge search's placement sums: known values of the reference, then the SSE2 and AVX2
// forms against it bit for bit over random and extreme gradients, normals and block sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "kernels/kernels.h"
#include "spans/edge_scores.h"

namespace zunkhost {
namespace {

TEST(EdgeScoresTest, ReferenceSumsTheAbsoluteGradientAcrossEachPoint) {
  // Two rows of three pairs (and the slack): one point with a horizontal normal, one
  // with a diagonal one, over a 2 x 1 block of placements.
  const ptrdiff_t stride = 3 + kEdgeScoreLanes;
  std::vector<int16_t> pairs(stride * 2 * 2, 0);
  auto at = [&](int32_t x, int32_t y) { return pairs.data() + (y * stride + x) * 2; };
  at(0, 0)[0] = 10, at(0, 0)[1] = -3;
  at(1, 0)[0] = -20, at(1, 0)[1] = 5;
  at(1, 1)[0] = 7, at(1, 1)[1] = 9;
  at(2, 1)[0] = -1020, at(2, 1)[1] = -1020;
  const EdgePoint points[] = {{0, 0, 64, 0}, {1, 1, 45, -45}};
  int32_t sums[2] = {-1, -1};
  EdgeScoresRef(pairs.data(), stride, points, 2, 2, 1, sums);
  EXPECT_EQ(sums[0], 10 * 64 + std::abs(7 * 45 - 9 * 45));
  EXPECT_EQ(sums[1], 20 * 64 + 0);
  EdgeScoresRef(pairs.data(), stride, points, 0, 2, 1, sums);
  EXPECT_EQ(sums[0], 0);
  EXPECT_EQ(sums[1], 0);
}

#if defined(__SSE2__)
using EdgeScoresFn = void (*)(const int16_t*, ptrdiff_t, const EdgePoint*, size_t, int32_t,
                              int32_t, int32_t*);

// The fast forms this build has on this processor.
std::vector<std::pair<const char*, EdgeScoresFn>> FastForms() {
  std::vector<std::pair<const char*, EdgeScoresFn>> forms = {{"sse2", EdgeScoresSse2}};
#if defined(ZUNK_EDGE_SCORES_AVX2)
  if (zunk::CpuFeatures() & zunk::kCpuAvx2)
    forms.push_back({"avx2", EdgeScoresAvx2});
#endif
  return forms;
}

TEST(EdgeScoresTest, FastFormsGiveTheReferenceSums) {
  std::mt19937 rng(26);
  auto uniform = [&rng](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  };
  const int32_t widths[] = {1, 3, 4, 5, 15, 28, 29, 31, 32};
  const int32_t heights[] = {1, 2, 17};
  const size_t counts[] = {0, 1, 7, 1600};
  for (int32_t pw : widths) {
    for (int32_t ph : heights) {
      for (size_t count : counts) {
        for (int32_t fill = 0; fill < 3; ++fill) {
          SCOPED_TRACE(::testing::Message() << "block " << pw << "x" << ph << ", " << count
                                            << " points, fill " << fill);
          // A template area of up to 80 x 40 pixels, the block's placements around it.
          const int32_t tw = uniform(1, 80), th = uniform(1, 40);
          const int32_t aw = tw + pw - 1, ah = th + ph - 1;
          const ptrdiff_t stride = aw + kEdgeScoreLanes + uniform(0, 3);
          std::vector<int16_t> pairs(static_cast<size_t>(stride) * ah * 2, 0);
          for (int32_t j = 0; j < ah; ++j) {
            for (int32_t i = 0; i < 2 * aw; ++i) {
              // Random, the extremes of a Sobel gradient, or the extremes alternating in sign.
              const int16_t v = static_cast<int16_t>(
                  fill == 0 ? uniform(-1020, 1020) : fill == 1 ? 1020 : ((i + j) % 2 ? 1020 : -1020));
              pairs[(j * stride) * 2 + i] = v;
            }
          }
          std::vector<EdgePoint> points(count);
          for (EdgePoint& p : points) {
            p.x = static_cast<int16_t>(uniform(0, tw - 1));
            p.y = static_cast<int16_t>(uniform(0, th - 1));
            p.nx = static_cast<int16_t>(fill == 0 ? uniform(-64, 64) : 64);
            p.ny = static_cast<int16_t>(fill == 0 ? uniform(-64, 64) : (fill == 1 ? 64 : -64));
          }
          const std::vector<int16_t> given = pairs;
          std::vector<int32_t> want(pw * ph);
          EdgeScoresRef(pairs.data(), stride, points.data(), count, pw, ph, want.data());
          for (const auto& form : FastForms()) {
            SCOPED_TRACE(form.first);
            std::vector<int32_t> got(pw * ph + 8, 0x5A5A5A5A);
            form.second(pairs.data(), stride, points.data(), count, pw, ph, got.data());
            for (int32_t k = 0; k < pw * ph; ++k)
              ASSERT_EQ(got[k], want[k]) << "placement " << k % pw << "," << k / pw;
            for (size_t k = pw * ph; k < got.size(); ++k)
              ASSERT_EQ(got[k], 0x5A5A5A5A) << "written beyond the block";
            ASSERT_TRUE(pairs == given) << "the gradients were changed";
          }
        }
      }
    }
  }
}
#endif

}  // namespace
}  // namespace zunkhost
