// Native builds only: a third symbol of the shared library through which a tool that
// runs the module reads the values of the last frame that reached the decision. The
// Windows module exports the two host entry points and nothing else.
#include "base/abi.h"
#include "host/frame_trace.h"
#include "pipeline/frame_pipeline.h"

ZUNK_EXPORT const zunk::FrameTrace* ZunkLastFrameTrace() {
  return &zunk::LastFrameTrace;
}
