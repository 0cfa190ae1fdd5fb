// The core's logo finder as the live capture asks for it: each frame handed over becomes a
// learning sample of its four corners, kept in a series cut to what the capture's memory
// leaves beside its frame store; the finder looks at the series as it grows, for the preview
// and to know when it is sure, and the levels are calibrated from the same samples at the end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "capture/capture_finder.h"

namespace zunk {

// In force from the module's load (SetCaptureFinder replaces it).
extern const CaptureFinder kCoreLogoFinder;

// What the finder holds beside its samples while it looks at them, at most: the edge counts
// of the corners and what goes with them (capture_memory_test measures it: 4.0 MB).
constexpr size_t kFinderWorkBytes = size_t{9} << 19;

// The samples a search over this stream keeps at most: with the frame store's slot and the
// finder's working memory, they fit kCaptureBytes. 0 for a stream the store cannot take.
int32_t CoreFinderCapacity(int32_t width, int32_t height, int32_t format);

}  // namespace zunk
