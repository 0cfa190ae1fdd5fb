// HostSession: the host's calls to the plug-in in the host's order.
#include "session/host_session.h"

#include <cstdio>
#include <cstring>

#include "base/abi.h"
#include "os/host_os.h"
#include "session/host_state.h"
#include "session/host_window.h"
#include "session/settings_install.h"

namespace zunkhost {
namespace {

bool keepChannels = true;

ZUNK_ENTRY int32_t ZUNK_CDECL ChannelCheck(int64_t key) {
  (void)key;
  return keepChannels ? 1 : 0;
}

bool Exists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f)
    std::fclose(f);
  return f != nullptr;
}

}  // namespace

std::string DefaultPluginPath() {
  std::string built = ExecutableFolder() + "../../" + kPluginFileName;
  std::string installed = ExecutableFolder() + "../lib/zunk-host/" + kPluginFileName;
  return Exists(built) || !Exists(installed) ? built : installed;
}

bool HostSession::Open(const SessionSetup& s, std::string* error) {
  const std::string path = s.pluginPath.empty() ? DefaultPluginPath() : s.pluginPath;
  if (!LoadPlugin(path, &module_, error))
    return false;
  interfaceVersion_ = module_.version();
  descriptor_ = module_.descriptor();

  HostState& host = Host();
  host.version = s.hostVersion;
  host.volume = s.volume;
  std::string title = s.instance.empty() ? "Quintora" : "Quintora.Inst" + s.instance;
  EnterHostIsolation();
  if (!CreateHostWindow(title))
    std::fprintf(stderr, "zunk-host: no main window\n");

  keepChannels = s.keepChannels;
  static zunk::InitInfo init = {0, &ChannelCheck};
  descriptor_->Init(&init);
  zunk::StreamFormat format = {};
  format.width = s.geometry.width;
  format.height = s.geometry.height;
  format.pixelFormat = s.geometry.pixelFormat;
  format.recording = s.recording ? 1 : 0;
  descriptor_->Start(&format);
  PumpHostMessages();

  channel_.keyLow = static_cast<uint32_t>(static_cast<uint64_t>(s.channelKey));
  channel_.keyHigh = static_cast<uint32_t>(static_cast<uint64_t>(s.channelKey) >> 32);
  std::strncpy(channel_.name, s.channelName.c_str(), zunk::kChannelNameMax);
  info_.channel = &channel_;
  open_ = true;
  return true;
}

int32_t HostSession::Process(int64_t frame, uint8_t* pixels) {
  Host().currentFrame = frame;
  info_.pixels = pixels;
  int32_t result = descriptor_->ProcessFrame(&info_);
  PumpHostMessages();
  return result;
}

void HostSession::Close(int64_t frameCount) {
  if (!open_)
    return;
  open_ = false;
  Host().currentFrame = frameCount;
  descriptor_->Stop();
  PumpHostMessages();
  descriptor_->Exit();
  DestroyHostWindow();
  LeaveHostIsolation();
}

const zunk::FrameTrace* HostSession::Trace() const {
  return module_.trace ? module_.trace() : nullptr;
}

std::string HostSession::PluginName() const {
  return Cp1251ToUtf8(descriptor_->name) + " - " + Cp1251ToUtf8(descriptor_->description);
}

}  // namespace zunkhost
