// The rows of the dialog's controls and the number reading of its numeric edits.
#include "dialog/dialog_binding.h"

#include <cstring>

#include "dialog/resource_ids.h"

namespace zunk {

namespace {

// The validation messages, Windows-1251.
// "Значение допуска на смещение логотипа должно быть цифрой от 0 до 15"
const char kToleranceMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xE4\xEE\xEF\xF3\xF1\xEA\xE0 \xED\xE0 \xF1\xEC\xE5\xF9"
    "\xE5\xED\xE8\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 \xE4\xEE\xEB\xE6\xED\xEE \xE1\xFB\xF2"
    "\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 0 \xE4\xEE 15";
// "Значение прозрачности должно быть цифрой от 0 до 100"
const char kTransparencyMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xEF\xF0\xEE\xE7\xF0\xE0\xF7\xED\xEE\xF1\xF2\xE8 \xE4"
    "\xEE\xEB\xE6\xED\xEE \xE1\xFB\xF2\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 0 \xE4\xEE 100";
// "Значение скорости реакции на пропадание логотипа должно быть цифрой от 1 до 100"
const char kOffSpeedMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xE8 \xF0\xE5\xE0\xEA\xF6"
    "\xE8\xE8 \xED\xE0 \xEF\xF0\xEE\xEF\xE0\xE4\xE0\xED\xE8\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF"
    "\xE0 \xE4\xEE\xEB\xE6\xED\xEE \xE1\xFB\xF2\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 1 \xE4"
    "\xEE 100";
// "Значение скорости реакции на появление логотипа должно быть цифрой от 1 до 100"
const char kOnSpeedMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xE8 \xF0\xE5\xE0\xEA\xF6"
    "\xE8\xE8 \xED\xE0 \xEF\xEE\xFF\xE2\xEB\xE5\xED\xE8\xE5 \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 "
    "\xE4\xEE\xEB\xE6\xED\xEE \xE1\xFB\xF2\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 1 \xE4\xEE 100";
// "Значение уровня детектирования логотипа должно быть цифрой от 0 до 100"
const char kDetectLevelMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xF3\xF0\xEE\xE2\xED\xFF \xE4\xE5\xF2\xE5\xEA\xF2\xE8"
    "\xF0\xEE\xE2\xE0\xED\xE8\xFF \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xE0 \xE4\xEE\xEB\xE6\xED\xEE "
    "\xE1\xFB\xF2\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 0 \xE4\xEE 100";
// "Значение уровня соответствия логотипов должно быть цифрой от 0 до 100"
const char kMatchLevelMessage[] =
    "\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5 \xF3\xF0\xEE\xE2\xED\xFF \xF1\xEE\xEE\xF2\xE2\xE5\xF2"
    "\xF1\xF2\xE2\xE8\xFF \xEB\xEE\xE3\xEE\xF2\xE8\xEF\xEE\xE2 \xE4\xEE\xEB\xE6\xED\xEE \xE1"
    "\xFB\xF2\xFC \xF6\xE8\xF4\xF0\xEE\xE9 \xEE\xF2 0 \xE4\xEE 100";

// The record kind that adds a text to a combo box's list.
constexpr uint16_t kAddString = 0x0403;

// The blanks a number typed into an edit box may have around it; the settings file's
// reader (settings/ini_text.h) skips every C-locale blank instead.
bool IsSpaceOrTab(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

const NumericBinding kNumericBindings[kNumericBindingCount] = {
    {IDC_TOLERANCE, IDC_TOLERANCE_SPIN, &ChannelProfile::LogoPosTolerance, 0, 15, 2,
     kToleranceMessage},
    {IDC_LOGO_TRANSPARENCY, IDC_LOGO_TRANSPARENCY_SPIN, &ChannelProfile::LogoTransparency, 0, 100,
     3, kTransparencyMessage},
    {IDC_OFF_SPEED, IDC_OFF_SPEED_SPIN, &ChannelProfile::LogoOffResponseSpeed, 1, 100, 3,
     kOffSpeedMessage},
    {IDC_ON_SPEED, IDC_ON_SPEED_SPIN, &ChannelProfile::LogoOnResponseSpeed, 1, 100, 3,
     kOnSpeedMessage},
    {IDC_DETECT_LEVEL, IDC_DETECT_LEVEL_SPIN, &ChannelProfile::LogoDetectLevel, 0, 100, 3,
     kDetectLevelMessage},
    {IDC_MATCH_LEVEL, IDC_MATCH_LEVEL_SPIN, &ChannelProfile::LogoMatchLevel, 0, 100, 3,
     kMatchLevelMessage},
    {IDC_MSG_TRANSPARENCY, IDC_MSG_TRANSPARENCY_SPIN, &ChannelProfile::MsgTransparency, 0, 100, 3,
     kTransparencyMessage},
};

const CheckBinding kCheckBindings[kCheckBindingCount] = {
    {IDC_PROCESSING_ENABLE, &ChannelProfile::ProcessingEnable},
    {IDC_SHOW_LOGO, &ChannelProfile::ShowLogo},
    {IDC_MSG_ENABLE, &ChannelProfile::MsgEnable},
    {IDC_MSG_BACK_ENABLE, &ChannelProfile::MsgBackEnable},
    {IDC_TEST, nullptr},
};

const ListBinding kListBindings[kListBindingCount] = {
    {IDC_PREVIEW_ACTION, &ChannelProfile::PreviewAction},
    {IDC_RECORD_ACTION, &ChannelProfile::RecordAction},
};

const int32_t kRefreshSpins[kRefreshSpinCount] = {
    IDC_LOGO_TRANSPARENCY_SPIN, IDC_TOLERANCE_SPIN,    IDC_OFF_SPEED_SPIN,
    IDC_ON_SPEED_SPIN,          IDC_DETECT_LEVEL_SPIN, IDC_MATCH_LEVEL_SPIN,
};

const int32_t kPadControls[kPadControlCount] = {
    IDC_CORNER_TOP_RIGHT, IDC_CORNER_BOTTOM_RIGHT,
    IDC_CORNER_TOP_LEFT,  IDC_CORNER_BOTTOM_LEFT,
    IDC_CENTRE,           IDC_ARROW_UP,
    IDC_ARROW_RIGHT,      IDC_ARROW_LEFT,
    IDC_ARROW_DOWN,       IDC_LEFT_TOP_PIXEL,
};

const int32_t kEditingControls[kEditingControlCount] = {
    IDC_PROCESSING_ENABLE,
    IDC_SHOW_LOGO,
    IDC_LOGO_TRANSPARENCY,
    IDC_LOGO_TRANSPARENCY_SPIN,
    IDC_LOGO_TRANSPARENCY_LABEL,
    IDC_TOLERANCE,
    IDC_TOLERANCE_SPIN,
    IDC_TOLERANCE_LABEL,
    IDC_MATCH_LEVEL,
    IDC_MATCH_LEVEL_SPIN,
    IDC_MATCH_LEVEL_LABEL,
    IDC_DETECT_LEVEL,
    IDC_DETECT_LEVEL_SPIN,
    IDC_DETECT_LEVEL_LABEL,
    IDC_ON_SPEED,
    IDC_ON_SPEED_SPIN,
    IDC_ON_SPEED_LABEL,
    IDC_OFF_SPEED,
    IDC_OFF_SPEED_SPIN,
    IDC_OFF_SPEED_LABEL,
    IDC_PREVIEW_ACTION,
    IDC_PREVIEW_ACTION_LABEL,
    IDC_RECORD_ACTION,
    IDC_RECORD_ACTION_LABEL,
    IDC_TEST,
    IDC_MSG_ENABLE,
    IDC_MSG_STRING,
    IDC_MSG_BACK_ENABLE,
    IDC_MSG_BACK_COLOR_LABEL,
    IDC_MSG_BACK_COLOR,
    IDC_MSG_TEXT_COLOR_LABEL,
    IDC_MSG_TEXT_COLOR,
    IDC_MSG_TRANSPARENCY,
    IDC_MSG_TRANSPARENCY_SPIN,
    IDC_MSG_TRANSPARENCY_LABEL,
};

namespace {

// The row of `rows` whose `key` is `id`, or null.
template <typename Row, size_t N>
const Row* FindRow(const Row (&rows)[N], int32_t Row::*key, int32_t id) {
  for (const Row& r : rows)
    if (r.*key == id)
      return &r;
  return nullptr;
}

}  // namespace

const NumericBinding* FindNumericByEdit(int32_t edit) {
  return FindRow(kNumericBindings, &NumericBinding::edit, edit);
}

const NumericBinding* FindNumericBySpin(int32_t spin) {
  return FindRow(kNumericBindings, &NumericBinding::spin, spin);
}

const CheckBinding* FindCheck(int32_t control) {
  return FindRow(kCheckBindings, &CheckBinding::control, control);
}

const ListBinding* FindList(int32_t control) {
  return FindRow(kListBindings, &ListBinding::control, control);
}

std::vector<ListItem> ReadListItems(const uint8_t* data, size_t size) {
  std::vector<ListItem> items;
  if (!data)
    return items;
  size_t at = 0;
  while (size - at >= 8) {
    uint16_t control, kind;
    uint32_t length;
    std::memcpy(&control, data + at, 2);
    std::memcpy(&kind, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    if (control == 0)
      break;
    at += 8;
    if (length > size - at)
      break;
    const char* text = reinterpret_cast<const char*>(data + at);
    if (kind == kAddString && length > 0 && std::memchr(text, '\0', length) == text + length - 1)
      items.push_back({static_cast<int32_t>(control), std::string(text, length - 1)});
    at += length;
  }
  return items;
}

bool ReadUnsignedDecimal(const char* text, uint32_t* value) {
  if (!text)
    return false;
  const char* p = text;
  while (IsSpaceOrTab(*p))
    ++p;
  uint64_t v = 0;
  const char* digits = p;
  while (*p >= '0' && *p <= '9') {
    v = v * 10 + static_cast<uint64_t>(*p - '0');
    if (v > 0xFFFFFFFFu)
      return false;
    ++p;
  }
  if (p == digits)
    return false;
  while (IsSpaceOrTab(*p))
    ++p;
  if (*p != '\0')
    return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

bool AcceptsNumber(const NumericBinding& b, bool converted, uint32_t value) {
  if (!converted)
    return false;
  const int32_t v = static_cast<int32_t>(value);
  return v >= b.minimum && v <= b.maximum;
}

int16_t SpinPosition(int32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu));
}

}  // namespace zunk
