// Storage of the module-wide state.
#include "plugin/module_state.h"

namespace zunk {

ChannelCheckFn ChannelCheckCallback = nullptr;
uint32_t HostValue = 0;

int32_t FrameWidth = 0;
int32_t FrameHeight = 0;
int32_t PixelFormat = 0;
int32_t RecordingStream = 0;
int32_t SearchHalfWidth = 0;
uint8_t* ScoreRow = nullptr;
bool StreamUsable = false;

int64_t LastChannelKey = 0;
char ChannelName[kChannelNameMax + 1] = {};

int32_t Confidence = 0;
int32_t ReactionState = 0;
int32_t LastDecision = 0;
int32_t HoldOff = 0;
int32_t MessageFadeCounter = 0;
int32_t StartSkip = 0;
int32_t ChangeSkip = 0;
int32_t SimulateLogoLoss = 0;

FrameTrace LastFrameTrace = {};

MessageSurfaceState MessageSurface = {nullptr, nullptr};

int32_t DialogCreated = 0;
int32_t DialogOpen = 0;
int32_t DialogLeft = 0;
int32_t DialogTop = 0;

}  // namespace zunk
