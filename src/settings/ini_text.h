// Text rules of the settings file, on bytes only: lines, blanks, numbers as the old C
// runtime reads them, and each setting kind's text form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_table.h"

namespace zunk {

// Blanks are the C locale's white space: space, tab, CR, LF, VT, FF.
bool IsBlank(char c);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string_view Trim(std::string_view s);

// The line starting at `pos` of `data`, without its line end (LF, or CR LF; a CR at
// the very end of the data is dropped too) and cut at a NUL, as a C string reader sees
// it. Returns the position after the line end, or data.size() for the last line.
// At or beyond the end of the data the line is empty and data.size() is returned.
size_t ReadLineAt(std::string_view data, size_t pos, std::string_view* line);

// The decimal number at the start of `text` as the C runtime's atoi/_atoi64 read it:
// leading blanks, an optional sign, digits up to the first other character (none: 0).
// Digits beyond the range wrap around modulo 2^64, so that unsigned values written
// with "%u" read back as the same bits.
uint64_t ParseDecimal(std::string_view text);
inline int32_t AtoI(std::string_view text) {
  return static_cast<int32_t>(static_cast<uint32_t>(ParseDecimal(text)));
}
inline int64_t AtoI64(std::string_view text) {
  return static_cast<int64_t>(ParseDecimal(text));
}

// Stores the text of a found key into `target` with the kind's width.
void StoreSettingText(SettingKind kind, void* target, std::string_view text);
// Stores a row's default into its target.
void StoreSettingDefault(const SettingDef& row);
// Formats `target` by its kind. Returns false for kinds the store does not handle.
bool FormatSetting(SettingKind kind, const void* target, std::string* out);

std::string FormatInt32(int32_t v);
std::string FormatInt64(int64_t v);

}  // namespace zunk
