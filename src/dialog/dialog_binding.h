// The dialog's controls as data: which profile field each numeric edit, check box and
// list edits, the edits' ranges, length limits and messages, and the orders in which the
// refresh and the template-state pass visit the controls. Portable: no window calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/channel_profile.h"

namespace zunk {

// A numeric edit with its up-down control.
struct NumericBinding {
  int32_t edit;
  int32_t spin;
  int32_t ChannelProfile::*field;
  int32_t minimum;  // both bounds inclusive
  int32_t maximum;
  int32_t lengthLimit;  // characters the edit accepts
  const char* message;  // Windows-1251: shown when the edit's text is refused
};
constexpr size_t kNumericBindingCount = 7;
// In the order the spins are bound to their edits at initialisation.
extern const NumericBinding kNumericBindings[kNumericBindingCount];
const NumericBinding* FindNumericByEdit(int32_t edit);
const NumericBinding* FindNumericBySpin(int32_t spin);

// An automatic check box. A null field stands for SimulateLogoLoss, which is not kept in
// the profile.
struct CheckBinding {
  int32_t control;
  int32_t ChannelProfile::*field;
};
constexpr size_t kCheckBindingCount = 5;
extern const CheckBinding kCheckBindings[kCheckBindingCount];
const CheckBinding* FindCheck(int32_t control);

// A drop-down list whose selected index is the value.
struct ListBinding {
  int32_t control;
  int32_t ChannelProfile::*field;
};
constexpr size_t kListBindingCount = 2;
extern const ListBinding kListBindings[kListBindingCount];
const ListBinding* FindList(int32_t control);

// The message edit's length limit.
constexpr int32_t kMessageLengthLimit = 16;

// Reads an edit's text as an unsigned decimal number, as the system's dialog-item reader
// does with signed conversion off: blanks before and after are skipped, at least one
// digit is needed, nothing else may stand in the text, and values beyond 32 bits fail.
bool ReadUnsignedDecimal(const char* text, uint32_t* value);

// Whether a numeric edit's text is stored: it converted, and the value taken as a signed
// 32-bit integer lies within the binding's bounds.
bool AcceptsNumber(const NumericBinding& b, bool converted, uint32_t value);

// The position an up-down control is given for a field's value: its low 16 bits.
int16_t SpinPosition(int32_t value);

// One item of a list, from the template's initialisation data.
struct ListItem {
  int32_t control;
  std::string text;  // Windows-1251
};
// Reads the initialisation data: records of a 16-bit control ID, a 16-bit kind, a 32-bit
// byte count and that many bytes, ended by a zero control ID. Records of the add-string
// kind whose bytes are a NUL-terminated text give the items, in order; other records are
// passed over, and a record that would run past the data ends the reading.
std::vector<ListItem> ReadListItems(const uint8_t* data, size_t size);

// The spins the refresh sets in its sixth step, in order (the message transparency's
// spin follows later, in its eleventh).
constexpr size_t kRefreshSpinCount = 6;
extern const int32_t kRefreshSpins[kRefreshSpinCount];

// The template-state pass: the pad and the left-top pixel box (first step), then every
// editing control and label (third step), each enabled exactly while a template is
// loaded. The colour-key chooser (second step) has its own rule.
constexpr size_t kPadControlCount = 10;
extern const int32_t kPadControls[kPadControlCount];
constexpr size_t kEditingControlCount = 35;
extern const int32_t kEditingControls[kEditingControlCount];

}  // namespace zunk
