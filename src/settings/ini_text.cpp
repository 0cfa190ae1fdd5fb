// Lines, blanks, numbers and the text form of each setting kind.
#include "settings/ini_text.h"

#include <cstring>

namespace zunk {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1]))
    --n;
  return s.substr(0, n);
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

size_t ReadLineAt(std::string_view data, size_t pos, std::string_view* line) {
  if (pos >= data.size()) {
    *line = std::string_view();
    return data.size();
  }
  size_t lf = data.find('\n', pos);
  size_t end = lf == std::string_view::npos ? data.size() : lf;
  size_t next = lf == std::string_view::npos ? data.size() : lf + 1;
  std::string_view text = data.substr(pos, end - pos);
  if (!text.empty() && text.back() == '\r')
    text.remove_suffix(1);
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos)
    text = text.substr(0, nul);
  *line = text;
  return next;
}

uint64_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  return negative ? 0 - value : value;
}

namespace {

template <typename T>
void Put(void* target, T value) {
  std::memcpy(target, &value, sizeof value);
}

template <typename T>
T Get(const void* target) {
  T value;
  std::memcpy(&value, target, sizeof value);
  return value;
}

// Stores the low bits of a 64-bit value with the kind's width.
void StoreNumber(SettingKind kind, void* target, uint64_t v) {
  switch (kind) {
    case kKindByte:
      Put(target, static_cast<uint8_t>(v));
      break;
    case kKindShort:
    case kKindWord:
    case kKindWord2:
      Put(target, static_cast<uint16_t>(v));
      break;
    case kKindBool:
    case kKindColor:
    case kKindInt:
    case kKindDword:
    case kKindLong:
    case kKindDword2:
      Put(target, static_cast<uint32_t>(v));
      break;
    case kKindInt64:
    case kKindUint64:
      Put(target, v);
      break;
    default:
      break;
  }
}

}  // namespace

void StoreSettingText(SettingKind kind, void* target, std::string_view text) {
  if (kind == kKindText) {
    static_cast<std::string*>(target)->assign(text.data(), text.size());
  } else if (kind == kKindInt64 || kind == kKindUint64) {
    StoreNumber(kind, target, ParseDecimal(text));
  } else {
    // atoi: a 32-bit number, of which the narrow kinds keep the low bits.
    StoreNumber(kind, target, static_cast<uint32_t>(ParseDecimal(text)));
  }
}

void StoreSettingDefault(const SettingDef& row) {
  if (row.kind == kKindText) {
    *static_cast<std::string*>(row.target) = row.defaultText ? row.defaultText : "";
  } else {
    StoreNumber(row.kind, row.target,
                (static_cast<uint64_t>(row.defaultHigh) << 32) | row.defaultValue);
  }
}

std::string FormatInt32(int32_t v) {
  return std::to_string(v);
}
std::string FormatInt64(int64_t v) {
  return std::to_string(static_cast<long long>(v));
}

bool FormatSetting(SettingKind kind, const void* target, std::string* out) {
  switch (kind) {
    case kKindByte:
      *out = std::to_string(static_cast<unsigned>(Get<uint8_t>(target)));
      return true;
    case kKindShort:
      *out = std::to_string(static_cast<int>(Get<int16_t>(target)));
      return true;
    case kKindWord:
    case kKindWord2:
      *out = std::to_string(static_cast<unsigned>(Get<uint16_t>(target)));
      return true;
    case kKindBool:
    case kKindColor:
    case kKindDword:
    case kKindDword2:
      *out = std::to_string(static_cast<unsigned long>(Get<uint32_t>(target)));
      return true;
    case kKindInt:
    case kKindLong:
      *out = std::to_string(static_cast<long>(Get<int32_t>(target)));
      return true;
    case kKindInt64:
      *out = std::to_string(static_cast<long long>(Get<int64_t>(target)));
      return true;
    case kKindUint64:
      *out = std::to_string(static_cast<unsigned long long>(Get<uint64_t>(target)));
      return true;
    case kKindText:
      *out = *static_cast<const std::string*>(target);
      return true;
    default:
      return false;
  }
}

}  // namespace zunk
