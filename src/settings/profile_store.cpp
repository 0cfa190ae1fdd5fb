// Loading every profile at Init and saving them at Exit: the file's content copied into
// the live tables, and the live tables formatted into the new file.
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"
#include "settings/ini_store.h"
#include "settings/ini_text.h"
#include "settings/profile_codec.h"

namespace zunk {

ChannelCheckFn ChannelCheckCallback = nullptr;

void IniStore::LoadProfiles() {
  OpenForRead();
  ReadProfiles();
  Close();
}

void IniStore::ReadProfiles() {
  // Init runs once; should it run again the file is not appended a second time.
  LoadedSettings loaded = ReadSettings(Document());
  DefaultProfile = std::move(loaded.defaults);
  DialogLeft = loaded.dialogLeft;
  DialogTop = loaded.dialogTop;
  Profiles = std::move(loaded.channels);
  CurrentIndex = 0;
}

bool IniStore::SaveProfiles() {
  if (!lastReadWhole_ || !OpenForWrite())
    return false;
  WriteText(FormatCommonSection(DialogLeft, DialogTop));
  for (size_t i = 0; i < Profiles.size(); ++i) {
    const int64_t key = Profiles[i].ChannelKey;
    // The host is asked about every channel. A host that gave no callback cannot drop
    // channels, so every profile is kept.
    const bool hostKeeps = ChannelCheckCallback ? ChannelCheckCallback(key) != 0 : true;
    if (!hostKeeps && key != 1 && key != 2)
      continue;
    WriteText(FormatProfileSection(FormatInt64(key), Profiles[i]));
  }
  return Close();
}

}  // namespace zunk
