// Storage of the current stream's geometry.
#include "pipeline/stream.h"

namespace zunk {

int32_t FrameWidth = 0;
int32_t FrameHeight = 0;
int32_t PixelFormat = 0;
int32_t RecordingStream = 0;
int32_t SearchHalfWidth = 0;
uint8_t* ScoreRow = nullptr;
bool StreamUsable = false;

}  // namespace zunk
