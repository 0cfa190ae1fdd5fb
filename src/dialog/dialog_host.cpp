// The settings dialog's entry points; the window itself arrives with the dialog.
#include "dialog/dialog_host.h"

#include "plugin/module_state.h"

namespace zunk {

void OpenSettingsDialog(void* parentWindowVariable) {
  (void)parentWindowVariable;
}
void FocusSettingsDialog() {}
void DestroySettingsDialog() {
  DialogCreated = 0;
}
void RequestSettingsDialogRefresh() {}
void PublishLevels(LevelColourSet, int32_t, int32_t, int32_t, int32_t) {}

}  // namespace zunk
