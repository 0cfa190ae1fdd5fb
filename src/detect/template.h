// The channel's logo template: the picture from the template file and the buffers
// prepared from it for the current stream.
#pragma once

#include <cstdint>

namespace zunk {

extern int32_t TemplateReady;
extern uint8_t* TemplateImage;       // WorkBuffer: the template at the stream's scale
extern uint8_t* TemplateNormalised;  // the same with its mean grey removed
extern uint8_t* SearchWindow;        // WorkBuffer: the frame around the logo position

// Start: forget the previous stream's buffers without freeing them (they were freed by
// Stop, or belong to a template the dialog loaded between streams).
void ForgetTemplateBuffers();
// Stop: free the buffers.
void FreeTemplateBuffers();

}  // namespace zunk
