// The setting table: one row per persistent setting drives reading, writing and the
// built-in defaults of a profile's INI section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/channel_profile.h"

namespace zunk {

// How a setting is stored in memory and written as text.
enum SettingKind : int32_t {
  kKindByte = 0,     // unsigned 8-bit, "%u"
  kKindShort = 1,    // signed 16-bit, "%d"
  kKindWord = 2,     // unsigned 16-bit, "%u"
  kKindWord2 = 3,    // unsigned 16-bit, "%u"
  kKindBool = 4,     // 32-bit, "%u"
  kKindColor = 5,    // 32-bit, "%u"
  kKindInt = 6,      // 32-bit, "%d"
  kKindDword = 7,    // 32-bit, "%u"
  kKindLong = 8,     // 32-bit, "%d"
  kKindDword2 = 9,   // 32-bit, "%u"
  kKindInt64 = 10,   // signed 64-bit, decimal with sign
  kKindUint64 = 11,  // unsigned 64-bit, decimal
  kKindText = 12,    // a std::string, written unchanged
};
constexpr int32_t kKindCount = 13;  // codes from here up are skipped both ways

// A row of any setting table: a key bound to the place its value lives.
struct SettingDef {
  SettingKind kind;
  const char* key;          // key name in the section
  void* target;             // where the value lives
  uint32_t defaultValue;    // numbers: the default (low half for the 64-bit kinds)
  uint32_t defaultHigh;     // high half of a 64-bit default
  const char* defaultText;  // kKindText: the default text
};

// A row of the profile's table: a key and the field of a ChannelProfile it names. Exactly
// one of the three fields is set, the one of the kind's type.
struct ProfileSetting {
  SettingKind kind;  // kKindBool, kKindColor, kKindInt or kKindText
  const char* key;
  int32_t ChannelProfile::*signedField;     // kKindBool, kKindInt
  uint32_t ChannelProfile::*unsignedField;  // kKindColor
  std::string ChannelProfile::*textField;   // kKindText
  uint32_t defaultValue;
  const char* defaultText;  // kKindText
};

constexpr size_t kSettingCount = 21;
extern const ProfileSetting SettingTable[kSettingCount];

// The row's field in `profile`.
void* SettingField(const ProfileSetting& row, ChannelProfile* profile);
const void* SettingField(const ProfileSetting& row, const ChannelProfile& profile);
// The row as a table row whose target is its field in `profile`.
SettingDef BindSetting(const ProfileSetting& row, ChannelProfile* profile);
// The row of `key` (exact), or null.
const ProfileSetting* FindSetting(std::string_view key);

// " * * *  В ы б е р и т е   ш а б л о н   л о г о т и п а  * * *" in Windows-1251:
// the prompt shown while no template file is chosen.
extern const char kDefaultLogoFileName[];
// "РЕКЛАМА" in Windows-1251.
extern const char kDefaultMsgString[];

}  // namespace zunk
