// Installing a run's settings and reading its channel's setup.
#include "session/channel_setup.h"

#include <cctype>
#include <fstream>

#include "os/host_os.h"
#include "session/channel_settings.h"
#include "session/settings_install.h"

namespace zunkhost {
namespace {

bool Readable(const std::string& path) {
  return !path.empty() && std::ifstream(path, std::ios::binary).good();
}

std::string IdleReason(const SettingsRequest& r,
                       const std::string& installed,
                       const zunk::ChannelProfile& p) {
  const std::string channel = "channel " + std::to_string(r.channelKey);
  if (r.settings.empty())
    return "no settings file (--settings FILE), so " + channel + " has no logo template";
  if (p.ProcessingEnable == 0)
    return "the detector is off for " + channel + " (ProcessingEnable=0 in " + r.settings + ")";
  if (Readable(p.LogoFileName))
    return "";
  const std::string key = std::to_string(r.channelKey);
  if (!HasSection(installed, key))
    return r.settings + " has no section [" + key + "] for " + channel +
           " (--channel-key), and no usable template for new channels";
  if (p.LogoFileName.empty() || p.LogoFileName[0] == ' ')
    return channel + " has no logo template (LogoFileName in " + r.settings + ")";
  return channel + "'s logo template " + p.LogoFileName + " cannot be read";
}

// The template file as the plug-in opens it: the name as given, or a name without a folder
// in the settings file's folder.
std::string TemplateFileOf(const std::string& name, const std::string& settings) {
  if (name.empty() || Readable(name))
    return Readable(name) ? name : "";
  if (name.find_first_of("\\/") != std::string::npos)
    return "";
  const size_t slash = settings.find_last_of("\\/");
  const std::string beside = (slash == std::string::npos ? "" : settings.substr(0, slash + 1)) + name;
  return Readable(beside) ? beside : "";
}

}  // namespace

bool HasSection(const std::string& path, const std::string& name) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::string t;
    for (char c : line)
      if (!std::isspace(static_cast<unsigned char>(c)))
        t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (t == "[" + name + "]")
      return true;
  }
  return false;
}

bool PrepareSettings(const SettingsRequest& r, ChannelSetup* setup, std::string* error) {
  // Every run has its own settings folder, with or without a settings file: the plug-in
  // writes its file there at exit, and the folder goes with the run.
  if (SettingsBaseFolder().empty()) {
    *error = "cannot make a settings folder";
    return false;
  }
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
  setup->idleReason = IdleReason(r, setup->installed, p);
  setup->templateFile = TemplateFileOf(p.LogoFileName, r.settings);
  setup->logoX = p.LogoPosX;
  setup->logoY = p.LogoPosY;
  setup->colorKey = p.ColorKey;
  return true;
}

}  // namespace zunkhost
