// Loading every profile at Init and saving them at Exit.
#include "plugin/module_state.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"

namespace zunk {

namespace {
constexpr char kDefaultSection[] = "DEFAULT";
constexpr char kCommonSection[] = "COMMON";
constexpr char kDialogLeftKey[] = "DlgWndPosX";
constexpr char kDialogTopKey[] = "DlgWndPosY";
constexpr int32_t kDialogPositionUnset = -100;
}  // namespace

void IniStore::LoadProfiles() {
  OpenForRead();
  ReadProfiles();
  Close();
}

void IniStore::ReadProfiles() {
  // Init runs once; should it run again the file is not appended a second time.
  Profiles.clear();
  CurrentIndex = 0;

  LoadTable(kDefaultSection, SettingTable, kSettingCount);
  DefaultProfile = StagingProfile;
  ReadLong(kCommonSection, kDialogLeftKey, &DialogLeft, kDialogPositionUnset);
  ReadLong(kCommonSection, kDialogTopKey, &DialogTop, kDialogPositionUnset);
  // The channel sections are those after the last section found above. In a file
  // with neither "DEFAULT" nor "COMMON" the cursor is on no header at all, and the
  // enumeration starts with the file's first line instead of passing over it.
  if (SectionCursor == 0) {
    std::string_view first;
    ReadLineAt(Data(), 0, &first);
    first = Trim(first);
    if (first != "[DEFAULT]" && first != "[COMMON]")
      SectionCursor = Data().size();
  }
  std::string name;
  while (NextSection(&name)) {
    // The lookups trim the name: for a header with blanks inside its brackets they can
    // find another section's header and move the cursor there. The enumeration goes on
    // from this header, so that it neither comes back to an earlier one for ever nor
    // passes over the sections in between.
    const size_t header = NextHeaderAt;
    LoadTable(name, SettingTable, kSettingCount);
    SectionCursor = header;
    StagingProfile.ChannelKey = AtoI64(name);
    Profiles.push_back(StagingProfile);
  }
}

bool IniStore::SaveProfiles() {
  if (!lastReadWhole_ || !OpenForWrite())
    return false;
  WriteSectionHeader(kCommonSection);
  WriteInt(kDialogLeftKey, DialogLeft);
  WriteInt(kDialogTopKey, DialogTop);
  for (size_t i = 0; i < Profiles.size(); ++i) {
    const int64_t key = Profiles[i].ChannelKey;
    // The host is asked about every channel. A host that gave no callback cannot drop
    // channels, so every profile is kept.
    const bool hostKeeps = ChannelCheckCallback ? ChannelCheckCallback(key) != 0 : true;
    if (!hostKeeps && key != 1 && key != 2)
      continue;
    WriteInt64Header(key);
    StagingProfile = Profiles[i];
    SaveTable(SettingTable, kSettingCount);
  }
  return Close();
}

}  // namespace zunk
