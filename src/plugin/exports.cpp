// The module's two exports and its descriptor. Every operation runs in the module's own
// context, on a realigned stack, and lets no exception escape into the host. Frame
// processing and Stop hold the module lock; the reactions they ask for run after it.
#include "base/abi.h"
#include "host/host_records.h"
#include "platform/platform.h"
#include "plugin/lifecycle.h"
#include "react/reaction.h"

namespace zunk {
namespace {

// "Детектор логотипов" and "Детектирование логотипа в кадре" in Windows-1251.
const char kPluginName[] = "\xC4\xE5\xF2\xE5\xEA\xF2\xEE\xF0 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2";
const char kPluginDescription[] =
    "\xC4\xE5\xF2\xE5\xEA\xF2\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 "
    "\xE2 \xEA\xE0\xE4\xF0\xE5";

ZUNK_ENTRY void ZUNK_CDECL InitEntry(const InitInfo* info) {
  ModuleContextScope context;
  try {
    Init(info);
  } catch (...) {
  }
}

ZUNK_ENTRY int32_t ZUNK_CDECL StartEntry(const StreamFormat* format) {
  ModuleContextScope context;
  try {
    Start(format);
  } catch (...) {
  }
  return 1;
}

ZUNK_ENTRY int32_t ZUNK_CDECL ProcessFrameEntry(FrameInfo* frame) {
  ModuleContextScope context;
  try {
    ReactionLockScope lock;
    return ProcessFrame(frame);
  } catch (...) {
    return 0;
  }
}

ZUNK_ENTRY void ZUNK_CDECL StopEntry() {
  ModuleContextScope context;
  try {
    ReactionLockScope lock;
    Stop();
  } catch (...) {
  }
}

ZUNK_ENTRY void ZUNK_CDECL ConfigureEntry(void* parentWindowVariable) {
  ModuleContextScope context;
  try {
    Configure(parentWindowVariable);
  } catch (...) {
  }
}

ZUNK_ENTRY void ZUNK_CDECL ExitEntry() {
  ModuleContextScope context;
  try {
    Exit();
  } catch (...) {
  }
}

PluginDescriptor descriptor = {
    kPluginName,        kPluginDescription, &InitEntry,      &StartEntry,
    &ProcessFrameEntry, &StopEntry,         &ConfigureEntry, &ExitEntry,
};

}  // namespace
}  // namespace zunk

ZUNK_EXPORT ZUNK_ENTRY int32_t ZUNK_CDECL Quintora_Plugin_Version() {
  return zunk::kPluginInterfaceVersion;
}

ZUNK_EXPORT ZUNK_ENTRY zunk::PluginDescriptor* ZUNK_CDECL Quintora_Plugin_PR() {
  return &zunk::descriptor;
}
