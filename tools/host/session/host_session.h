// The emulated host around one stream: the plug-in module loaded through its exports,
// the host's main window, Init and Start with the host's records, one ProcessFrame call
// per frame with the posted commands delivered after it, then Stop and Exit.
#pragma once

#include <cstdint>
#include <string>

#include "decode/video_pipe.h"
#include "host/host_records.h"
#include "session/plugin_module.h"

namespace zunkhost {

struct SessionSetup {
  std::string pluginPath;  // "" = the module of this build or installation
  std::string instance;    // "" or the host instance's number
  uint32_t hostVersion = 0x4000A;
  int32_t volume = 100;
  bool keepChannels = true;  // the channel callback's answer at exit
  VideoGeometry geometry;
  bool recording = false;
  int64_t channelKey = 1001;
  std::string channelName;
};

class HostSession {
 public:
  HostSession() = default;
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Loads the module, makes the main window and starts the stream. False with one line
  // in *error when the module cannot be loaded.
  bool Open(const SessionSetup& setup, std::string* error);
  // One frame through the plug-in, changed in place; ProcessFrame's result.
  int32_t Process(int64_t frame, uint8_t* pixels);
  // Stops the stream, lets the plug-in save its settings, and closes the window. The
  // module stays loaded until the process ends, so that what it keeps for its whole life
  // is still reachable when the leak checks of the sanitizer builds look.
  void Close(int64_t frameCount);

  // The plug-in's values of the last frame that reached its decision (native modules
  // only; null otherwise).
  const zunk::FrameTrace* Trace() const;
  std::string PluginName() const;  // name and description, as UTF-8
  int32_t InterfaceVersion() const { return interfaceVersion_; }

 private:
  PluginModule module_;
  zunk::PluginDescriptor* descriptor_ = nullptr;
  int32_t interfaceVersion_ = 0;
  zunk::ChannelInfo channel_ = {};
  zunk::FrameInfo info_ = {};
  bool open_ = false;
};

// The module of this build (two folders up, in the build tree), else the installed one
// (lib/zunk-host beside the bin folder that make install puts zunk-host into).
std::string DefaultPluginPath();

}  // namespace zunkhost
