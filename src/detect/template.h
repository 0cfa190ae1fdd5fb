// The channel's logo template: the picture from the template file and the buffers
// prepared from it for the current stream.
#pragma once

#include <cstdint>

namespace zunk {

// The template file's picture at its own size bmW x bmH: top-down, 4 bytes per pixel
// B, G, R, X. Lives as long as the module; each successful load replaces it. Read by the
// dialog's preview and by the left-top-pixel rule.
struct TemplatePictureData {
  uint32_t* pixels;  // null before the first successful load
  int32_t width;     // bmW
  int32_t height;    // bmH
};
extern TemplatePictureData TemplatePicture;

// 1 while a template picture is loaded (the dialog shows it and enables its controls).
extern int32_t TemplateReady;
// 1 while the buffers below are prepared for the current stream: a loaded template that
// fits the frame and does not vanish at its scale. Matching runs only then.
extern int32_t TemplateBuffersReady;
// 1 once this stream tried to prepare the buffers; Start and every load clear it.
extern int32_t TemplatePrepareTried;
extern int32_t TemplateWidth;        // tw: the template at the stream's scale
extern int32_t TemplateHeight;       // th
extern uint8_t* TemplateImage;       // WorkBuffer tw x th: the template at the stream's scale
extern uint8_t* TemplateNormalised;  // the same with its mean grey removed
extern uint8_t* SearchWindow;        // WorkBuffer (tw + 2S) x th: the frame around the logo

// The placement sums' byte planes (see kernels/placement_sad.h): the window's, the
// template's for the grey level TemplatePlanesGrey (-1: not made yet), and the sums.
extern uint8_t* SearchPlanes;
extern uint8_t* TemplatePlanes;
extern int32_t TemplatePlanesGrey;
extern uint32_t TemplatePlanesKey;
extern uint32_t TemplatePlanesExcess[3];
extern uint32_t TemplatePlanesCounted;
extern uint32_t* PlacementSums;

// Loads the current profile's template file and prepares the buffers for the current
// stream. Callers hold the module lock.
void LoadTemplate();
// Prepares the buffers from the loaded picture for the current stream, with the current
// profile's ColorKey. Returns TemplateBuffersReady. Callers hold the module lock.
bool PrepareTemplateBuffers();
// Takes the current profile's ColorKey from the picture's top-left pixel when the profile
// asks for it and a template is ready. Callers hold the module lock.
void ApplyLeftTopPixelRule();

// Start: the previous stream's buffers are freed (Stop normally did so already) and the
// next matched frame prepares them again for the new stream.
void ForgetTemplateBuffers();
// Stop: free the buffers.
void FreeTemplateBuffers();

}  // namespace zunk
