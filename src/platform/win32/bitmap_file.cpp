// Template pictures on Windows: the system's bitmap loader, copied into a 32-bit picture.
// The portable reader checks each file first, so the loader never sees a file that the
// POSIX build would refuse, and never allocates a bitmap beyond the caller's limits.
#include <windows.h>

#include <vector>

#include "base/aligned_buffer.h"
#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "platform/win32/services.h"

namespace zunk {
namespace win32 {
namespace {

// True when the portable reader takes the file within the limits; gives its size.
bool ReaderTakes(const char* path,
                 int32_t maxWidth,
                 int32_t maxHeight,
                 int32_t* width,
                 int32_t* height) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, kMaxBitmapFileBytes, &bytes))
    return false;
  uint32_t* pixels = ReadBmp(bytes.data(), bytes.size(), maxWidth, maxHeight, width, height);
  FreeAligned(pixels);
  return pixels != nullptr;
}

// Copies the whole bitmap into a 32-bit top-down DIB section and from there into a new
// picture with X = 0. Every object made here is released on every path.
uint32_t* CopyToPicture(HBITMAP bitmap, int32_t width, int32_t height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib)
    return nullptr;
  uint32_t* picture = nullptr;
  HDC source = CreateCompatibleDC(nullptr);
  HDC target = CreateCompatibleDC(nullptr);
  if (source && target) {
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    HGDIOBJ oldTarget = SelectObject(target, dib);
    // A two-colour bitmap is drawn in the target's text (0) and background (1) colours.
    SetTextColor(target, RGB(0, 0, 0));
    SetBkColor(target, RGB(255, 255, 255));
    if (oldSource && oldTarget && BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY)) {
      GdiFlush();
      const size_t count = static_cast<size_t>(width) * height;
      picture = static_cast<uint32_t*>(AllocAligned(count * 4));
      if (picture) {
        const uint32_t* from = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < count; ++i)
          picture[i] = from[i] & 0x00FFFFFF;
      }
    }
    if (oldSource)
      SelectObject(source, oldSource);
    if (oldTarget)
      SelectObject(target, oldTarget);
  }
  if (source)
    DeleteDC(source);
  if (target)
    DeleteDC(target);
  DeleteObject(dib);
  return picture;
}

}  // namespace

uint32_t* LoadBitmapFile(const char* path,
                         int32_t maxWidth,
                         int32_t maxHeight,
                         int32_t* width,
                         int32_t* height) {
  int32_t w = 0;
  int32_t h = 0;
  if (!ReaderTakes(path, maxWidth, maxHeight, &w, &h))
    return nullptr;
  HBITMAP bitmap =
      static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap)
    return nullptr;
  // The file may have changed since it was checked: only the size checked is copied.
  BITMAP info = {};
  uint32_t* picture = nullptr;
  if (GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmWidth == w &&
      info.bmHeight == h)
    picture = CopyToPicture(bitmap, w, h);
  DeleteObject(bitmap);
  if (picture) {
    *width = w;
    *height = h;
  }
  return picture;
}

}  // namespace win32
}  // namespace zunk
