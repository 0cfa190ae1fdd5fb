// The per-frame log: one line per frame with ProcessFrame's result, whether the frame
// changed, the host's volume and pause state, the plug-in's values where it gave them,
// and the commands it sent during the frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "spans/timeline.h"

namespace zunkhost {

// values: null when the frame has none; firstCommand: the host's log size before the frame.
void WriteFrameLine(FILE* f,
                    int64_t frame,
                    double fps,
                    int32_t result,
                    bool changed,
                    const FrameValues* values,
                    size_t firstCommand);

}  // namespace zunkhost
