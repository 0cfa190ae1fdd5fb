// The live capture's cost on the video thread, printed by zunk-frame-timing.
#pragma once

namespace zunk {
namespace bench {

// One line per pixel format and frame size: ProcessFrame's mean and worst time with a
// capture running and without, a memcpy of the frame, and the added mean in memcpys.
// `only`, when not null, keeps the cases whose name ("idle/yuy2/768x576") has it.
void PrintCaptureCost(int repetitions, const char* only);

}  // namespace bench
}  // namespace zunk
