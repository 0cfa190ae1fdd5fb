// The fake host window and mixer behind the platform's service table.
#include "react/react_fake_host.h"

#include <cstdio>
#include <mutex>

#include "host/host_commands.h"

namespace zunktest {
namespace {

using zunk::Os;
using zunk::Platform;
using zunk::WindowHandle;

constexpr WindowHandle kWindow = 0x77;
constexpr uintptr_t kMixer = 0x55;

FakeHost host;
std::mutex commandsMutex;
Platform fake;
const Platform* previous = nullptr;

// The module lock held by the calling thread: a call made while another thread holds it
// is no fault.
thread_local int lockDepth = 0;

void Note() {
  if (lockDepth > 0) {
    std::lock_guard<std::mutex> hold(commandsMutex);
    ++host.callsUnderLock;
  }
}

void Lock() {
  zunk::NativePlatform().Lock();
  ++lockDepth;
}
void Unlock() {
  --lockDepth;
  zunk::NativePlatform().Unlock();
}

WindowHandle Find(const char*, const char*) {
  return host.windowExists ? kWindow : 0;
}

int Send(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t* answer) {
  if (w != kWindow || msg != zunk::HostCommandMessage)
    return 0;
  if (wParam == zunk::HostCmdGetVersion) {
    if (host.duringVersionQuery)
      host.duringVersionQuery();
    *answer = static_cast<intptr_t>(host.version);
    return 1;
  }
  Note();
  {
    std::lock_guard<std::mutex> hold(commandsMutex);
    host.commands.push_back({static_cast<uint32_t>(wParam), lParam, false});
  }
  if (wParam != zunk::HostCmdGetVolume) {
    *answer = 0;
    return 1;
  }
  if (host.duringVolumeQuery)
    host.duringVolumeQuery();
  if (!host.answersVolume)
    return 0;
  std::lock_guard<std::mutex> hold(commandsMutex);
  *answer = static_cast<intptr_t>(host.volume);
  return 1;
}

int Post(WindowHandle w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  if (w != kWindow || msg != zunk::HostCommandMessage)
    return 0;
  Note();
  std::lock_guard<std::mutex> hold(commandsMutex);
  host.commands.push_back({static_cast<uint32_t>(wParam), lParam, true});
  if (wParam == zunk::HostCmdSetVolume)
    host.volume = static_cast<uint32_t>(lParam);
  return 1;
}

uintptr_t MixerOpen() {
  Note();
  host.mixerCalls.push_back("open");
  host.mixerOpen = host.mixerPresent;
  return host.mixerPresent ? kMixer : 0;
}
int MixerVolumeControl(uintptr_t m, uint32_t* id) {
  host.mixerCalls.push_back("control");
  if (m != kMixer || !host.mixerHasControl)
    return 0;
  *id = 9;
  return 1;
}
int MixerGetValue(uintptr_t m, uint32_t id, uint32_t* value) {
  Note();
  host.mixerCalls.push_back("get");
  if (m != kMixer || id != 9)
    return 0;
  *value = host.mixerValue;
  return 1;
}
int MixerSetValue(uintptr_t m, uint32_t id, uint32_t value) {
  Note();
  host.mixerCalls.push_back("set " + std::to_string(value));
  if (m != kMixer || id != 9)
    return 0;
  host.mixerValue = value;
  return 1;
}
void MixerClose(uintptr_t m) {
  host.mixerCalls.push_back("close");
  if (m == kMixer)
    host.mixerOpen = false;
}

std::string CommandName(uint32_t c) {
  switch (c) {
    case zunk::HostCmdGetVolume:
      return "GetVolume";
    case zunk::HostCmdSetVolume:
      return "SetVolume";
    case zunk::HostCmdPauseRecording:
      return "Pause";
    case zunk::HostCmdResumeRecording:
      return "Resume";
    case zunk::HostCmdTogglePause:
      return "Toggle";
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", c);
  return buf;
}

}  // namespace

void FakeHost::ClearLogs() {
  std::lock_guard<std::mutex> hold(commandsMutex);
  commands.clear();
  mixerCalls.clear();
}

std::vector<std::string> FakeHost::Names() const {
  std::vector<std::string> names;
  for (const HostCommand& c : commands) {
    std::string n = CommandName(c.command);
    if (c.command == zunk::HostCmdSetVolume)
      n += " " + std::to_string(c.value);
    names.push_back(n);
  }
  return names;
}

FakeHost& InstallFakeHost() {
  host = FakeHost{};
  previous = &Os();
  fake = *previous;
  fake.Lock = Lock;
  fake.Unlock = Unlock;
  fake.FindWindowByClass = Find;
  fake.SendToWindow = Send;
  fake.PostToWindow = Post;
  fake.MixerOpen = MixerOpen;
  fake.MixerVolumeControl = MixerVolumeControl;
  fake.MixerGetValue = MixerGetValue;
  fake.MixerSetValue = MixerSetValue;
  fake.MixerClose = MixerClose;
  zunk::SetPlatformForTest(&fake);
  return host;
}

void RemoveFakeHost() {
  zunk::SetPlatformForTest(previous == &zunk::NativePlatform() ? nullptr : previous);
}

}  // namespace zunktest
