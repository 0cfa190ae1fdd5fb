// Setting key values in an existing settings file's bytes, every other byte kept.
#include <algorithm>

#include "settings/ini_text.h"
#include "settings/profile_codec.h"

namespace zunk {

namespace {

// Bytes that would end a line, or the readable data, inside a value or a key.
constexpr std::string_view kLineBreakers("\r\n\0\x1A", 4);

// Replaces [at, at + length) of the bytes by text; edits never overlap.
struct Edit {
  size_t at;
  size_t length;
  std::string text;
};

std::string ApplyEdits(std::string_view bytes, std::vector<Edit> edits) {
  std::stable_sort(edits.begin(), edits.end(),
                   [](const Edit& a, const Edit& b) { return a.at < b.at; });
  std::string out;
  size_t from = 0;
  for (const Edit& e : edits) {
    out.append(bytes.substr(from, e.at - from));
    out += e.text;
    from = e.at + e.length;
  }
  out.append(bytes.substr(from));
  return out;
}

bool IsKeyName(std::string_view key) {
  return !key.empty() && key.front() != '[' && key.find('=') == std::string_view::npos &&
         key.find_first_of(kLineBreakers) == std::string_view::npos;
}

// What a new line at byte `at` needs before it: a line end when it would otherwise continue
// the last line of the data.
std::string_view LineEndBefore(const SettingsDocument& doc, size_t at) {
  if (at == 0 || doc.bytes[at - 1] == '\n')
    return {};
  return "\r\n";
}

// The last line of a section that is not blank (the header when all are), before the line
// that ends the section for a key lookup.
size_t LastSectionLine(const SettingsDocument& doc, size_t header) {
  size_t last = header;
  for (size_t i = header + 1; i < doc.lines.size(); ++i) {
    const std::string_view t = TrimLeft(LineText(doc, i));
    if (!t.empty() && t.front() == '[')
      break;
    if (!TrimRight(t).empty())
      last = i;
  }
  return last;
}

// Where a missing section goes so that Init reads it for what it is: "DEFAULT" at the top,
// "COMMON" above the first channel section, a channel's after everything readable.
size_t MissingSectionAt(const SettingsDocument& doc, std::string_view name) {
  if (name == "DEFAULT")
    return 0;
  if (name == "COMMON") {
    size_t cursor = 0, header = 0;
    if (NextHeaderLine(doc, LayOutSections(doc).channelsFrom, &cursor, &header))
      return doc.lines[header].start;
  }
  return doc.dataEnd;
}

}  // namespace

std::string SetSectionValues(std::string_view bytes,
                             std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& keyTexts) {
  // The keys in the order first given, each with its last text.
  std::vector<std::pair<std::string_view, std::string_view>> wanted;
  for (const auto& [rawKey, rawText] : keyTexts) {
    const std::string_view key = Trim(rawKey);
    if (!IsKeyName(key))
      continue;
    const std::string_view text = std::string_view(rawText).substr(
        0, std::min(rawText.size(), std::string_view(rawText).find_first_of(kLineBreakers)));
    auto same =
        std::find_if(wanted.begin(), wanted.end(), [key](const auto& w) { return w.first == key; });
    if (same != wanted.end())
      same->second = text;
    else
      wanted.emplace_back(key, text);
  }

  const SettingsDocument doc = ParseSettings(bytes);
  const SectionRead read = SectionReadFor(doc, section);
  const size_t header = read.header;
  std::vector<Edit> edits;
  std::string added;
  if (header == kNoLine) {
    added = FormatHeaderLine(read.lookupName);
    for (const auto& [key, text] : wanted)
      added += FormatKeyLine(key, text);
    const size_t at = MissingSectionAt(doc, read.lookupName);
    edits.push_back({at, 0, std::string(LineEndBefore(doc, at)) + added});
    return ApplyEdits(bytes, std::move(edits));
  }
  const std::vector<KeyLine> keys = SectionKeys(doc, header);
  for (const auto& [key, text] : wanted) {
    const KeyLine* k = FirstKeyLine(keys, key);
    if (!k) {
      added += FormatKeyLine(key, text);
      continue;
    }
    // The value is everything after the "=" up to the line end, a NUL and what follows
    // it included: the plug-in then reads exactly the new text.
    const size_t start = static_cast<size_t>(k->text.data() - doc.bytes.data());
    edits.push_back({start, doc.lines[k->line].contentEnd - start, std::string(text)});
  }
  if (!added.empty()) {
    const size_t at = doc.lines[LastSectionLine(doc, header)].next;
    edits.push_back({at, 0, std::string(LineEndBefore(doc, at)) + added});
  }
  return ApplyEdits(bytes, std::move(edits));
}

}  // namespace zunk
