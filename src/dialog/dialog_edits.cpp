// The dialog's edits of the profile table, each under the module lock.
#include "dialog/dialog_edits.h"

#include "base/reference_frame.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"

namespace zunk {

namespace {

// The profile an edit writes into; the caller holds the lock.
ChannelProfile* Target(const EditOrigin& o) {
  return EditTarget(o.refreshing, o.shown->index);
}

}  // namespace

bool SetNumber(const EditOrigin& o, const NumericBinding& b, const char* text) {
  uint32_t value = 0;
  const bool converted = ReadUnsignedDecimal(text, &value);
  if (!AcceptsNumber(b, converted, value))
    return false;
  LockScope lock;
  if (ChannelProfile* p = Target(o))
    p->*b.field = static_cast<int32_t>(value);
  return true;
}

int32_t HeldNumber(const EditOrigin& o, int32_t ChannelProfile::*field) {
  LockScope lock;
  if (const ChannelProfile* p = Target(o))
    return p->*field;
  return o.shown->profile.*field;
}

bool SetMessageText(const EditOrigin& o, const std::string& text) {
  LockScope lock;
  ChannelProfile* p = Target(o);
  if (p)
    p->MsgString = text;
  return p != nullptr;
}

int32_t SetCheck(const EditOrigin& o, const CheckBinding& b, int32_t state) {
  LockScope lock;
  if (!b.field) {
    SimulateLogoLoss = state;
    return state;
  }
  if (ChannelProfile* p = Target(o)) {
    p->*b.field = state;
    return state;
  }
  return o.shown->profile.*b.field;
}

bool SetListChoice(const EditOrigin& o, const ListBinding& b, int32_t selected) {
  LockScope lock;
  ChannelProfile* p = Target(o);
  if (p)
    p->*b.field = selected;
  return p != nullptr;
}

void SetColour(const EditOrigin& o, uint32_t ChannelProfile::*field, uint32_t colour) {
  LockScope lock;
  if (ChannelProfile* p = Target(o))
    p->*field = colour;
}

uint32_t HeldColour(const EditOrigin& o, uint32_t ChannelProfile::*field) {
  LockScope lock;
  if (const ChannelProfile* p = Target(o))
    return p->*field;
  return o.shown->profile.*field;
}

void SetLeftTopPixel(const EditOrigin& o, int32_t state) {
  LockScope lock;
  ChannelProfile* p = Target(o);
  if (!p)
    return;
  p->LeftTopPixelColor = state;
  if (state)
    ApplyLeftTopPixelRule();
  else if (static_cast<size_t>(CurrentIndex) < ProfileSnapshot.size())
    p->ColorKey = ProfileSnapshot[CurrentIndex].ColorKey;
}

int32_t HeldLeftTopPixel(const EditOrigin& o) {
  LockScope lock;
  const ChannelProfile* p = Target(o);
  return p ? p->LeftTopPixelColor : o.shown->profile.LeftTopPixelColor;
}

bool ChooseTemplate(const EditOrigin& o, const std::string& path) {
  // The frame path reads the name and the template under the same lock.
  LockScope lock;
  ChannelProfile* p = Target(o);
  if (!p)
    return false;
  p->LogoFileName = path;
  LoadTemplate();
  return true;
}

void MoveLogo(const EditOrigin& o, int32_t dx, int32_t dy) {
  LockScope lock;
  if (ChannelProfile* p = Target(o)) {
    p->LogoPosX += dx;
    p->LogoPosY += dy;
  }
}

void PlaceLogo(const EditOrigin& o, LogoPlace place) {
  LockScope lock;
  ChannelProfile* p = Target(o);
  // A click that arrives after the template went has no size to place.
  if (!p || !TemplateLoaded)
    return;
  const int32_t right = kReferenceWidth - TemplatePicture.width;
  const int32_t bottom = kReferenceHeight - TemplatePicture.height;
  // The frame path clamps the position into the frame at its next frame; not here.
  if (place == LogoPlace::kCentre) {
    p->LogoPosX = right / 2;
    p->LogoPosY = bottom / 2;
    return;
  }
  const bool atRight = place == LogoPlace::kTopRight || place == LogoPlace::kBottomRight;
  const bool atBottom = place == LogoPlace::kBottomLeft || place == LogoPlace::kBottomRight;
  p->LogoPosX = atRight ? right : 0;
  p->LogoPosY = atBottom ? bottom : 0;
}

void CancelEdits() {
  LockScope lock;
  RestoreSnapshot();
}

}  // namespace zunk
