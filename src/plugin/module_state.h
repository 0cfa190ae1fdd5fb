// Module-wide state shared by the shell, detection, reactions and the dialog. One
// plug-in instance per loaded module; everything is zero or empty at load.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "plugin/host_records.h"

namespace zunk {

// From Init.
extern ChannelCheckFn ChannelCheckCallback;
extern uint32_t HostValue;

// The current stream, from Start.
extern int32_t FrameWidth;
extern int32_t FrameHeight;
extern int32_t PixelFormat;
extern int32_t RecordingStream;
extern int32_t SearchHalfWidth;  // S = MulDiv(30, W, 768)
extern uint8_t* ScoreRow;        // S * 32 + 16 bytes: 2S + 1 entries of 16 bytes
// Frames of this stream can be processed: a sane size and a known pixel format.
extern bool StreamUsable;

// The channel of the last frame seen.
extern int64_t LastChannelKey;
extern char ChannelName[kChannelNameMax + 1];

// Presence decision.
extern int32_t Confidence;
extern int32_t ReactionState;
extern int32_t LastDecision;
extern int32_t HoldOff;
extern int32_t MessageFadeCounter;
extern int32_t StartSkip;
extern int32_t ChangeSkip;
extern int32_t SimulateLogoLoss;

// What the last frame that reached the decision computed, for tools that trace a run.
struct FrameTrace {
  int32_t matched;  // 1 when the frame was matched (the values below are this frame's)
  int32_t matchPercent;
  int32_t scoreContrast;
  int32_t logoFound;
  int32_t confidence;
  int32_t decision;  // 1 = logo absent
};
extern FrameTrace LastFrameTrace;

// The layer the on-screen message is drawn into.
struct MessageSurfaceState {
  Surface* surface;  // the screen-compatible context, from Init
  uint32_t* pixels;  // W x H B,G,R,X top-down, from Start; null outside a stream
};
extern MessageSurfaceState MessageSurface;

// Kept by the settings dialog.
extern int32_t DialogCreated;
extern int32_t DialogOpen;
extern int32_t DialogLeft;
extern int32_t DialogTop;

// Frame sizes the module accepts; anything outside leaves the frames alone.
constexpr int32_t kMaxFrameSide = 8192;
constexpr int32_t kReferenceWidth = 768;
constexpr int32_t kReferenceHeight = 576;

}  // namespace zunk
