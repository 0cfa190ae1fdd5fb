// The message surface as GDI sees it: a 32-bit top-down DIB section of the frame's size,
// the bold "Arial" message font and the 768 x 576 anisotropic mapping; and the
// context's own objects back in place once the stream ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/services.h"

namespace zunk {
namespace {

TEST(MessageSurface, StreamObjectsAndMapping) {
  Surface* s = win32::SurfaceCreate();
  ASSERT_NE(s, nullptr);
  HDC dc = win32::SurfaceDc(s);
  HGDIOBJ firstBitmap = GetCurrentObject(dc, OBJ_BITMAP);
  HGDIOBJ firstFont = GetCurrentObject(dc, OBJ_FONT);

  for (int width : {720, 1920}) {
    const int height = width == 720 ? 576 : 1080;
    uint32_t* pixels = win32::SurfaceBegin(s, width, height);
    ASSERT_NE(pixels, nullptr);

    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof dib, &dib),
              static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBmih.biWidth, width);
    EXPECT_EQ(dib.dsBmih.biHeight < 0 ? -dib.dsBmih.biHeight : dib.dsBmih.biHeight, height);
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
    EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(dib.dsBm.bmBits, pixels);

    LOGFONTA font = {};
    ASSERT_GT(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, -75);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);

    EXPECT_EQ(GetMapMode(dc), MM_ANISOTROPIC);
    SIZE window = {}, viewport = {};
    GetWindowExtEx(dc, &window);
    GetViewportExtEx(dc, &viewport);
    EXPECT_EQ(window.cx, 768);
    EXPECT_EQ(window.cy, 576);
    EXPECT_EQ(viewport.cx, width);
    EXPECT_EQ(viewport.cy, height);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

    // Reference-space rectangles land scaled on the layer, and the layer is top-down:
    // the top-left corner is the first pixel in memory.
    RECT centre = {384, 288, 385, 289};
    RECT corner = {0, 0, 1, 1};
    FillRect(dc, &centre, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    GdiFlush();
    const size_t middle = static_cast<size_t>(height / 2) * width + width / 2;
    const size_t bottomLeft = static_cast<size_t>(height - 1) * width;
    EXPECT_EQ(pixels[middle] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(pixels[bottomLeft] & 0xFFFFFF, 0u);

    win32::SurfaceEnd(s);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), firstBitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), firstFont);
  }
  win32::SurfaceDestroy(s);
}

TEST(MessageSurface, ImpossibleSizesGiveNoLayer) {
  Surface* s = win32::SurfaceCreate();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(win32::SurfaceBegin(s, 0, 576), nullptr);
  EXPECT_EQ(win32::SurfaceBegin(s, 100000, 100000), nullptr);
  win32::SurfaceEnd(s);
  win32::SurfaceDestroy(s);
}

}  // namespace
}  // namespace zunk
