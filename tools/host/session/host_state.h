// What the emulated host keeps and answers: its version, its volume, the recording's
// pause state, and a log of every command the plug-in sent or posted to its window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zunkhost {

struct Command {
  int64_t frame;     // index of the frame being processed (or -1 outside frames)
  uint32_t message;  // window message
  uint32_t command;  // wParam
  int64_t value;     // lParam
  bool posted;       // PostMessage (true) or SendMessage (false)
};

struct HostState {
  uint32_t version = 0x4000A;
  int32_t volume = 100;
  bool paused = false;
  int64_t currentFrame = -1;
  std::vector<Command> log;
};

HostState& Host();

// Handles one message to the main window and returns the window procedure's result.
intptr_t HandleHostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, bool posted);

// Short name of a host command ("GetVersion", "SetVolume", ...), or its number.
std::string CommandName(uint32_t command);

}  // namespace zunkhost
