// The 21 rows of the setting table, in the order their key lines are written.
#include "settings/setting_table.h"

namespace zunk {

// " * * *  В ы б е р и т е   ш а б л о н   л о г о т и п а  * * *"
const char kDefaultLogoFileName[] =
    " * * *  \xC2 \xFB \xE1 \xE5 \xF0 \xE8 \xF2 \xE5   \xF8 \xE0 \xE1 \xEB \xEE \xED   "
    "\xEB \xEE \xE3 \xEE \xF2 \xE8 \xEF \xE0  * * *";
// "РЕКЛАМА"
const char kDefaultMsgString[] = "\xD0\xC5\xCA\xCB\xC0\xCC\xC0";

#define ZUNK_ROW(kind, field, value) \
  { kind, #field, &ChannelProfile::field, nullptr, nullptr, static_cast<uint32_t>(value), nullptr }
#define ZUNK_COLOUR_ROW(field, value) \
  { kKindColor, #field, nullptr, &ChannelProfile::field, nullptr, value, nullptr }
#define ZUNK_TEXT_ROW(field, text) \
  { kKindText, #field, nullptr, nullptr, &ChannelProfile::field, 0, text }

const ProfileSetting SettingTable[kSettingCount] = {
    ZUNK_TEXT_ROW(LogoFileName, kDefaultLogoFileName),
    ZUNK_TEXT_ROW(MsgString, kDefaultMsgString),
    ZUNK_ROW(kKindInt, LogoPosX, 20),
    ZUNK_ROW(kKindInt, LogoPosY, 20),
    ZUNK_ROW(kKindInt, LogoPosTolerance, 3),
    ZUNK_ROW(kKindBool, LeftTopPixelColor, 0),
    ZUNK_COLOUR_ROW(ColorKey, 0x000000),
    ZUNK_ROW(kKindBool, ProcessingEnable, 1),
    ZUNK_ROW(kKindBool, ShowLogo, 1),
    ZUNK_ROW(kKindInt, LogoTransparency, 60),
    ZUNK_ROW(kKindInt, LogoOffResponseSpeed, 10),
    ZUNK_ROW(kKindInt, LogoOnResponseSpeed, 3),
    ZUNK_ROW(kKindInt, LogoDetectLevel, 80),
    ZUNK_ROW(kKindInt, LogoMatchLevel, 80),
    ZUNK_ROW(kKindInt, PreviewAction, 0),
    ZUNK_ROW(kKindInt, RecordAction, 0),
    ZUNK_ROW(kKindBool, MsgEnable, 1),
    ZUNK_ROW(kKindBool, MsgBackEnable, 0),
    ZUNK_COLOUR_ROW(MsgBackColor, 0x404040),
    ZUNK_COLOUR_ROW(MsgTextColor, 0x00C000),
    ZUNK_ROW(kKindInt, MsgTransparency, 60),
};

#undef ZUNK_ROW
#undef ZUNK_COLOUR_ROW
#undef ZUNK_TEXT_ROW

void* SettingField(const ProfileSetting& row, ChannelProfile* profile) {
  if (row.textField)
    return &(profile->*row.textField);
  if (row.unsignedField)
    return &(profile->*row.unsignedField);
  return &(profile->*row.signedField);
}

const void* SettingField(const ProfileSetting& row, const ChannelProfile& profile) {
  return SettingField(row, const_cast<ChannelProfile*>(&profile));
}

SettingDef BindSetting(const ProfileSetting& row, ChannelProfile* profile) {
  return {row.kind, row.key, SettingField(row, profile), row.defaultValue, 0, row.defaultText};
}

const ProfileSetting* FindSetting(std::string_view key) {
  for (const ProfileSetting& row : SettingTable) {
    if (key == row.key)
      return &row;
  }
  return nullptr;
}

}  // namespace zunk
