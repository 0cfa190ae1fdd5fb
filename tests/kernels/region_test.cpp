// Clipping of region kernels and the blend weight.
#include <gtest/gtest.h>

#include <climits>

#include "kernels/region.h"

namespace zunk {
namespace {

// A 10 x 8 source into a 20 x 6 destination unless a case says otherwise.
Region Make(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t dx, int32_t dy) {
  return {x0, y0, x1, y1, 10, 8, dx, dy, 20, 6};
}

TEST(ClipRegion, EachStepCanEndWithNothingToDo) {
  struct Case {
    const char* what;
    Region r;
  } cases[] = {
      {"origin right of the source", Make(10, 0, 12, 2, 0, 0)},
      {"origin below the source", Make(0, 8, 2, 9, 0, 0)},
      {"end left of the source", Make(-5, 0, 0, 2, 0, 0)},
      {"end above the source", Make(0, -5, 2, 0, 0, 0)},
      {"destination right of the image", Make(0, 0, 2, 2, 20, 0)},
      {"destination below the image", Make(0, 0, 2, 2, 0, 6)},
      {"x1 <= x0", Make(4, 0, 4, 2, 0, 0)},
      {"y1 <= y0", Make(0, 5, 2, 3, 0, 0)},
      {"negative dstX cuts every column", Make(0, 0, 3, 2, -3, 0)},
      {"negative dstY cuts every row", Make(0, 0, 3, 2, 0, -2)},
      {"negative x0 pushes dstX out", Make(-20, 0, 3, 2, 0, 0)},
      {"empty source", {0, 0, 2, 2, 0, 8, 0, 0, 20, 6}},
      {"negative destination width", {0, 0, 2, 2, 10, 8, -3, 0, -2, 6}},
      {"far-out coordinates", Make(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0)},
  };
  for (Case& c : cases)
    EXPECT_FALSE(ClipRegion(&c.r)) << c.what;
}

TEST(ClipRegion, ShiftsAndCuts) {
  Region r = Make(-2, -1, 4, 3, 5, 1);  // negative origin moves the destination
  ASSERT_TRUE(ClipRegion(&r));
  EXPECT_EQ(r.srcX0, 0);
  EXPECT_EQ(r.srcY0, 0);
  EXPECT_EQ(r.dstX, 7);
  EXPECT_EQ(r.dstY, 2);
  EXPECT_EQ(r.srcX1, 4);
  EXPECT_EQ(r.srcY1, 3);

  r = Make(1, 2, 9, 6, -3, -1);  // negative destination cuts the rectangle's start
  ASSERT_TRUE(ClipRegion(&r));
  EXPECT_EQ(r.srcX0, 4);
  EXPECT_EQ(r.srcY0, 3);
  EXPECT_EQ(r.dstX, 0);
  EXPECT_EQ(r.dstY, 0);

  r = Make(0, 0, 50, 50, 0, 0);  // an end beyond the source is the source's edge
  ASSERT_TRUE(ClipRegion(&r));
  EXPECT_EQ(r.srcX1, 10);
  EXPECT_EQ(r.srcY1, 6);  // and then the destination's bottom edge
}

TEST(ClipRegion, TouchingTheDestinationEdgeCutsNothing) {
  Region r = Make(0, 0, 10, 4, 10, 2);  // 10 + 10 - 20 = 0 and 2 + 4 - 6 = 0
  ASSERT_TRUE(ClipRegion(&r));
  EXPECT_EQ(r.srcX1, 10);
  EXPECT_EQ(r.srcY1, 4);
  r = Make(0, 0, 10, 4, 11, 3);  // one past: one column and one row cut
  ASSERT_TRUE(ClipRegion(&r));
  EXPECT_EQ(r.srcX1, 9);
  EXPECT_EQ(r.srcY1, 3);
}

TEST(BlendWeight, LevelsAndClamping) {
  EXPECT_EQ(BlendWeight(100), 256);
  EXPECT_EQ(BlendWeight(50), 128);
  EXPECT_EQ(BlendWeight(33), 84);
  EXPECT_EQ(BlendWeight(1), 2);
  EXPECT_EQ(BlendWeight(0), 0);
  EXPECT_EQ(BlendWeight(250), 256);
  EXPECT_EQ(BlendWeight(-7), 0);
  EXPECT_FALSE(MakeBlendCall(50, 0, 2).keyOn);
  EXPECT_TRUE(MakeBlendCall(50, 0, 3).keyOn);
}

TEST(KeyForms, PixelOrder) {
  const WorkPixel k = KeyWorkPixel(0x00332211);  // red 0x11, green 0x22, blue 0x33
  EXPECT_EQ(k.b, 0x33);
  EXPECT_EQ(k.g, 0x22);
  EXPECT_EQ(k.r, 0x11);
  EXPECT_EQ(k.x, 0);
  EXPECT_EQ(KeyBgrx(0x00332211), 0x00112233u);
}

}  // namespace
}  // namespace zunk
