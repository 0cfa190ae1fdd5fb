// The captured logo as a template file: "logo-<channel key>.bmp" in the settings file's
// folder, written whole under a temporary name and then put in place in one step.
#pragma once

#include <cstdint>
#include <string>

#include "capture/capture_finder.h"

namespace zunk {

// The template file's full path for a channel, in `folder` (which ends with its separator).
std::string CapturedLogoPath(const std::string& folder, int64_t channelKey);

// Writes the logo's picture to `path`. False, leaving any file at `path` as it was, when the
// folder cannot be written.
bool SaveCapturedLogo(const CapturedLogo& logo, const std::string& path);

}  // namespace zunk
