// The message surface on Windows: a memory DC, a 32-bit top-down DIB section of the
// frame's size, the message font and the 768 x 576 anisotropic mapping; GDI fills and
// draws the text in reference units.
#include <windows.h>

#include "platform/win32/services.h"

namespace zunk {

struct Surface {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HFONT font = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  HGDIOBJ previousFont = nullptr;
};

namespace win32 {

Surface* SurfaceCreate() {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc)
    return nullptr;
  Surface* s = new Surface;
  s->dc = dc;
  return s;
}

uint32_t* SurfaceBegin(Surface* s, int32_t width, int32_t height) {
  if (!s || !s->dc)
    return nullptr;
  if (s->bitmap)
    SurfaceEnd(s);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(s->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap)
      DeleteObject(bitmap);
    return nullptr;
  }
  HFONT font =
      CreateFontA(-75, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, 0, "Arial");
  s->bitmap = bitmap;
  s->font = font;
  s->previousBitmap = SelectObject(s->dc, bitmap);
  s->previousFont = font ? SelectObject(s->dc, font) : nullptr;
  SetMapMode(s->dc, MM_ANISOTROPIC);
  SetWindowExtEx(s->dc, 768, 576, nullptr);
  SetViewportExtEx(s->dc, width, height, nullptr);
  SetBkMode(s->dc, TRANSPARENT);
  return static_cast<uint32_t*>(bits);
}

void SurfaceEnd(Surface* s) {
  if (!s || !s->dc)
    return;
  if (s->previousBitmap)
    SelectObject(s->dc, s->previousBitmap);
  if (s->previousFont)
    SelectObject(s->dc, s->previousFont);
  if (s->bitmap)
    DeleteObject(s->bitmap);
  if (s->font)
    DeleteObject(s->font);
  *s = Surface{s->dc};
}

void SurfaceDestroy(Surface* s) {
  if (!s)
    return;
  SurfaceEnd(s);
  if (s->dc)
    DeleteDC(s->dc);
  delete s;
}

// Drawing is batched by GDI: every call flushes, so that the layer's pixels are final
// when it returns.
void SurfaceFill(Surface* s, uint32_t colour) {
  if (!s || !s->bitmap)
    return;
  RECT all = {0, 0, 768, 576};
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush)
    return;
  FillRect(s->dc, &all, brush);
  DeleteObject(brush);
  GdiFlush();
}

void SurfaceTextExtent(Surface* s, const char* text, int32_t length, int32_t* cx, int32_t* cy) {
  SIZE size = {0, 0};
  if (s && s->bitmap)
    GetTextExtentPoint32A(s->dc, text, length, &size);
  *cx = size.cx;
  *cy = size.cy;
}

void SurfaceText(Surface* s,
                 int32_t x,
                 int32_t y,
                 const char* text,
                 int32_t length,
                 uint32_t colour) {
  if (!s || !s->bitmap)
    return;
  SetTextColor(s->dc, colour);
  TextOutA(s->dc, x, y, text, length);
  GdiFlush();
}

HDC SurfaceDc(Surface* s) {
  return s ? s->dc : nullptr;
}

}  // namespace win32
}  // namespace zunk
