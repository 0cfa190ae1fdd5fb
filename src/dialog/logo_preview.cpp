// The template preview on its static control and the position pad around it: the four
// arrows (pressed and released through the mouse hook, repeated by timer 1) and the
// corner and centre buttons. The preview lives from the dialog's initialisation to its teardown.
#include <windows.h>

#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"

namespace zunk {

struct LogoPreview {
  HWND picture;    // the preview static
  HBITMAP bitmap;  // 32-bit top-down section of the static's client size; the static shows it
  uint32_t* pixels;
  int width;
  int height;
};

namespace {

const COLORREF kPreviewBackground = 0x400000;  // dark blue
constexpr UINT kArrowInterval = 50;            // ms between the repeats of a held arrow

// Runs paint with a memory context that has the preview's section selected.
template <typename Paint>
void PaintSection(LogoPreview* preview, Paint paint) {
  if (!preview || !preview->bitmap)
    return;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!mem)
    return;
  HGDIOBJ old = SelectObject(mem, preview->bitmap);
  const RECT all = {0, 0, preview->width, preview->height};
  HBRUSH background = CreateSolidBrush(kPreviewBackground);
  FillRect(mem, &all, background);
  DeleteObject(background);
  paint(mem);
  SelectObject(mem, old);
  DeleteDC(mem);
}

// Moves the position by the whole part of the step, in the held arrow's direction.
void MoveByArrow() {
  const int32_t n = static_cast<int32_t>(Dialog.ArrowStep);
  switch (Dialog.pressedArrow) {
    case IDC_ARROW_LEFT:
      MoveLogo(HandlerOrigin(), -n, 0);
      break;
    case IDC_ARROW_RIGHT:
      MoveLogo(HandlerOrigin(), n, 0);
      break;
    case IDC_ARROW_UP:
      MoveLogo(HandlerOrigin(), 0, -n);
      break;
    case IDC_ARROW_DOWN:
      MoveLogo(HandlerOrigin(), 0, n);
      break;
    default:
      break;
  }
}

}  // namespace

LogoPreview* CreateLogoPreview(HWND previewStatic) {
  if (!previewStatic)
    return nullptr;
  RECT r = {};
  GetClientRect(previewStatic, &r);
  auto* preview = new LogoPreview{previewStatic, nullptr, nullptr, r.right, r.bottom};
  if (preview->width > 0 && preview->height > 0) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = preview->width;
    info.bmiHeader.biHeight = -preview->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    preview->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    preview->pixels = static_cast<uint32_t*>(bits);
  }
  if (preview->bitmap) {
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(SendMessageA(
        previewStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(preview->bitmap)));
    if (old && old != preview->bitmap)
      DeleteObject(old);
  }
  return preview;
}

void DestroyLogoPreview(LogoPreview* preview) {
  if (!preview)
    return;
  if (preview->bitmap) {
    SendMessageA(preview->picture, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(preview->bitmap);
  }
  delete preview;
}

void PaintPreviewTemplate(LogoPreview* preview, const uint32_t* pixels, int32_t w, int32_t h) {
  if (!pixels || w <= 0 || h <= 0) {
    PaintPreviewEmpty(preview);
    return;
  }
  PaintSection(preview, [&](HDC mem) {
    const int W = preview->width;
    const int H = preview->height;
    const double r = static_cast<double>(w) / h;
    int x = 0, y = 0, dw = W, dh = H;
    if (r > static_cast<double>(W) / H) {
      // Relatively wider than the preview: bands above and below.
      const int m = (H - static_cast<int>(W / r)) / 2;
      y = m;
      dh = H - 2 * m;
    } else {
      const int m = (W - static_cast<int>(H * r)) / 2;
      x = m;
      dw = W - 2 * m;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(mem, x, y, dw, dh, 0, 0, w, h, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  });
}

void PaintPreviewEmpty(LogoPreview* preview) {
  PaintSection(preview, [](HDC) {});
}

void ShowLogoPreview(LogoPreview* preview) {
  if (!preview || !preview->bitmap)
    return;
  HDC dc = GetDC(preview->picture);
  HDC mem = CreateCompatibleDC(dc);
  if (mem) {
    HGDIOBJ old = SelectObject(mem, preview->bitmap);
    BitBlt(dc, 0, 0, preview->width, preview->height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  ReleaseDC(preview->picture, dc);
}

void RepaintLogoPreview(LogoPreview* preview) {
  {
    // A load on the video thread replaces the picture under the lock.
    LockScope lock;
    if (TemplateLoaded)
      PaintPreviewTemplate(preview, TemplatePicture.pixels, TemplatePicture.width,
                           TemplatePicture.height);
    else
      PaintPreviewEmpty(preview);
  }
  ShowLogoPreview(preview);
}

void PadArrowMouse(HWND dlg, int arrow, UINT message) {
  if (message == WM_LBUTTONUP) {
    KillTimer(dlg, kArrowTimer);
    return;
  }
  // A press (or the second press of a double click) moves by one at once; holding the
  // button then accelerates from a standstill.
  Dialog.pressedArrow = arrow;
  Dialog.ArrowStep = 1.0;
  MoveByArrow();
  Dialog.ArrowStep = 0.0;
  SetTimer(dlg, kArrowTimer, kArrowInterval, nullptr);
}

void PadArrowTimer(HWND dlg) {
  (void)dlg;
  // Accumulated in double precision: the tenth tick's sum stays just below 2.
  Dialog.ArrowStep += 0.2;
  MoveByArrow();
}

bool PadCornerClicked(HWND dlg, int id) {
  (void)dlg;
  switch (id) {
    case IDC_CORNER_TOP_LEFT:
      PlaceLogo(HandlerOrigin(), LogoPlace::kTopLeft);
      return true;
    case IDC_CORNER_TOP_RIGHT:
      PlaceLogo(HandlerOrigin(), LogoPlace::kTopRight);
      return true;
    case IDC_CORNER_BOTTOM_LEFT:
      PlaceLogo(HandlerOrigin(), LogoPlace::kBottomLeft);
      return true;
    case IDC_CORNER_BOTTOM_RIGHT:
      PlaceLogo(HandlerOrigin(), LogoPlace::kBottomRight);
      return true;
    case IDC_CENTRE:
      PlaceLogo(HandlerOrigin(), LogoPlace::kCentre);
      return true;
    default:
      return false;
  }
}

}  // namespace zunk
