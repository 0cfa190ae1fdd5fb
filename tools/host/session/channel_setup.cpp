// Installing a run's settings and reading its channel's setup.
#include "session/channel_setup.h"

#include "session/channel_settings.h"
#include "session/settings_install.h"

namespace zunkhost {

bool PrepareSettings(const SettingsRequest& r, ChannelSetup* setup, std::string* error) {
  if (!r.settings.empty()) {
    setup->installed = InstallSettings(r.settings, r.instance, error);
    if (setup->installed.empty())
      return false;
    std::vector<SettingValue> values;
    for (const auto& v : r.values)
      values.push_back({v.first, v.second});
    if (!values.empty() && !WriteChannelValues(setup->installed, r.channelKey, values, error))
      return false;
  }
  zunk::ChannelProfile p;
  if (!ReadChannelProfile(setup->installed, r.channelKey, &p))
    ReadChannelProfile("", r.channelKey, &p);
  setup->levels.matchLevel = p.LogoMatchLevel;
  setup->levels.onSpeed = p.LogoOnResponseSpeed;
  setup->levels.offSpeed = p.LogoOffResponseSpeed;
  setup->reactions.recording = r.recording;
  setup->reactions.recordAction = p.RecordAction;
  setup->reactions.previewAction = p.PreviewAction;
  return true;
}

}  // namespace zunkhost
