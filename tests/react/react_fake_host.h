// A fake host window and mixer for the reaction tests: answers the version and volume
// queries, logs every command and mixer call, and notes any made while the module lock
// is held.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zunktest {

struct HostCommand {
  uint32_t command;  // wParam of the command message
  intptr_t value;    // lParam
  bool posted;
};

struct FakeHost {
  bool windowExists = true;
  uint32_t version = 0x4000A;
  uint32_t volume = 500;
  bool answersVolume = true;  // false: the volume query goes unanswered (a busy host)
  // Runs while the host is asked for the volume, before it answers: what the host's other
  // threads do meanwhile.
  std::function<void()> duringVolumeQuery;
  // The same while the host is asked for its version (at Start).
  std::function<void()> duringVersionQuery;
  // Every command but the version query. Commands and the volume are kept under a mutex of
  // the fake's: the module may call it from two threads.
  std::vector<HostCommand> commands;

  // The mixer: MixerOpen gives a handle when `mixerPresent`; the volume control is found
  // when `mixerHasControl`.
  bool mixerPresent = false;
  bool mixerHasControl = true;
  uint32_t mixerValue = 1000;
  std::vector<std::string> mixerCalls;  // "open", "control", "get", "set 600", "close"
  bool mixerOpen = false;

  int callsUnderLock = 0;  // window or mixer calls made while the module lock was held

  // The commands of one kind, as "Pause", "SetVolume 300", ...
  std::vector<std::string> Names() const;
  void ClearLogs();
};

// Installs the fake over the services in force; Remove puts those back.
FakeHost& InstallFakeHost();
void RemoveFakeHost();

}  // namespace zunktest
