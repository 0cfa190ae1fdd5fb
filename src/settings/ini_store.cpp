// Opening, searching and writing the settings file.
#include "settings/ini_store.h"

#include "settings/ini_text.h"
#include "settings/profile_codec.h"

namespace zunk {

IniStore SettingsStore;

IniStore::~IniStore() {
  if (temp_) {
    Os().FileClose(temp_);
    Os().RemoveFile(TemporaryPath().c_str());
  }
}

void IniStore::ResetFile() {
  SectionCursor = 0;
  line_ = 0;
  doc_ = SettingsDocument();
  out_.clear();
  writing_ = false;
  open_ = 0;
}

bool IniStore::OpenForRead() {
  Close();
  ResetFile();
  lastReadWhole_ = false;
  if (FullPath.empty())
    return false;
  // Read and write access, as the file is later rewritten; "a+" creates a missing file
  // and never truncates.
  std::FILE* f = std::fopen(FullPath.c_str(), "a+b");
  if (!f)
    return false;
  std::string bytes;
  bool whole = std::fseek(f, 0, SEEK_SET) == 0;
  if (whole) {
    char chunk[16384];
    for (;;) {
      size_t want = sizeof chunk;
      if (MaxFileBytes - bytes.size() < want)
        want = MaxFileBytes - bytes.size();
      size_t got = want ? std::fread(chunk, 1, want, f) : 0;
      bytes.append(chunk, got);
      if (got < want) {  // the end of the file, or a failed read: the data ends here
        whole = !std::ferror(f);
        break;
      }
      if (bytes.size() >= MaxFileBytes) {
        whole = std::fgetc(f) == EOF && !std::ferror(f);
        break;
      }
    }
  }
  std::fclose(f);
  OpenBytes(std::move(bytes));
  lastReadWhole_ = whole;
  return true;
}

bool IniStore::OpenBytes(std::string bytes) {
  Close();
  ResetFile();
  doc_ = ParseSettings(bytes);
  open_ = 1;
  lastReadWhole_ = true;
  return true;
}

bool IniStore::OpenForWrite() {
  Close();
  ResetFile();
  if (FullPath.empty())
    return false;
  // An existing file that cannot be written is left alone, as a plain rewrite would.
  if (std::FILE* existing = std::fopen(FullPath.c_str(), "rb")) {
    std::fclose(existing);
    std::FILE* writable = std::fopen(FullPath.c_str(), "r+b");
    if (!writable)
      return false;
    std::fclose(writable);
  }
  // A temporary file left behind by a rewrite that was cut short is replaced, whatever
  // its attributes.
  const std::string temp = TemporaryPath();
  Os().RemoveFile(temp.c_str());
  temp_ = Os().FileCreate(temp.c_str());
  if (!temp_)
    return false;
  writing_ = true;
  open_ = 1;
  return true;
}

bool IniStore::Close() {
  if (!open_)
    return true;
  bool ok = true;
  if (writing_) {
    // The new content must be whole on the disk before it takes the old file's place.
    ok = out_.empty() || Os().FileWrite(temp_, out_.data(), out_.size()) != 0;
    ok = ok && Os().FileFlush(temp_) != 0;
    ok = Os().FileClose(temp_) != 0 && ok;
    temp_ = 0;
    const std::string temp = TemporaryPath();
    if (ok)
      ok = Os().MoveFileOver(temp.c_str(), FullPath.c_str()) != 0;
    if (!ok)
      Os().RemoveFile(temp.c_str());
  }
  ResetFile();
  return ok;
}

bool IniStore::FindSection(std::string_view name) {
  if (!open_ || writing_ || doc_.dataEnd == 0)
    return false;
  if (SectionCursor >= doc_.dataEnd)
    SectionCursor = 0;
  // The first header line with that text at or after the cursor, or else the first one
  // before it: what reading line by line from the cursor, wrapping once at the end of the
  // file, finds.
  const size_t header = FindHeaderLine(doc_, name, LineAt(doc_, SectionCursor));
  if (header == kNoLine)
    return false;
  SectionCursor = doc_.lines[header].start;
  line_ = header + 1;
  return true;
}

bool IniStore::NextSection(std::string* name) {
  if (!open_ || writing_ || doc_.dataEnd == 0)
    return false;
  // From the line after the cursor's header, or from the top when the cursor is at the end.
  const size_t from = SectionCursor >= doc_.dataEnd ? 0 : LineAt(doc_, SectionCursor) + 1;
  size_t cursor = from, header = 0;
  const bool found = NextHeaderLine(doc_, from, &cursor, &header);
  SectionCursor = LineStart(doc_, cursor);
  if (!found)
    return false;
  name->assign(HeaderName(doc_, header));
  NextHeaderAt = doc_.lines[header].start;
  return true;
}

bool IniStore::ReadValue(std::string_view section, std::string_view key, std::string* value) {
  key = Trim(key);
  if (!FindSection(section))
    return false;
  KeyLine k;
  for (size_t line = NextKeyLine(doc_, line_, &k); line != kNoLine;
       line = NextKeyLine(doc_, line, &k)) {
    if (k.key != key)
      continue;
    if (k.text.empty())
      return false;
    value->assign(k.text);
    return true;
  }
  return false;
}

void IniStore::LoadTable(std::string_view section, const SettingDef* table, size_t rows) {
  // Every row's lookup starts at the same header, so the section is searched once (and
  // not at all for a table of nothing but unknown kinds).
  bool any = false;
  for (size_t i = 0; i < rows; ++i)
    any = any || (table[i].kind >= 0 && table[i].kind < kKindCount);
  const size_t header = any && FindSection(section) ? line_ - 1 : kNoLine;
  ReadSectionRows(doc_, header, table, rows);
}

void IniStore::ReadLong(std::string_view section,
                        std::string_view key,
                        int32_t* target,
                        int32_t defaultValue) {
  std::string text;
  *target = ReadValue(section, key, &text) ? AtoI(text) : defaultValue;
}

void IniStore::WriteSectionHeader(std::string_view name) {
  if (writing_)
    out_ += FormatHeaderLine(name);
}

void IniStore::WriteValue(std::string_view key, std::string_view text) {
  if (writing_)
    out_ += FormatKeyLine(key, text);
}

void IniStore::WriteText(std::string_view text) {
  if (writing_)
    out_.append(text);
}

void IniStore::WriteInt(std::string_view key, int32_t value) {
  WriteValue(key, FormatInt32(value));
}

void IniStore::WriteInt64Header(int64_t value) {
  WriteSectionHeader(FormatInt64(value));
}

void IniStore::SaveTable(const SettingDef* table, size_t rows) {
  std::string text;
  for (size_t i = 0; i < rows; ++i) {
    if (FormatSetting(table[i].kind, table[i].target, &text))
      WriteValue(table[i].key, text);
  }
}

}  // namespace zunk
