// The level bars and the template preview on static controls of the test's own: the
// lines a bar paints for a threshold against a value, row by row from the bottom, and
// the template fitted into the preview with its aspect kept on the dark blue background.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "dialog/settings_dialog.h"
#include "shown_pixels.h"

namespace zunk {
namespace {

using zunktest::ShownPixels;

// A picture static of w x h client pixels, as the dialog's bars and preview are.
HWND PictureStatic(int w, int h) {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | SS_BITMAP | SS_CENTERIMAGE, 0, 0, w, h,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

const LevelBarColours kOn = {RGB(0, 0xFF, 0), RGB(0, 0x80, 0), RGB(0xFF, 0, 0), RGB(0x80, 0, 0)};
const COLORREF kBrightGreen = RGB(0, 0xFF, 0);
const COLORREF kDarkGreen = RGB(0, 0x80, 0);
const COLORREF kBrightRed = RGB(0xFF, 0, 0);
const COLORREF kDarkRed = RGB(0x80, 0, 0);

// Expects the bar's lines: the row i from the bottom, for even i, in expected(i) up to
// its last pixel, which stays black; odd rows black.
template <typename Expected>
void ExpectBar(const std::vector<COLORREF>& px, int w, int h, Expected expected) {
  ASSERT_EQ(px.size(), static_cast<size_t>(w * h));
  for (int i = 0; i < h; ++i) {
    const int row = h - 1 - i;
    const COLORREF line = i % 2 == 0 ? expected(i) : 0;
    for (int x = 0; x < w; ++x) {
      const COLORREF want = x == w - 1 ? 0 : line;
      ASSERT_EQ(px[row * w + x], want) << "row " << i << " from the bottom, x " << x;
    }
  }
}

TEST(LevelBar, LinesByThresholdAndValue) {
  const int w = 12, h = 50;
  HWND picture = PictureStatic(w, h);
  ASSERT_NE(picture, nullptr);
  LevelIndicator* bar = CreateLevelIndicator(picture);
  ASSERT_NE(bar, nullptr);

  struct {
    int threshold, value;
    COLORREF (*expected)(int i);  // i: row from the bottom; 80 % of 50 rows is 40, 50 % is 25
  } cases[] = {
      {80, 0, [](int i) { return i < 40 ? kDarkGreen : kDarkRed; }},
      {80, 100, [](int i) { return i < 40 ? kBrightGreen : kBrightRed; }},
      {80, 50, [](int i) { return i < 25   ? kBrightGreen
                                  : i < 40 ? kDarkGreen
                                           : kDarkRed; }},
      {0, 50, [](int i) { return i < 25 ? kBrightRed : kDarkRed; }},
      {100, 50, [](int i) { return i < 25 ? kBrightGreen : kDarkGreen; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << ", value " << c.value);
    DrawLevelBar(bar, kOn, c.threshold, c.value);
    ShowLevelBar(bar);
    ExpectBar(ShownPixels(picture, w, h), w, h, c.expected);
  }

  DestroyLevelIndicator(bar);
  EXPECT_EQ(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  DestroyWindow(picture);
}

TEST(LevelBar, DegenerateStaticsDrawNothingAndDoNotFail) {
  EXPECT_EQ(CreateLevelIndicator(nullptr), nullptr);
  HWND empty = PictureStatic(0, 0);
  ASSERT_NE(empty, nullptr);
  LevelIndicator* bar = CreateLevelIndicator(empty);
  DrawLevelBar(bar, kOn, 80, 50);
  ShowLevelBar(bar);
  DestroyLevelIndicator(bar);
  DrawLevelBar(nullptr, kOn, 80, 50);
  ShowLevelBar(nullptr);
  DestroyWindow(empty);
}

const COLORREF kBackground = 0x400000;
const COLORREF kLogo = RGB(200, 30, 30);

// The preview's pixels after painting a uniform template of tw x th.
std::vector<COLORREF> PaintedPreview(int w, int h, int tw, int th) {
  HWND picture = PictureStatic(w, h);
  LogoPreview* preview = CreateLogoPreview(picture);
  std::vector<uint32_t> logo(static_cast<size_t>(tw * th), 0x00C81E1E);  // B,G,R,X of kLogo
  PaintPreviewTemplate(preview, logo.data(), tw, th);
  ShowLogoPreview(preview);
  std::vector<COLORREF> px = ShownPixels(picture, w, h);
  DestroyLogoPreview(preview);
  DestroyWindow(picture);
  return px;
}

// How many rows from the top, and columns from the left, are pure background.
int BandRows(const std::vector<COLORREF>& px, int w, int h, bool fromBottom) {
  int n = 0;
  for (; n < h; ++n) {
    const int row = fromBottom ? h - 1 - n : n;
    for (int x = 0; x < w; ++x)
      if (px[row * w + x] != kBackground)
        return n;
  }
  return n;
}

TEST(LogoPreview, TemplateFittedWithItsAspectBetweenEqualBands) {
  // Twice as wide as the preview's aspect: the full width, equal bands above and below.
  const int w = 80, h = 40;
  std::vector<COLORREF> px = PaintedPreview(w, h, 40, 10);
  ASSERT_EQ(px.size(), static_cast<size_t>(w * h));
  EXPECT_EQ(BandRows(px, w, h, false), 10);
  EXPECT_EQ(BandRows(px, w, h, true), 10);
  for (int y = 10; y < 30; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(px[y * w + x], kLogo) << x << "," << y;

  // Twice as tall: the full height, equal bands left and right.
  px = PaintedPreview(w, h, 10, 10);
  ASSERT_EQ(px.size(), static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(px[y * w + x], x >= 20 && x < 60 ? kLogo : kBackground) << x << "," << y;

  // The preview's own aspect fills it completely.
  px = PaintedPreview(w, h, 20, 10);
  ASSERT_EQ(px.size(), static_cast<size_t>(w * h));
  for (COLORREF c : px)
    ASSERT_EQ(c, kLogo);
}

TEST(LogoPreview, EmptyAndBrokenTemplatesShowTheBackground) {
  const int w = 30, h = 20;
  HWND picture = PictureStatic(w, h);
  LogoPreview* preview = CreateLogoPreview(picture);
  ASSERT_NE(preview, nullptr);
  std::vector<uint32_t> logo(4, 0x00C81E1E);
  PaintPreviewTemplate(preview, logo.data(), 2, 2);
  PaintPreviewEmpty(preview);
  std::vector<COLORREF> px = ShownPixels(picture, w, h);
  ASSERT_EQ(px.size(), static_cast<size_t>(w * h));
  for (COLORREF c : px)
    ASSERT_EQ(c, kBackground);
  // A picture without pixels or without a size paints the background, never reads it.
  PaintPreviewTemplate(preview, logo.data(), 2, 2);
  PaintPreviewTemplate(preview, nullptr, 2, 2);
  PaintPreviewTemplate(preview, logo.data(), 0, 2);
  px = ShownPixels(picture, w, h);
  for (COLORREF c : px)
    ASSERT_EQ(c, kBackground);
  DestroyLogoPreview(preview);
  DestroyWindow(picture);
}

}  // namespace
}  // namespace zunk
