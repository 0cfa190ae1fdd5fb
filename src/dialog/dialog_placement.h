// Where the settings dialog opens: at its stored position, or centred on the host's
// window and kept on the screen. Portable arithmetic; the window calls stay in the shell.
#pragma once

#include <cstdint>

namespace zunk {

// A screen rectangle, right and bottom exclusive.
struct ScreenRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The pair that means "no position stored".
constexpr int32_t kNoStoredPosition = -100;

// Decides the window's top-left corner from the stored position (*x, *y). A stored pair
// of -100, -100, or a corner at or beyond the screen's right or bottom edge, centres the
// window D on the host's window H (halves by integer division toward zero), then keeps
// it on the screen; the result replaces the stored position. Any other stored position,
// negative ones included, is used as it is.
void PlaceDialog(int32_t* x,
                 int32_t* y,
                 const ScreenRect& dialog,
                 const ScreenRect& host,
                 int32_t screenWidth,
                 int32_t screenHeight);

}  // namespace zunk
