// Opening, searching and writing the settings file.
#include "settings/ini_store.h"

#include <algorithm>

#include "settings/ini_text.h"

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
  pos_ = 0;
  data_.clear();
  headers_.clear();
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
  // A text-mode reader stops at Ctrl-Z; so does this one.
  size_t eof = bytes.find('\x1A');
  if (eof != std::string::npos)
    bytes.resize(eof);
  data_ = std::move(bytes);
  // Where each header line is, by its trimmed text, in file order.
  for (size_t p = 0; p < data_.size();) {
    std::string_view line;
    size_t next = ReadLineAt(data_, p, &line);
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      headers_[std::string(line)].push_back(p);
    p = next;
  }
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
  const size_t length = data_.size();
  if (!open_ || writing_ || length == 0)
    return false;
  std::string target = "[";
  target.append(Trim(name));
  target += ']';
  if (SectionCursor >= length)
    SectionCursor = 0;
  // The first header line with that text at or after the cursor, or else the first
  // one before it: what reading line by line from the cursor, wrapping once at the
  // end of the file, finds. The header index makes it one lookup.
  auto it = headers_.find(target);
  if (it == headers_.end())
    return false;
  const std::vector<size_t>& at = it->second;
  auto next = std::lower_bound(at.begin(), at.end(), SectionCursor);
  SectionCursor = next != at.end() ? *next : at.front();
  std::string_view header;
  pos_ = ReadLineAt(data_, SectionCursor, &header);
  return true;
}

bool IniStore::NextSection(std::string* name) {
  const size_t length = data_.size();
  if (!open_ || writing_ || length == 0)
    return false;
  if (SectionCursor >= length) {
    pos_ = 0;
    SectionCursor = 0;
  } else {
    std::string_view header;
    pos_ = ReadLineAt(data_, SectionCursor, &header);
  }
  SectionCursor = pos_;
  while (pos_ < length) {
    std::string_view line;
    const size_t start = pos_;
    pos_ = ReadLineAt(data_, pos_, &line);
    line = Trim(line);
    if (line.empty())
      continue;  // the cursor stays before blank lines above a header
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      name->assign(line.substr(1, line.size() - 2));
      NextHeaderAt = start;
      return true;
    }
    SectionCursor = pos_;
  }
  return false;
}

bool IniStore::NextKeyLine(std::string_view* key, std::string_view* text) {
  while (pos_ < data_.size()) {
    std::string_view line;
    pos_ = ReadLineAt(data_, pos_, &line);
    line = TrimLeft(line);
    if (line.empty())
      continue;
    if (line.front() == '[')
      return false;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
      continue;
    *key = TrimRight(line.substr(0, eq));
    *text = line.substr(eq + 1);
    return true;
  }
  return false;
}

bool IniStore::ReadValue(std::string_view section, std::string_view key, std::string* value) {
  key = Trim(key);
  if (!FindSection(section))
    return false;
  std::string_view lineKey, text;
  while (NextKeyLine(&lineKey, &text)) {
    if (lineKey != key)
      continue;
    if (text.empty())
      return false;
    value->assign(text);
    return true;
  }
  return false;
}

void IniStore::LoadTable(std::string_view section, const SettingDef* table, size_t rows) {
  // Every row's lookup would start at the same header and stop at the next one, so one
  // pass over the section's lines finds what each lookup finds: the first line of each
  // key. The keys are sorted stably, so that the first of equal keys stays first.
  sectionKeys_.clear();
  bool searched = false;
  bool found = false;
  for (size_t i = 0; i < rows; ++i) {
    const SettingDef& row = table[i];
    if (row.kind < 0 || row.kind >= kKindCount)
      continue;
    if (!searched) {
      searched = true;
      found = FindSection(section);
      if (found)
        IndexSectionKeys();
    }
    const std::string_view key = Trim(row.key);
    auto at = std::lower_bound(sectionKeys_.begin(), sectionKeys_.end(), key,
                               [](const KeyLine& k, std::string_view v) { return k.key < v; });
    if (found && at != sectionKeys_.end() && at->key == key && !at->text.empty()) {
      StoreSettingText(row.kind, row.target, at->text);
    } else {
      StoreSettingDefault(row);
    }
  }
  sectionKeys_.clear();
}

void IniStore::IndexSectionKeys() {
  KeyLine k;
  while (NextKeyLine(&k.key, &k.text))
    sectionKeys_.push_back(k);
  std::stable_sort(sectionKeys_.begin(), sectionKeys_.end(),
                   [](const KeyLine& a, const KeyLine& b) { return a.key < b.key; });
}

void IniStore::ReadLong(std::string_view section,
                        std::string_view key,
                        int32_t* target,
                        int32_t defaultValue) {
  std::string text;
  *target = ReadValue(section, key, &text) ? AtoI(text) : defaultValue;
}

void IniStore::WriteSectionHeader(std::string_view name) {
  if (!writing_)
    return;
  out_ += '[';
  out_.append(Trim(name));
  out_ += "]\r\n";
}

void IniStore::WriteValue(std::string_view key, std::string_view text) {
  if (!writing_)
    return;
  out_.append(Trim(key));
  out_ += '=';
  out_.append(text);
  out_ += "\r\n";
}

void IniStore::WriteInt(std::string_view key, int32_t value) {
  scratch_ = FormatInt32(value);
  WriteValue(key, scratch_);
}

void IniStore::WriteInt64Header(int64_t value) {
  scratch_ = FormatInt64(value);
  WriteSectionHeader(scratch_);
}

void IniStore::SaveTable(const SettingDef* table, size_t rows) {
  for (size_t i = 0; i < rows; ++i) {
    if (FormatSetting(table[i].kind, table[i].target, &scratch_))
      WriteValue(table[i].key, scratch_);
  }
}

}  // namespace zunk
