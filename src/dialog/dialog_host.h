// What the shell asks of the settings dialog.
#pragma once

#include <cstdint>

namespace zunk {

// Set while the dialog exists (from Configure until its window is gone); Configure and
// Exit test it. Kept by the dialog's thread.
extern int32_t DialogCreated;

// Creates and shows the modeless dialog; parentWindowVariable points to the host's
// parent window handle.
void OpenSettingsDialog(void* parentWindowVariable);
// Gives the open dialog the keyboard focus and flashes its caption.
void FocusSettingsDialog();
// Destroys the dialog's window (its position is kept for saving). Called from another
// thread than the window's, it waits a few seconds for that thread; a window that
// outlives the wait goes when its thread reads its messages again, and the module stays
// loaded for it.
void DestroySettingsDialog();

}  // namespace zunk
