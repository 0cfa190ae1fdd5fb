// The settings dialog's entry points in the build without windows: there is no dialog,
// so Configure opens nothing.
#include "dialog/dialog_host.h"

namespace zunk {

int32_t DialogCreated = 0;

void OpenSettingsDialog(void* parentWindowVariable) {
  (void)parentWindowVariable;
  DialogCreated = 0;
}
void FocusSettingsDialog() {}
void DestroySettingsDialog() {
  DialogCreated = 0;
}

}  // namespace zunk
