// Colour blend kernels: the same bytes as the BGRX blend of a layer of one colour with
// keying off, and every SIMD variant equal to the reference, with guard bytes around the
// frame and rectangles that reach past every edge.
#include <gtest/gtest.h>

#include <vector>

#include "kernel_test_util.h"
#include "kernels/kernels.h"

namespace zunk::test {
namespace {

constexpr size_t kGuard = 64;

// The frame with guard bytes before and after it.
struct GuardedFrame {
  GuardedFrame(Rng& rng, int32_t w, int32_t h, int32_t format)
      : bytes(RandomBytes(rng, static_cast<size_t>(w) * h * (format == 1 ? 3 : 2) + 2 * kGuard)) {}
  uint8_t* Frame() { return bytes.data() + kGuard; }
  std::vector<uint8_t> bytes;
};

struct Case {
  int32_t w, h, format, x0, y0, x1, y1, level;
  uint32_t colour;
};

Case RandomCase(Rng& rng) {
  Case c;
  c.w = rng.Size(130);
  c.h = rng.Size(40);
  c.format = rng.Int(0, 1);
  c.x0 = rng.Int(-5, c.w + 2);
  c.x1 = rng.Int(c.x0 - 2, c.w + 5);
  c.y0 = rng.Int(-3, c.h + 1);
  c.y1 = rng.Int(c.y0 - 1, c.h + 3);
  c.level = rng.Percent(10) ? rng.Int(-20, 140) : rng.Int(0, 100);
  c.colour =
      static_cast<uint32_t>(rng.Int(0, 0x7FFFFFFF)) * 2u + static_cast<uint32_t>(rng.Int(0, 1));
  return c;
}

// In a packed 4:2:2 frame the kernel blends the groups wholly inside the rectangle; the BGRX
// blend of a one-colour layer over exactly those columns gives the expected bytes.
TEST(ColourBlendTest, EqualsTheBgrxBlendOfALayerOfOneColour) {
  Rng rng(41);
  for (int n = 0; n < 400; ++n) {
    const Case c = RandomCase(rng);
    SCOPED_TRACE(::testing::Message()
                 << "case " << n << ": " << c.w << "x" << c.h << " format " << c.format << " rect "
                 << c.x0 << "," << c.y0 << ".." << c.x1 << "," << c.y1 << " level " << c.level);
    const uint32_t bgrx = KeyBgrx(c.colour);
    std::vector<uint32_t> layer(static_cast<size_t>(c.w) * c.h, bgrx | 0x5A000000u);
    GuardedFrame a(rng, c.w, c.h, c.format);
    GuardedFrame b = a;
    int32_t x0 = std::max(c.x0, 0), x1 = std::min(c.x1, c.w);
    if (c.format == 0) {
      x0 = (x0 + 1) & ~1;
      x1 &= ~1;
    }
    if (x1 > x0) {
      const int32_t y0 = std::max(c.y0, 0);
      auto blend = c.format == 0 ? ref::BlendBgrxToYuy2 : ref::BlendBgrxToRgb24;
      blend(reinterpret_cast<const uint8_t*>(layer.data()), x0, y0, x1, c.y1, c.w, c.h, a.Frame(),
            x0, y0, c.w, c.h, c.level, 0, 0);
    }
    auto colour = c.format == 0 ? ref::BlendColourToYuy2 : ref::BlendColourToRgb24;
    colour(c.colour, c.x0, c.y0, c.x1, c.y1, b.Frame(), c.w, c.h, c.level);
    ASSERT_EQ(b.bytes, a.bytes);
  }
}

class ColourBlendSimdTest : public ::testing::TestWithParam<Variant> {};

TEST_P(ColourBlendSimdTest, EqualsTheReference) {
  const KernelTable simd = KernelsFor(GetParam().mask);
  const KernelTable reference = KernelsFor(0);
  Rng rng(43);
  for (int n = 0; n < 600; ++n) {
    Case c = RandomCase(rng);
    if (n % 4 == 0) {  // whole rows, long enough for the vector loop
      c.w = rng.Int(40, 200);
      c.x0 = rng.Int(-2, 3);
      c.x1 = c.w - rng.Int(-2, 3);
      c.y0 = 0;
      c.y1 = c.h;
    }
    SCOPED_TRACE(::testing::Message() << "case " << n << ": " << c.w << "x" << c.h << " format "
                                      << c.format << " rect " << c.x0 << ".." << c.x1);
    GuardedFrame a(rng, c.w, c.h, c.format);
    GuardedFrame b = a;
    auto pick = [&](const KernelTable& t) {
      return c.format == 0 ? t.BlendColourToYuy2 : t.BlendColourToRgb24;
    };
    pick(reference)(c.colour, c.x0, c.y0, c.x1, c.y1, a.Frame(), c.w, c.h, c.level);
    pick(simd)(c.colour, c.x0, c.y0, c.x1, c.y1, b.Frame(), c.w, c.h, c.level);
    ASSERT_EQ(b.bytes, a.bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         ColourBlendSimdTest,
                         ::testing::ValuesIn(SimdVariants()),
                         VariantName);

TEST(ColourBlendTest, WorkedBytes) {
  // Format 1, level 50 (weight 128): each byte halfway, floored.
  std::vector<uint8_t> f = {10, 20, 30, 200, 100, 0};
  ref::BlendColourToRgb24(0x0000FF /* red */, 0, 0, 2, 1, f.data(), 2, 1, 50);
  EXPECT_EQ(f, (std::vector<uint8_t>{5, 10, 142, 100, 50, 127}));
  // Format 0, level 100: grey 128 gives Y 128 and neutral chroma.
  std::vector<uint8_t> g = {1, 2, 3, 4};
  ref::BlendColourToYuy2(0x808080, 0, 0, 2, 1, g.data(), 2, 1, 100);
  EXPECT_EQ(g, (std::vector<uint8_t>{128, 128, 128, 128}));
  // An odd rectangle edge leaves the half group alone; level 0 leaves everything.
  std::vector<uint8_t> h = {1, 2, 3, 4, 5, 6, 7, 8};
  ref::BlendColourToYuy2(0x808080, 1, 0, 4, 1, h.data(), 4, 1, 100);
  EXPECT_EQ(h, (std::vector<uint8_t>{1, 2, 3, 4, 128, 128, 128, 128}));
  ref::BlendColourToYuy2(0x808080, 0, 0, 4, 1, h.data(), 4, 1, 0);
  EXPECT_EQ(h, (std::vector<uint8_t>{1, 2, 3, 4, 128, 128, 128, 128}));
}

}  // namespace
}  // namespace zunk::test
