// The settings dialog's entry points in the build without windows: there is no dialog,
// so Configure opens nothing and no refresh is ever asked for.
#include "dialog/dialog_host.h"

#include "plugin/module_state.h"

namespace zunk {

void OpenSettingsDialog(void* parentWindowVariable) {
  (void)parentWindowVariable;
  DialogCreated = 0;
}
void FocusSettingsDialog() {}
void DestroySettingsDialog() {
  DialogCreated = 0;
}
void RequestSettingsDialogRefresh() {}

}  // namespace zunk
