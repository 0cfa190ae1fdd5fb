// Parsing a settings file into lines and the lookups over them.
#include "settings/settings_document.h"

#include <algorithm>

#include "settings/ini_text.h"

namespace zunk {

namespace {

bool IsHeaderText(std::string_view trimmed) {
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string_view TrimmedLine(const SettingsDocument& doc, size_t line) {
  return Trim(LineText(doc, line));
}

// Orders header lines by their trimmed text, for the searches over doc.headers.
struct HeaderTextLess {
  const SettingsDocument* doc;
  bool operator()(size_t a, std::string_view b) const { return TrimmedLine(*doc, a) < b; }
  bool operator()(std::string_view a, size_t b) const { return a < TrimmedLine(*doc, b); }
};

}  // namespace

SettingsDocument ParseSettings(std::string_view bytes) {
  SettingsDocument doc;
  doc.bytes.assign(bytes.data(), bytes.size());
  // A text-mode reader stops at Ctrl-Z; what follows is kept but never read.
  const size_t eof = bytes.find('\x1A');
  doc.dataEnd = eof == std::string_view::npos ? bytes.size() : eof;
  const std::string_view data = bytes.substr(0, doc.dataEnd);
  for (size_t p = 0; p < data.size();) {
    const size_t lf = data.find('\n', p);
    SettingsLine l;
    l.start = p;
    l.contentEnd = lf == std::string_view::npos ? data.size() : lf;
    l.next = lf == std::string_view::npos ? data.size() : lf + 1;
    if (l.contentEnd > p && data[l.contentEnd - 1] == '\r')
      --l.contentEnd;
    const size_t nul = data.substr(p, l.contentEnd - p).find('\0');
    l.textEnd = nul == std::string_view::npos ? l.contentEnd : p + nul;
    doc.lines.push_back(l);
    p = l.next;
  }
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    if (IsHeaderText(TrimmedLine(doc, i)))
      doc.headers.push_back(i);
  }
  std::stable_sort(doc.headers.begin(), doc.headers.end(), [&doc](size_t a, size_t b) {
    return TrimmedLine(doc, a) < TrimmedLine(doc, b);
  });
  return doc;
}

std::string FormatSettings(const SettingsDocument& doc) {
  return doc.bytes;
}

std::string_view LineText(const SettingsDocument& doc, size_t line) {
  const SettingsLine& l = doc.lines[line];
  return std::string_view(doc.bytes).substr(l.start, l.textEnd - l.start);
}

size_t LineAt(const SettingsDocument& doc, size_t pos) {
  if (pos >= doc.dataEnd)
    return doc.lines.size();
  auto it = std::lower_bound(doc.lines.begin(), doc.lines.end(), pos,
                             [](const SettingsLine& l, size_t p) { return l.start < p; });
  return static_cast<size_t>(it - doc.lines.begin());
}

size_t LineStart(const SettingsDocument& doc, size_t line) {
  return line < doc.lines.size() ? doc.lines[line].start : doc.dataEnd;
}

size_t FindHeaderLine(const SettingsDocument& doc, std::string_view name, size_t from, bool wrap) {
  std::string target = "[";
  target.append(Trim(name));
  target += ']';
  const std::string_view t = target;
  auto range = std::equal_range(doc.headers.begin(), doc.headers.end(), t, HeaderTextLess{&doc});
  if (range.first == range.second)
    return kNoLine;
  // Equal texts are in file order: the first at or after `from`, else the first of all.
  auto at = std::lower_bound(range.first, range.second, from);
  if (at != range.second)
    return *at;
  return wrap ? *range.first : kNoLine;
}

bool NextHeaderLine(const SettingsDocument& doc, size_t from, size_t* cursor, size_t* header) {
  *cursor = from;
  for (size_t i = from; i < doc.lines.size(); ++i) {
    const std::string_view t = TrimmedLine(doc, i);
    if (t.empty())
      continue;  // the cursor stays before blank lines above a header
    if (IsHeaderText(t)) {
      *header = i;
      return true;
    }
    *cursor = i + 1;
  }
  return false;
}

std::string_view HeaderName(const SettingsDocument& doc, size_t header) {
  const std::string_view t = TrimmedLine(doc, header);
  return t.substr(1, t.size() - 2);
}

size_t NextKeyLine(const SettingsDocument& doc, size_t line, KeyLine* out) {
  for (; line < doc.lines.size(); ++line) {
    const std::string_view t = TrimLeft(LineText(doc, line));
    if (t.empty())
      continue;
    if (t.front() == '[')
      return kNoLine;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
      continue;
    out->key = TrimRight(t.substr(0, eq));
    out->text = t.substr(eq + 1);
    out->line = line;
    return line + 1;
  }
  return kNoLine;
}

std::vector<KeyLine> SectionKeys(const SettingsDocument& doc, size_t header) {
  std::vector<KeyLine> keys;
  if (header == kNoLine)
    return keys;
  KeyLine k;
  for (size_t line = NextKeyLine(doc, header + 1, &k); line != kNoLine;
       line = NextKeyLine(doc, line, &k))
    keys.push_back(k);
  // Stable: of equal keys the first line stays first.
  std::stable_sort(keys.begin(), keys.end(),
                   [](const KeyLine& a, const KeyLine& b) { return a.key < b.key; });
  return keys;
}

const KeyLine* FirstKeyLine(const std::vector<KeyLine>& keys, std::string_view key) {
  auto at = std::lower_bound(keys.begin(), keys.end(), key,
                             [](const KeyLine& k, std::string_view v) { return k.key < v; });
  return at != keys.end() && at->key == key ? &*at : nullptr;
}

}  // namespace zunk
