// The dialog's edit for a logo the live capture found: its template file saved beside the
// settings file, and the channel's profile set to use it. Portable; Cancel undoes it as any
// other edit (the file may stay).
#pragma once

#include <cstdint>

#include "capture/capture_finder.h"

namespace zunk {

enum class LogoApplyResult {
  kApplied,      // saved, the profile set and the template loaded
  kNotSaved,     // the settings folder cannot be written: nothing changed
  kChannelGone,  // the channel is no longer the current one: the profile was left alone
};

// Saves the logo as "logo-<key>.bmp" in the settings file's folder and, when the channel is
// still the current one, sets LogoFileName (the full path), LogoPosX, LogoPosY, ColorKey,
// LeftTopPixelColor = 0 and the levels the finder calibrated, then loads the template.
// Takes the module lock; never call it with the lock held.
LogoApplyResult ApplyCapturedLogo(const CapturedLogo& logo, int64_t channelKey);

}  // namespace zunk
