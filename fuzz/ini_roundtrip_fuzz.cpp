// Fuzz target of the settings file round trip: whatever file was loaded, saving it and
// loading the saved file gives the same profiles (every field, in the same order) and the
// same dialog position, and saving that again writes the same bytes. The save goes through
// the platform's file services into memory, so no run touches the disk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/setting_table.h"

namespace {

using namespace zunk;

// The one file a save writes, and the content that replaced the settings file.
std::string written;
std::string replaced;

uintptr_t Create(const char*) {
  written.clear();
  return 1;
}
int Write(uintptr_t, const void* data, size_t size) {
  written.append(static_cast<const char*>(data), size);
  return 1;
}
int Done(uintptr_t) {
  return 1;
}
int Remove(const char*) {
  return 1;
}
int Replace(const char*, const char*) {
  replaced = written;
  return 1;
}

const Platform& MemoryFiles() {
  static const Platform p = [] {
    Platform fake = NativePlatform();
    fake.FileCreate = Create;
    fake.FileWrite = Write;
    fake.FileFlush = Done;
    fake.FileClose = Done;
    fake.RemoveFile = Remove;
    fake.MoveFileOver = Replace;
    return fake;
  }();
  return p;
}

// Every persisted field of every profile, as text, with the dialog position first.
std::vector<std::string> Fields() {
  std::vector<std::string> out = {FormatInt32(DialogLeft), FormatInt32(DialogTop)};
  for (const ChannelProfile& p : Profiles) {
    out.push_back(FormatInt64(p.ChannelKey));
    std::string text;
    for (const ProfileSetting& row : SettingTable) {
      FormatSetting(row.kind, SettingField(row, p), &text);
      out.push_back(text);
    }
  }
  return out;
}

void Load(IniStore* store, std::string bytes) {
  store->OpenBytes(std::move(bytes));
  store->ReadProfiles();
  store->Close();
}

std::string Save(IniStore* store) {
  replaced.clear();
  if (!store->SaveProfiles())
    std::abort();
  return replaced;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetPlatformForTest(&MemoryFiles());
  ChannelCheckCallback = nullptr;  // every profile is kept
  IniStore store;
  store.FullPath = "settings.ini";
  Load(&store, std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> loaded = Fields();
  const std::string saved = Save(&store);
  Load(&store, saved);
  if (Fields() != loaded)
    std::abort();
  if (Save(&store) != saved)
    std::abort();
  SetPlatformForTest(nullptr);
  // Nothing this input allocated outlives it, so that the fuzzer's leak check (made
  // whenever an input allocates more than it frees) stays quiet.
  ProfileTable().swap(Profiles);
  DefaultProfile = ChannelProfile{};
  std::string().swap(written);
  std::string().swap(replaced);
  return 0;
}
