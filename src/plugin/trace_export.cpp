// Native builds only: a third symbol of the shared library through which a tool that
// runs the module reads the values of the last frame that reached the decision. The
// Windows module exports the two host entry points and nothing else.
#include "plugin/abi.h"
#include "plugin/module_state.h"

ZUNK_EXPORT const zunk::FrameTrace* ZunkLastFrameTrace() {
  return &zunk::LastFrameTrace;
}
