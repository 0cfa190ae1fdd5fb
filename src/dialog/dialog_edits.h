// The settings dialog's edits of the profile table: a number, the message text, a check box,
// a list, a colour, the left-top pixel, the template file, the logo moved and placed, and
// Cancel's copy-back. Portable: the window's handlers read a control, call one of these and
// show what it returns; the thread stress test calls the same functions. Each takes the
// module lock itself, so never call one with the lock held.
#pragma once

#include <cstdint>
#include <string>

#include "dialog/dialog_binding.h"
#include "dialog/dialog_profile.h"
#include "settings/channel_profile.h"

namespace zunk {

// Where an edit comes from: the view the dialog's last refresh showed, and whether the
// edit is a notification that refresh raised itself (see EditTarget). With no profile to
// write into, an edit changes nothing and the held value is the one shown.
struct EditOrigin {
  const ProfileView* shown;
  bool refreshing;
};

// A numeric edit's text: stored when it reads as a number within the row's bounds. Returns
// whether the text was accepted (a refused text is the caller's to report).
bool SetNumber(const EditOrigin& o, const NumericBinding& b, const char* text);
// The value a numeric field holds: the edited profile's, or the one shown.
int32_t HeldNumber(const EditOrigin& o, int32_t ChannelProfile::*field);

// The message text. Returns false when no profile took it.
bool SetMessageText(const EditOrigin& o, const std::string& text);

// A check box's new state (0 or 1); the test box sets SimulateLogoLoss. Returns the state
// the field holds afterwards.
int32_t SetCheck(const EditOrigin& o, const CheckBinding& b, int32_t state);

// A list's selected index. Returns false when no profile took it.
bool SetListChoice(const EditOrigin& o, const ListBinding& b, int32_t selected);

// A colour chosen for a colour field, and the colour a field holds.
void SetColour(const EditOrigin& o, uint32_t ChannelProfile::*field, uint32_t colour);
uint32_t HeldColour(const EditOrigin& o, uint32_t ChannelProfile::*field);

// The left-top pixel box: ticked, the colour key is the template's top-left pixel; cleared,
// it is the key the profile had when the dialog opened (or when the channel was added while
// it was open).
void SetLeftTopPixel(const EditOrigin& o, int32_t state);
int32_t HeldLeftTopPixel(const EditOrigin& o);

// A template file chosen: stored and loaded (whether or not it loads). Returns false when
// no profile took it.
bool ChooseTemplate(const EditOrigin& o, const std::string& path);

// The logo moved by dx, dy reference pixels. Nothing is clamped: the frame path keeps the
// position inside the frame.
void MoveLogo(const EditOrigin& o, int32_t dx, int32_t dy);

// The logo placed in a corner of the reference frame or at its centre. Only with a
// template: without one there is no size to place.
enum class LogoPlace { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kCentre };
void PlaceLogo(const EditOrigin& o, LogoPlace place);

// Cancel: every profile goes back to the snapshot taken when the dialog opened.
void CancelEdits();

}  // namespace zunk
