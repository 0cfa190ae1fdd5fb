// The recording's pause and resume commands.
#pragma once

#include <cstdint>

namespace zunk {

// Posts pause (1) or resume (0) to the host's window, or the toggle to an older host.
void PostRecordCommand(int32_t pause);

}  // namespace zunk
