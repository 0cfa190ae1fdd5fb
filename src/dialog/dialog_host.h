// What the shell asks of the settings dialog.
#pragma once

namespace zunk {

// Creates and shows the modeless dialog; parentWindowVariable points to the host's
// parent window handle.
void OpenSettingsDialog(void* parentWindowVariable);
// Gives the open dialog the keyboard focus and flashes its caption.
void FocusSettingsDialog();
// Destroys the dialog's window (its position is kept for saving).
void DestroySettingsDialog();

}  // namespace zunk
