// The channel's template as the frame pipeline holds it: the picture loaded from the
// current profile's template file and the buffers prepared from it for the current stream.
// Start, Stop, a change of channel and the dialog's edits change them, and the frame
// pipeline and the dialog read them, all under the module lock.
#pragma once

#include <cstdint>

#include "detect/template.h"

namespace zunk {

// The picture of the last successful load; lives as long as the module.
extern TemplatePictureData TemplatePicture;
// The frame pipeline's buffers, for the current stream.
extern TemplateBuffers StreamTemplate;
// 1 while a template picture is loaded (the dialog shows it and enables its controls).
extern int32_t TemplateLoaded;
// 1 once this stream tried to prepare StreamTemplate; Start and every load clear it.
extern int32_t TemplatePrepareTried;

// Loads the current profile's template file and prepares the buffers for the current
// stream. Callers hold the module lock.
void LoadTemplate();
// Prepares StreamTemplate from the loaded picture for the current stream, with the current
// profile's ColorKey. Returns StreamTemplate.Prepared. Callers hold the module lock.
bool PrepareStreamTemplate();
// Takes the current profile's ColorKey from the picture's top-left pixel when the profile
// asks for it and a template is loaded. Callers hold the module lock.
void ApplyLeftTopPixelRule();

// Start: the previous stream's buffers are freed (Stop normally did so already) and the
// next matched frame prepares them again for the new stream.
void FreeTemplateBuffersForNewStream();
// Stop: free the buffers.
void FreeStreamTemplate();

}  // namespace zunk
