// The two level bars on their static controls: the match bar and the detection bar,
// each a threshold against a live value. Frames publish the values (pipeline/observed.h);
// the bars are drawn on the dialog's thread by its level timer, so closing the dialog
// while frames flow never meets a frame inside a bar.
#include <windows.h>

#include "dialog/settings_dialog.h"
#include "pipeline/observed.h"
#include "platform/platform.h"

namespace zunk {

struct LevelIndicator {
  HWND bar;        // the bar's static
  HBITMAP bitmap;  // compatible with the static's display, of its client size; it shows it
  int width;
  int height;
};

namespace {

// The publication the bars show last; older ones are never drawn over a newer drawing.
uint32_t shownSequence = 0;

// Colours by the part of the bar: below the threshold and below the value, below the
// threshold and above, above the threshold and below the value, above both.
const LevelBarColours kColoursOn = {RGB(0, 0xFF, 0), RGB(0, 0x80, 0), RGB(0xFF, 0, 0),
                                    RGB(0x80, 0, 0)};
const LevelBarColours kColoursOff = {RGB(0, 0x80, 0), RGB(0, 0x80, 0), RGB(0x80, 0, 0),
                                     RGB(0x80, 0, 0)};
const LevelBarColours kColoursNoTemplate = {RGB(0xC0, 0xC0, 0xC0), RGB(0xC0, 0xC0, 0xC0),
                                            RGB(0xC0, 0xC0, 0xC0), RGB(0xC0, 0xC0, 0xC0)};

void DrawAndShow(LevelIndicator* bar,
                 const LevelBarColours& colours,
                 int32_t threshold,
                 int32_t value) {
  DrawLevelBar(bar, colours, threshold, value);
  ShowLevelBar(bar);
}

}  // namespace

LevelIndicator* CreateLevelIndicator(HWND barStatic) {
  if (!barStatic)
    return nullptr;
  RECT r = {};
  GetClientRect(barStatic, &r);
  auto* bar = new LevelIndicator{barStatic, nullptr, r.right - r.left, r.bottom - r.top};
  if (bar->width > 0 && bar->height > 0) {
    HDC dc = GetDC(barStatic);
    bar->bitmap = CreateCompatibleBitmap(dc, bar->width, bar->height);
    ReleaseDC(barStatic, dc);
  }
  if (bar->bitmap) {
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
        SendMessageA(barStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bar->bitmap)));
    if (old && old != bar->bitmap)
      DeleteObject(old);
  }
  return bar;
}

void DestroyLevelIndicator(LevelIndicator* bar) {
  if (!bar)
    return;
  if (bar->bitmap) {
    SendMessageA(bar->bar, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(bar->bitmap);
  }
  delete bar;
}

void DrawLevelBar(LevelIndicator* bar,
                  const LevelBarColours& colours,
                  int32_t threshold,
                  int32_t value) {
  if (!bar || !bar->bitmap)
    return;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!mem)
    return;
  HPEN pens[4];
  for (int i = 0; i < 4; ++i)
    pens[i] = CreatePen(PS_SOLID, 1, colours[i]);
  HGDIOBJ oldBitmap = SelectObject(mem, bar->bitmap);
  HGDIOBJ oldPen = SelectObject(mem, pens[0]);
  const RECT all = {0, 0, bar->width, bar->height};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // Logical row -i is the i-th pixel row counted from the bottom.
  SetViewportOrgEx(mem, 0, bar->height - 1, nullptr);
  const int64_t a = static_cast<int64_t>(threshold) * bar->height / 100;
  const int64_t b = static_cast<int64_t>(value) * bar->height / 100;
  for (int i = 0; i < bar->height; i += 2) {
    const int pen = (i < a ? 0 : 2) + (i < b ? 0 : 1);
    SelectObject(mem, pens[pen]);
    const POINT line[2] = {{0, -i}, {bar->width - 1, -i}};
    Polyline(mem, line, 2);
  }
  SetViewportOrgEx(mem, 0, 0, nullptr);
  SelectObject(mem, oldPen);
  SelectObject(mem, oldBitmap);
  DeleteDC(mem);
  for (HPEN pen : pens)
    DeleteObject(pen);
}

void ShowLevelBar(LevelIndicator* bar) {
  if (!bar || !bar->bitmap)
    return;
  HDC dc = GetDC(bar->bar);
  HDC mem = CreateCompatibleDC(dc);
  if (mem) {
    HGDIOBJ old = SelectObject(mem, bar->bitmap);
    BitBlt(dc, 0, 0, bar->width, bar->height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  ReleaseDC(bar->bar, dc);
}

void ResetLevelBars(bool templateReady, int32_t detectLevel, int32_t matchLevel) {
  {
    // What frames published before this pass belongs to the state before it.
    LockScope lock;
    shownSequence = LatestLevels().sequence;
  }
  const LevelBarColours& colours = templateReady ? kColoursOn : kColoursNoTemplate;
  DrawAndShow(Dialog.detectionBar, colours, detectLevel, 0);
  DrawAndShow(Dialog.matchBar, colours, matchLevel, 0);
}

void ShowPublishedLevels() {
  PublishedLevels levels;
  {
    LockScope lock;
    levels = LatestLevels();
  }
  if (levels.sequence == shownSequence)
    return;
  shownSequence = levels.sequence;
  const LevelBarColours& colours = levels.colours == kLevelColoursOn ? kColoursOn : kColoursOff;
  DrawAndShow(Dialog.detectionBar, colours, levels.detectThreshold, levels.detectValue);
  DrawAndShow(Dialog.matchBar, colours, levels.matchThreshold, levels.matchValue);
}

}  // namespace zunk
