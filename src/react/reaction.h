// The reactions to a change of the presence decision.
#pragma once

#include <cstdint>

namespace zunk {

// absent = 1 when the logo has gone (lower the sound, pause or resume the recording),
// 0 when it is back (undo).
void ApplyReaction(int32_t absent);

// At a change of channel, after the channel's profile was selected: the recording
// reaction that starts with the channel.
void ChannelChangeRecordHook();

// Draws the on-screen message into the frame (the stream's size and pixel format),
// faded in by MessageFadeCounter.
void DrawMessage(uint8_t* framePixels);

}  // namespace zunk
