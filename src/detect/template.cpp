// Ownership of the template buffers.
#include "detect/template.h"

#include "plugin/aligned_buffer.h"

namespace zunk {

TemplatePictureData TemplatePicture = {nullptr, 0, 0};
int32_t TemplateReady = 0;
int32_t TemplateWidth = 0;
int32_t TemplateHeight = 0;
uint8_t* TemplateImage = nullptr;
uint8_t* TemplateNormalised = nullptr;
uint8_t* SearchWindow = nullptr;

void LoadTemplate() {
  TemplateReady = 0;
}

void ApplyLeftTopPixelRule() {}

void ForgetTemplateBuffers() {
  TemplateImage = nullptr;
  TemplateNormalised = nullptr;
  SearchWindow = nullptr;
}

void FreeTemplateBuffers() {
  FreeAligned(TemplateImage);
  FreeAligned(TemplateNormalised);
  FreeAligned(SearchWindow);
  ForgetTemplateBuffers();
}

}  // namespace zunk
