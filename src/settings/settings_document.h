// A settings file as its bytes and the lines a line reader sees in them, and the lookups
// every reader of the file shares: section headers from a cursor, the next header in file
// order, and a section's key lines. Pure: bytes in, positions and views out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zunk {

// One line of the readable data, as byte offsets into the file's bytes.
struct SettingsLine {
  size_t start;       // the first byte
  size_t textEnd;     // the end of the text a line reader returns: before the line end or a NUL
  size_t contentEnd;  // before the line end (LF, or CR LF, or one CR at the end of the data)
  size_t next;        // the start of the next line: after the line end
};

struct SettingsDocument {
  std::string bytes;   // the file as it is, every byte
  size_t dataEnd = 0;  // where a text-mode reader stops: the first Ctrl-Z, else the end
  std::vector<SettingsLine> lines;  // the lines of bytes[0, dataEnd), in file order
  // The lines whose trimmed text starts with "[" and ends with "]", ordered by that text
  // and then by position: the header search is a lookup.
  std::vector<size_t> headers;
};

constexpr size_t kNoLine = static_cast<size_t>(-1);

SettingsDocument ParseSettings(std::string_view bytes);
// The document's bytes: an unchanged document formats to the bytes it was parsed from.
std::string FormatSettings(const SettingsDocument& doc);

// The text of a line as a line reader returns it: no line end, cut at a NUL.
std::string_view LineText(const SettingsDocument& doc, size_t line);
// The index of the line starting at byte `pos`; lines.size() at or beyond the data's end.
size_t LineAt(const SettingsDocument& doc, size_t pos);
// The byte where a line starts; dataEnd for lines.size().
size_t LineStart(const SettingsDocument& doc, size_t line);

// The first line at or after `from` whose trimmed text is "[" + Trim(name) + "]"; when
// there is none and `wrap` is set, the first such line before it. kNoLine when none.
size_t FindHeaderLine(const SettingsDocument& doc,
                      std::string_view name,
                      size_t from,
                      bool wrap = true);

// The next section header from line `from` on, in file order, with no wrap: a line whose
// trimmed text starts with "[" and ends with "]". *cursor becomes the line after the last
// non-blank line passed over (blank lines just above a header stay after the cursor), or
// stays `from` when there was none. False at the end of the data.
bool NextHeaderLine(const SettingsDocument& doc, size_t from, size_t* cursor, size_t* header);
// The text between the brackets of a header line's trimmed text, unchanged.
std::string_view HeaderName(const SettingsDocument& doc, size_t header);

// A key line of a section: the text before its first "=", trimmed at its end, and
// everything after that "=" up to the end of the line's text.
struct KeyLine {
  std::string_view key;
  std::string_view text;
  size_t line = kNoLine;
};

// The next key line from line `line` on, within a section: blank lines and lines without
// "=" are passed over; a line starting with "[" (after blanks) ends the section. Returns
// the line after the key line found, or kNoLine when the section ended first.
size_t NextKeyLine(const SettingsDocument& doc, size_t line, KeyLine* out);

// Every key line of the section whose header is `header`, ordered by key and, for equal
// keys, by position: the first line of a key, the one a lookup finds, comes first.
std::vector<KeyLine> SectionKeys(const SettingsDocument& doc, size_t header);
// In keys from SectionKeys: the first line with `key`, or null.
const KeyLine* FirstKeyLine(const std::vector<KeyLine>& keys, std::string_view key);

}  // namespace zunk
