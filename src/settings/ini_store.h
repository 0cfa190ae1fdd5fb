// The settings file: where it lives, reading it section by section with a remembered
// position, and rewriting it whole. One IniStore exists for the life of the module; it
// also keeps the host's main window and version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "host/host_records.h"
#include "platform/platform.h"
#include "settings/setting_table.h"
#include "settings/settings_document.h"

namespace zunk {

class IniStore {
 public:
  IniStore() = default;
  virtual ~IniStore();
  IniStore(const IniStore&) = delete;
  IniStore& operator=(const IniStore&) = delete;

  // Where the file lives (settings_path.cpp).
  void ResolveSettingsPath();
  // A file name without any folder, in the settings file's folder; empty for a name with
  // a folder or a drive, or while the folder is not known.
  std::string BesideSettingsFile(std::string_view name) const;
  // The host's main window and version, at every stream start (host_discovery.cpp).
  void FindHostWindows();

  // Opens the file for reading, creating an empty one when none exists (never
  // truncating). Reads it whole; the data ends where a text-mode reader stops (the
  // first Ctrl-Z), at a failed read, or after MaxFileBytes.
  bool OpenForRead();
  // Reads `bytes` as the file's content, for callers that have them in memory.
  bool OpenBytes(std::string bytes);
  // Opens for rewriting: the new content goes to a temporary file beside the settings
  // file and replaces it at Close. Fails, changing nothing, when the settings file
  // exists but cannot be written or the temporary file cannot be made.
  bool OpenForWrite();
  // Ends reading, or finishes writing: the temporary file replaces the settings file in
  // one step when every byte was written; otherwise it is removed and the old file
  // stays. Returns false when a rewrite failed.
  bool Close();

  // Positions the reader just after the header of `name` (trimmed), searching from the
  // last section found and wrapping once around the file. Not found: the cursor stays.
  bool FindSection(std::string_view name);
  // The name of the next section header after the one at SectionCursor; no wrap.
  bool NextSection(std::string* name);
  // The text after the first "=" of the first line of `section` whose key is `key`.
  // An empty text counts as not found.
  bool ReadValue(std::string_view section, std::string_view key, std::string* value);
  // Reads every row of `table` from `section` into the rows' targets, defaults where a
  // key is not found.
  void LoadTable(std::string_view section, const SettingDef* table, size_t rows);
  void ReadLong(std::string_view section,
                std::string_view key,
                int32_t* target,
                int32_t defaultValue);

  void WriteSectionHeader(std::string_view name);
  void WriteValue(std::string_view key, std::string_view text);
  // Lines already formatted, as they are.
  void WriteText(std::string_view text);
  void WriteInt(std::string_view key, int32_t value);
  void WriteInt64Header(int64_t value);
  // One key line per row, in row order; the caller writes the header first.
  void SaveTable(const SettingDef* table, size_t rows);

  // Init: DefaultProfile, the dialog position and the channel profiles.
  void LoadProfiles();
  // The same from the file already open (LoadProfiles without the open and close).
  void ReadProfiles();
  // Exit: "COMMON" and the channels the host keeps. A file that was not read whole at
  // Init (it could not be opened, a read failed, or it was too large) is left as it is,
  // so that what was not read is not lost. True when the file was rewritten.
  bool SaveProfiles();
  // Whether the last OpenForRead (or OpenBytes) saw the whole file.
  bool LastReadWasWhole() const { return lastReadWhole_; }

  // The data read by OpenForRead or OpenBytes, up to where a text-mode reader stops.
  std::string_view Data() const { return std::string_view(doc_.bytes).substr(0, doc_.dataEnd); }
  // The file read by OpenForRead or OpenBytes.
  const SettingsDocument& Document() const { return doc_; }
  // The temporary file a rewrite goes to.
  std::string TemporaryPath() const { return FullPath + ".tmp"; }

  // Larger files are read only this far; they are far beyond any settings file.
  size_t MaxFileBytes = 64u << 20;

  WindowHandle HostMainWindow = 0;
  uint32_t HostVersion = 0;
  std::string InstanceNumber;  // empty or one character
  std::string SettingsFolder;  // ends with "Plugins" and a separator
  std::string ModuleBaseName;
  std::string FileName;  // ModuleBaseName + ".ini"
  std::string FullPath;  // SettingsFolder + FileName
  // Byte position of the start of a line: where the last section search began.
  size_t SectionCursor = 0;
  // Where the header line the last NextSection found starts.
  size_t NextHeaderAt = 0;

 private:
  void ResetFile();
  void ReadFrom(size_t line);

  bool lastReadWhole_ = false;
  int32_t open_ = 0;
  bool writing_ = false;
  SettingsDocument doc_;  // reading: the file, parsed
  size_t line_ = 0;       // reading: the line after the last header found
  std::string out_;       // writing: the new content
  uintptr_t temp_ = 0;    // writing: the temporary file (Platform::FileCreate)
};

// The module's one store.
extern IniStore SettingsStore;

// The host's answer to which channels to keep, from Init: SaveProfiles asks it for every
// profile. Null (no host callback) keeps them all.
extern ChannelCheckFn ChannelCheckCallback;

}  // namespace zunk
