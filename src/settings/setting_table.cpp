// The 21 rows of the setting table, in the order their key lines are written.
#include "settings/setting_table.h"

#include "settings/channel_profile.h"

namespace zunk {

// " * * *  В ы б е р и т е   ш а б л о н   л о г о т и п а  * * *"
const char kDefaultLogoFileName[] =
    " * * *  \xC2 \xFB \xE1 \xE5 \xF0 \xE8 \xF2 \xE5   \xF8 \xE0 \xE1 \xEB \xEE \xED   "
    "\xEB \xEE \xE3 \xEE \xF2 \xE8 \xEF \xE0  * * *";
// "РЕКЛАМА"
const char kDefaultMsgString[] = "\xD0\xC5\xCA\xCB\xC0\xCC\xC0";

#define ZUNK_ROW(kind, field, value) \
  { kind, #field, &StagingProfile.field, static_cast<uint32_t>(value), 0, nullptr }
#define ZUNK_TEXT_ROW(field, text) \
  { kKindText, #field, &StagingProfile.field, 0, 0, text }

const SettingDef SettingTable[kSettingCount] = {
    ZUNK_TEXT_ROW(LogoFileName, kDefaultLogoFileName),
    ZUNK_TEXT_ROW(MsgString, kDefaultMsgString),
    ZUNK_ROW(kKindInt, LogoPosX, 20),
    ZUNK_ROW(kKindInt, LogoPosY, 20),
    ZUNK_ROW(kKindInt, LogoPosTolerance, 3),
    ZUNK_ROW(kKindBool, LeftTopPixelColor, 0),
    ZUNK_ROW(kKindColor, ColorKey, 0x000000),
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
    ZUNK_ROW(kKindColor, MsgBackColor, 0x404040),
    ZUNK_ROW(kKindColor, MsgTextColor, 0x00C000),
    ZUNK_ROW(kKindInt, MsgTransparency, 60),
};

#undef ZUNK_ROW
#undef ZUNK_TEXT_ROW

}  // namespace zunk
