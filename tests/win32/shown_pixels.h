// The pixels of the bitmap a picture static shows, read back through GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace zunktest {

// The w x h pixels of the static's bitmap, top-down, as COLORREF values; empty when the
// static shows no bitmap.
inline std::vector<COLORREF> ShownPixels(HWND picture, int w, int h) {
  HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  std::vector<COLORREF> out;
  if (!bitmap || w <= 0 || h <= 0)
    return out;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> bgrx(static_cast<size_t>(w * h));
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, h, bgrx.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != h)
    return out;
  for (uint32_t p : bgrx)
    out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return out;
}

// The colour of the bar line i rows above the bottom, read at its first pixel.
inline COLORREF BarLine(const std::vector<COLORREF>& px, int w, int h, int i) {
  return px[(h - 1 - i) * w];
}

}  // namespace zunktest
