// Applying a captured logo to its channel's profile.
#include "dialog/capture_edit.h"

#include <string>

#include "capture/logo_file.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {

LogoApplyResult ApplyCapturedLogo(const CapturedLogo& logo, int64_t channelKey) {
  // Set once at Init; only read afterwards.
  const std::string folder = SettingsStore.SettingsFolder;
  if (folder.empty())
    return LogoApplyResult::kNotSaved;
  const std::string path = CapturedLogoPath(folder, channelKey);
  if (!SaveCapturedLogo(logo, path))
    return LogoApplyResult::kNotSaved;
  LockScope lock;
  ChannelProfile* p = CurrentProfile();
  if (!p || p->ChannelKey != channelKey)
    return LogoApplyResult::kChannelGone;
  p->LogoFileName = path;
  p->LogoPosX = logo.x;
  p->LogoPosY = logo.y;
  p->ColorKey = logo.colorKey;
  p->LeftTopPixelColor = 0;
  if (logo.matchLevel >= 0)
    p->LogoMatchLevel = logo.matchLevel;
  if (logo.detectLevel >= 0)
    p->LogoDetectLevel = logo.detectLevel;
  if (logo.posTolerance >= 0)
    p->LogoPosTolerance = logo.posTolerance;
  LoadTemplate();
  return LogoApplyResult::kApplied;
}

}  // namespace zunk
