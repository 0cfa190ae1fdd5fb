// What the shell and the frame path ask of the settings dialog.
#pragma once

#include <cstdint>

namespace zunk {

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

// Called by ProcessFrame at a change of channel while the dialog is open, with the frame
// lock held: asks the dialog's thread to show the current profile again. Never waits.
void RequestSettingsDialogRefresh();

// The level bars' colour sets: 0 while detection is off, 1 while frames are matched.
enum LevelColourSet : int32_t { kLevelColoursOff = 0, kLevelColoursOn = 1 };
// Called by ProcessFrame while the dialog is open: the detection bar's (threshold, value)
// and the match bar's, with the colour set to draw them in. Never waits.
void PublishLevels(LevelColourSet colours,
                   int32_t detectThreshold,
                   int32_t detectValue,
                   int32_t matchThreshold,
                   int32_t matchValue);

}  // namespace zunk
