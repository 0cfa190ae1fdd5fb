// Profiles read from a parsed settings file, and the text the plug-in's save writes.
#include "settings/profile_codec.h"

#include "settings/ini_text.h"

namespace zunk {

namespace {

constexpr char kDefaultSection[] = "DEFAULT";
constexpr char kCommonSection[] = "COMMON";
constexpr char kDialogLeftKey[] = "DlgWndPosX";
constexpr char kDialogTopKey[] = "DlgWndPosY";

int32_t ReadLongIn(const std::vector<KeyLine>& keys, std::string_view key, int32_t fallback) {
  const KeyLine* k = FirstKeyLine(keys, key);
  return k && !k->text.empty() ? AtoI(k->text) : fallback;
}

}  // namespace

SectionLayout LayOutSections(const SettingsDocument& doc) {
  SectionLayout s;
  // Init looks "DEFAULT" up from the top, then "COMMON" from where "DEFAULT" was found.
  s.defaults = FindHeaderLine(doc, kDefaultSection, 0);
  size_t cursor = s.defaults == kNoLine ? 0 : s.defaults;
  s.common = FindHeaderLine(doc, kCommonSection, cursor);
  if (s.common != kNoLine)
    cursor = s.common;
  // The channel sections follow the last of the two found. With neither, the search stayed
  // on the first line, and every section is a channel's, the one there included.
  s.channelsFrom = cursor + 1;
  if (cursor == 0 && !doc.lines.empty()) {
    const std::string_view first = Trim(LineText(doc, 0));
    if (first != "[DEFAULT]" && first != "[COMMON]")
      s.channelsFrom = 0;
  }
  return s;
}

SectionRead SectionReadFor(const SettingsDocument& doc, std::string_view name) {
  const std::string_view t = Trim(name);
  const SectionLayout layout = LayOutSections(doc);
  SectionRead read{kNoLine, std::string(t)};
  if (t == kDefaultSection) {
    read.header = layout.defaults;
  } else if (t == kCommonSection) {
    read.header = layout.common;
  } else if (FormatInt64(AtoI64(t)) != t) {
    // No channel key as the save writes one: by the text alone.
    read.header = FindHeaderLine(doc, t, layout.channelsFrom, false);
  } else {
    // A channel selects the first profile with its key, loaded from the first channel
    // section whose name reads as that key, and its keys are looked up under that name.
    const int64_t key = AtoI64(t);
    size_t from = layout.channelsFrom, cursor = 0, header = 0;
    while (NextHeaderLine(doc, from, &cursor, &header)) {
      const std::string_view found = HeaderName(doc, header);
      if (AtoI64(found) == key) {
        read.lookupName = std::string(Trim(found));
        read.header = FindHeaderLine(doc, found, header);
        break;
      }
      from = header + 1;
    }
  }
  return read;
}

void ReadSectionRows(const SettingsDocument& doc,
                     size_t header,
                     const SettingDef* rows,
                     size_t count) {
  const std::vector<KeyLine> keys = SectionKeys(doc, header);
  for (size_t i = 0; i < count; ++i) {
    const SettingDef& row = rows[i];
    if (row.kind < 0 || row.kind >= kKindCount)
      continue;
    const KeyLine* k = FirstKeyLine(keys, Trim(row.key));
    if (k && !k->text.empty())
      StoreSettingText(row.kind, row.target, k->text);
    else
      StoreSettingDefault(row);
  }
}

void ReadProfileAt(const SettingsDocument& doc, size_t header, ChannelProfile* out) {
  SettingDef rows[kSettingCount];
  for (size_t i = 0; i < kSettingCount; ++i)
    rows[i] = BindSetting(SettingTable[i], out);
  ReadSectionRows(doc, header, rows, kSettingCount);
}

bool ReadProfile(const SettingsDocument& doc, std::string_view section, ChannelProfile* out) {
  const size_t header = SectionReadFor(doc, section).header;
  if (header == kNoLine)
    return false;
  ReadProfileAt(doc, header, out);
  out->ChannelKey = AtoI64(Trim(section));
  return true;
}

LoadedSettings ReadSettings(const SettingsDocument& doc) {
  LoadedSettings s;
  const SectionLayout layout = LayOutSections(doc);
  ReadProfileAt(doc, layout.defaults, &s.defaults);
  const std::vector<KeyLine> common = SectionKeys(doc, layout.common);
  s.dialogLeft = ReadLongIn(common, kDialogLeftKey, kDialogPositionUnset);
  s.dialogTop = ReadLongIn(common, kDialogTopKey, kDialogPositionUnset);
  size_t from = layout.channelsFrom, cursor = 0, header = 0;
  while (NextHeaderLine(doc, from, &cursor, &header)) {
    // The keys are looked up under the trimmed name, from this header on and wrapping:
    // for a header with blanks inside its brackets that is another section, or none.
    const std::string_view name = HeaderName(doc, header);
    ChannelProfile p;
    ReadProfileAt(doc, FindHeaderLine(doc, name, header), &p);
    p.ChannelKey = AtoI64(name);
    s.channels.push_back(std::move(p));
    from = header + 1;
  }
  return s;
}

std::string FormatHeaderLine(std::string_view name) {
  std::string line = "[";
  line.append(Trim(name));
  line += "]\r\n";
  return line;
}

std::string FormatKeyLine(std::string_view key, std::string_view text) {
  std::string line(Trim(key));
  line += '=';
  line.append(text);
  line += "\r\n";
  return line;
}

std::string FormatProfileSection(std::string_view name, const ChannelProfile& p) {
  std::string out = FormatHeaderLine(name);
  std::string text;
  for (const ProfileSetting& row : SettingTable) {
    if (FormatSetting(row.kind, SettingField(row, p), &text))
      out += FormatKeyLine(row.key, text);
  }
  return out;
}

std::string FormatCommonSection(int32_t dialogLeft, int32_t dialogTop) {
  return FormatHeaderLine(kCommonSection) + FormatKeyLine(kDialogLeftKey, FormatInt32(dialogLeft)) +
         FormatKeyLine(kDialogTopKey, FormatInt32(dialogTop));
}

}  // namespace zunk
