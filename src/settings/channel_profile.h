// Per-channel settings: the profile record, the live profile table, the current profile
// and the selection of a profile when the channel changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_records.h"

namespace zunk {

// One channel's settings. Positions are in the 768 x 576 reference frame; booleans are
// 0 or 1; colours are 0x00BBGGRR. Values read from the file are kept unchecked.
struct ChannelProfile {
  int64_t ChannelKey = 0;  // the host's channel key; also the name of its INI section
  std::string LogoFileName;
  int32_t LogoPosX = 0;
  int32_t LogoPosY = 0;
  int32_t LogoPosTolerance = 0;
  int32_t LeftTopPixelColor = 0;
  uint32_t ColorKey = 0;
  int32_t ProcessingEnable = 0;
  int32_t ShowLogo = 0;
  int32_t LogoTransparency = 0;
  int32_t LogoOffResponseSpeed = 0;
  int32_t LogoOnResponseSpeed = 0;
  int32_t LogoDetectLevel = 0;
  int32_t LogoMatchLevel = 0;
  int32_t PreviewAction = 0;
  int32_t RecordAction = 0;
  int32_t MsgEnable = 0;
  std::string MsgString;
  int32_t MsgBackEnable = 0;
  uint32_t MsgBackColor = 0;
  uint32_t MsgTextColor = 0;
  int32_t MsgTransparency = 0;
};

// Records are appended and never removed while the module is loaded; their order is
// the order of first appearance and the order in which they are saved. Copies are deep.
using ProfileTable = std::vector<ChannelProfile>;

// The live table. Users address the current record afresh as Profiles[CurrentIndex] at
// every access: the table moves when a new channel is added.
extern ProfileTable Profiles;
// The dialog's copy of the live table, kept while the dialog is open so that Cancel can
// put it back.
extern ProfileTable ProfileSnapshot;
extern int32_t CurrentIndex;
// Values for channels met for the first time (the "DEFAULT" section).
extern ChannelProfile DefaultProfile;

// The channel of the last frame seen (0: none since Start) and its name, set by the frame
// pipeline at a change of channel under the module lock; the dialog shows the name.
extern int64_t LastChannelKey;
extern char ChannelName[kChannelNameMax + 1];

// Makes the profile of LastChannelKey current, adding a copy of DefaultProfile for a
// channel not seen before. Runs at every change of channel, under the module lock.
void SelectProfile();

// The current profile, or null while no channel has selected one (an empty table).
// Callers on the dialog's thread hold the module lock while they use it.
ChannelProfile* CurrentProfile();

// Brings ProfileSnapshot up to the live table's count. While the dialog is open the two
// tables index the same channels, so that Cancel keeps a profile added in the meantime
// with the values it was added with. Callers hold the module lock.
void CatchUpSnapshot();

}  // namespace zunk
