// The region walks that every variant shares: which columns they hand to a variant's row
// function, and what they compute themselves at the edges of packed 4:2:2 rows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kernels/kernels.h"

namespace zunk {
namespace {

struct GroupCall {
  ptrdiff_t offset;  // bytes from the frame's start
  int32_t count;
};
std::vector<GroupCall> calls;
const uint8_t* callFrame = nullptr;

// Marks every pixel it is asked for with X = -1 - (group index) so the walk's own edge
// pixels stand apart.
void RecordYuy2Groups(const uint8_t* groups, int32_t count, WorkPixel* out) {
  calls.push_back({groups - callFrame, count});
  for (int32_t i = 0; i < 2 * count; ++i)
    out[i] = {0, 0, 0, static_cast<int16_t>(-1 - i / 2)};
}

void RecordRgb24Pixels(const uint8_t* pixels, int32_t count, WorkPixel* out) {
  calls.push_back({pixels - callFrame, count});
  for (int32_t i = 0; i < count; ++i)
    out[i] = {0, 0, 0, -1};
}

TEST(ConvertDrivers, Yuy2WalkHandsWholeGroupsToTheVariant) {
  for (int32_t frameW : {7, 8}) {
    std::vector<uint8_t> frame(frameW * 2 * 2);
    for (size_t i = 0; i < frame.size(); ++i)
      frame[i] = static_cast<uint8_t>(16 + 7 * i);
    callFrame = frame.data();
    for (int32_t x0 = 0; x0 < frameW; ++x0) {
      for (int32_t x1 = x0 + 1; x1 <= frameW; ++x1) {
        calls.clear();
        std::vector<WorkPixel> work(8, WorkPixel{9, 9, 9, 9});
        CopyRegionFromYuy2With(RecordYuy2Groups, frame.data(), x0, 1, x1, 2, frameW, 2, work.data(),
                               0, 0, 8, 1);
        const int32_t end = x1 < (frameW & ~1) ? x1 : (frameW & ~1);  // whole groups only
        const uint8_t* row = frame.data() + frameW * 2;
        int32_t groupStart = (x0 + 1) & ~1;
        const int32_t pairs = end > groupStart ? (end - groupStart) / 2 : 0;
        SCOPED_TRACE(testing::Message() << "w " << frameW << " x " << x0 << ".." << x1);
        if (pairs > 0) {
          ASSERT_EQ(calls.size(), 1u);
          EXPECT_EQ(calls[0].offset, frameW * 2 + groupStart * 2);
          EXPECT_EQ(calls[0].count, pairs);
        } else {
          EXPECT_TRUE(calls.empty());
        }
        for (int32_t x = x0; x < 8; ++x) {
          const WorkPixel& p = work[x - x0];
          if (x >= end) {
            EXPECT_EQ(p.x, 9) << x;  // outside the picture: untouched
          } else if (x >= groupStart && x < groupStart + 2 * pairs) {
            EXPECT_EQ(p.x, -1 - (x - groupStart) / 2) << x;
          } else {
            const uint8_t* g = row + (x & ~1) * 2;
            const WorkPixel want = YuvToWork(g[(x & 1) * 2], g[1], g[3]);
            EXPECT_EQ(std::memcmp(&p, &want, sizeof p), 0) << x;
          }
        }
      }
    }
  }
}

TEST(ConvertDrivers, Rgb24WalkReadsRowsBottomUp) {
  std::vector<uint8_t> frame(5 * 4 * 3);
  callFrame = frame.data();
  calls.clear();
  std::vector<WorkPixel> work(3 * 2);
  CopyRegionFromRgb24With(RecordRgb24Pixels, frame.data(), 1, 0, 4, 2, 5, 4, work.data(), 0, 0, 3,
                          2);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].offset, (3 * 5 + 1) * 3);  // picture row 0 is the last in memory
  EXPECT_EQ(calls[1].offset, (2 * 5 + 1) * 3);
  EXPECT_EQ(calls[0].count, 3);
}

std::vector<GroupCall> blendCalls;
uint8_t* blendFrame = nullptr;

void RecordWorkGroups(const WorkPixel*, uint8_t* groups, int32_t count, const BlendCall&) {
  blendCalls.push_back({groups - blendFrame, count});
}

TEST(BlendDrivers, Yuy2EdgesAreHalfGroupsOfTheReference) {
  // Black frame, white source: a half group takes the white luma at its side and the
  // average of the frame's and the source's chroma.
  std::vector<uint8_t> frame(8 * 2);
  for (size_t i = 0; i < frame.size(); i += 2) {
    frame[i] = 16;
    frame[i + 1] = 128;
  }
  blendFrame = frame.data();
  const std::vector<WorkPixel> white(6, WorkPixel{255, 255, 255, 0});
  BlendWorkToYuy2With(RecordWorkGroups, white.data(), 0, 0, 6, 1, 6, 1, frame.data(), 1, 0, 8, 1,
                      100, 0, 0);
  ASSERT_EQ(blendCalls.size(), 1u);
  EXPECT_EQ(blendCalls[0].offset, 2 * 2);  // the groups at columns 2..5
  EXPECT_EQ(blendCalls[0].count, 2);
  const std::vector<uint8_t> first(frame.begin(), frame.begin() + 4);
  const std::vector<uint8_t> last(frame.begin() + 12, frame.end());
  EXPECT_EQ(first, (std::vector<uint8_t>{16, 128, 255, 128}));  // right half of group 0
  EXPECT_EQ(last, (std::vector<uint8_t>{255, 128, 16, 128}));   // left half of group 3

  // Level 50: a weight of 128 moves the luma half way, floored.
  frame.assign(4, 16);
  frame[1] = frame[3] = 128;
  blendCalls.clear();
  BlendWorkToYuy2With(RecordWorkGroups, white.data(), 0, 0, 1, 1, 6, 1, frame.data(), 1, 0, 2, 1,
                      50, 0, 0);
  EXPECT_TRUE(blendCalls.empty());
  EXPECT_EQ(frame, (std::vector<uint8_t>{16, 128, 135, 128}));
}

int rowsCalls = 0, columnsCalls = 0;
void Rows(const uint8_t*, int32_t, int32_t, WorkPixel*, int32_t, const ResampleStep*, uint32_t) {
  ++rowsCalls;
}
void Columns(const WorkPixel*, WorkPixel*, int32_t, int32_t, const ResampleStep*, uint32_t) {
  ++columnsCalls;
}

TEST(ResampleDrivers, UnscaledAxesAreCopiesAndEmptySizesDoNothing) {
  const std::vector<uint8_t> src = {1, 2, 3, 200, 4, 5, 6, 201};  // 2 x 1, X bytes dropped
  std::vector<WorkPixel> dst(2), tmp(3);
  std::vector<ResampleStep> cs(4), rs(4);
  ResampleBgrxToWorkWith(Rows, Columns, src.data(), 2, 1, dst.data(), 2, 1, tmp.data(), cs.data(),
                         rs.data(), 0);
  EXPECT_EQ(rowsCalls + columnsCalls, 0);
  EXPECT_EQ(dst[1].b, 4);
  EXPECT_EQ(dst[1].r, 6);
  EXPECT_EQ(dst[1].x, 0);

  std::vector<WorkPixel> tall(2 * 3);
  ResampleBgrxToWorkWith(Rows, Columns, src.data(), 2, 1, tall.data(), 2, 3, tmp.data(), cs.data(),
                         rs.data(), 0);
  EXPECT_EQ(rowsCalls, 0);
  EXPECT_EQ(columnsCalls, 1);
  ResampleBgrxToWorkWith(Rows, Columns, src.data(), 2, 1, tall.data(), 3, 1, tmp.data(), cs.data(),
                         rs.data(), 0);
  EXPECT_EQ(rowsCalls, 1);
  EXPECT_EQ(columnsCalls, 1);
  for (int32_t empty : {0, -1}) {
    ResampleBgrxToWorkWith(Rows, Columns, src.data(), empty, 1, dst.data(), 2, 1, tmp.data(),
                           cs.data(), rs.data(), 0);
    ResampleBgrxToWorkWith(Rows, Columns, src.data(), 2, 1, dst.data(), 2, empty, tmp.data(),
                           cs.data(), rs.data(), 0);
  }
  EXPECT_EQ(rowsCalls + columnsCalls, 2);
}

}  // namespace
}  // namespace zunk
