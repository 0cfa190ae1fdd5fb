// The settings file's content as the plug-in reads and writes it, on bytes and records only:
// profiles read from a parsed file by the setting table, the whole file as Init reads it, the
// bytes of a section and of the file Exit writes, and values set in existing bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/channel_profile.h"
#include "settings/setting_table.h"
#include "settings/settings_document.h"

namespace zunk {

// The dialog's position before the file gives one.
constexpr int32_t kDialogPositionUnset = -100;

// Everything Init takes from the file.
struct LoadedSettings {
  ChannelProfile defaults;  // "DEFAULT", built-in values for what it lacks
  int32_t dialogLeft = kDialogPositionUnset;
  int32_t dialogTop = kDialogPositionUnset;
  ProfileTable channels;  // the channel sections, in file order, duplicates included
};

// Reads the file as Init does: "DEFAULT", the dialog position of "COMMON", then every
// section after the last of those two found (all sections when neither is there).
LoadedSettings ReadSettings(const SettingsDocument& doc);

// Where the three kinds of section are: the header lines of "DEFAULT" and "COMMON" that
// Init reads (kNoLine when missing), and the first line from which every header is a
// channel section.
struct SectionLayout {
  size_t defaults = kNoLine;
  size_t common = kNoLine;
  size_t channelsFrom = 0;
};
SectionLayout LayOutSections(const SettingsDocument& doc);

// The section the plug-in reads for `name`: "DEFAULT" and "COMMON" where Init finds them;
// for a channel key written as the save writes it ("1001", "-5"), the section whose values
// the channel's profile takes (the first channel section whose name reads as that key,
// looked up under its trimmed name); for any other name, the first channel section of that
// name. `header` is kNoLine when the plug-in reads none; `lookupName` is the name it looks
// the section up under, the one a section added for it needs.
struct SectionRead {
  size_t header = kNoLine;
  std::string lookupName;
};
SectionRead SectionReadFor(const SettingsDocument& doc, std::string_view name);

// Reads `rows` from the section whose header is at `header` into their targets: the first
// line of each key, a row's default where its key is missing or its text empty (kNoLine:
// every default). Kinds the store does not handle are passed over.
void ReadSectionRows(const SettingsDocument& doc,
                     size_t header,
                     const SettingDef* rows,
                     size_t count);

// The profile of section `section` read as the plug-in reads it (SectionReadFor), built-in
// defaults for missing keys, its ChannelKey the name as a number. False, leaving *out as it
// is, when the plug-in reads no such section.
bool ReadProfile(const SettingsDocument& doc, std::string_view section, ChannelProfile* out);
// The same for a section header already found (kNoLine: the built-in defaults).
void ReadProfileAt(const SettingsDocument& doc, size_t header, ChannelProfile* out);

// "[" + name + "]" and "key=text", each with CR LF, names and keys trimmed of blanks.
std::string FormatHeaderLine(std::string_view name);
std::string FormatKeyLine(std::string_view key, std::string_view text);
// A profile's section as the plug-in's save writes it: the header, then one line per row
// of the setting table, in table order.
std::string FormatProfileSection(std::string_view name, const ChannelProfile& p);
// "COMMON" with the dialog's position, as the plug-in's save begins the file.
std::string FormatCommonSection(int32_t dialogLeft, int32_t dialogTop);

// Sets key values in existing bytes. In the section the plug-in reads for `section`
// (SectionReadFor), the line of each key that the plug-in reads gets the new text after
// its "="; keys the section lacks are added after its last line. A missing channel section
// is added at the end of the readable data, a missing "DEFAULT" at the top and a missing
// "COMMON" just above the first channel section, where Init finds them without changing
// which sections are channels. New lines end with CR LF (a line end is added first where
// the data does not end with one). Every other byte stays as it was. A text is cut at its
// first line break, NUL or Ctrl-Z; a key that is blank, starts with "[" or holds "=" or
// one of those bytes is no key of a line and is passed over. Of repeated keys the last wins.
std::string SetSectionValues(std::string_view bytes,
                             std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& keyTexts);

}  // namespace zunk
