// The dialog's opening position.
#include "dialog/dialog_placement.h"

namespace zunk {

namespace {

// One axis of the centring, in 64 bits: the rectangles come from the system and the
// stored values from the settings file, and neither may overflow the sum.
int32_t CentreAxis(int64_t dLow, int64_t dHigh, int64_t hLow, int64_t hHigh, int64_t screen) {
  const int64_t size = dHigh - dLow;
  int64_t v = dLow + (hLow + hHigh) / 2 - (dLow + dHigh) / 2;
  if (v + size >= screen)
    v = screen - size;
  if (v < 0)
    v = 0;
  if (v > INT32_MAX)
    v = INT32_MAX;
  return static_cast<int32_t>(v);
}

}  // namespace

void PlaceDialog(int32_t* x,
                 int32_t* y,
                 const ScreenRect& dialog,
                 const ScreenRect& host,
                 int32_t screenWidth,
                 int32_t screenHeight) {
  const bool unset = *x == kNoStoredPosition && *y == kNoStoredPosition;
  if (!unset && *x < screenWidth && *y < screenHeight)
    return;
  *x = CentreAxis(dialog.left, dialog.right, host.left, host.right, screenWidth);
  *y = CentreAxis(dialog.top, dialog.bottom, host.top, host.bottom, screenHeight);
}

}  // namespace zunk
