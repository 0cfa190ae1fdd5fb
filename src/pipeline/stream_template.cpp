// Loading the template file of the channel's profile, and the frame pipeline's buffers
// prepared from it for the current stream.
#include "pipeline/stream_template.h"

#include "base/aligned_buffer.h"
#include "base/reference_frame.h"
#include "pipeline/stream.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {

TemplatePictureData TemplatePicture = {nullptr, 0, 0};
TemplateBuffers StreamTemplate = {};
int32_t TemplateLoaded = 0;
int32_t TemplatePrepareTried = 0;

bool PrepareStreamTemplate() {
  StreamTemplate.Prepared = 0;
  TemplatePrepareTried = 1;
  const ChannelProfile* profile = CurrentProfile();
  if (!TemplateLoaded || !TemplatePicture.pixels || !profile || !StreamUsable)
    return false;
  return PrepareTemplateBuffers(&StreamTemplate, TemplatePicture, FrameWidth, FrameHeight,
                                SearchHalfWidth, profile->ColorKey);
}

void LoadTemplate() {
  TemplateLoaded = 0;
  StreamTemplate.Prepared = 0;
  TemplatePrepareTried = 0;
  const ChannelProfile* profile = CurrentProfile();
  if (!profile || profile->LogoFileName.empty())
    return;
  int32_t w = 0, h = 0;
  uint32_t* pixels =
      Os().LoadBitmapFile(profile->LogoFileName.c_str(), kReferenceWidth, kReferenceHeight, &w, &h);
  // A bare file name that does not open as given is the one kept beside the settings file.
  const std::string beside = SettingsStore.BesideSettingsFile(profile->LogoFileName);
  if (!pixels && !beside.empty())
    pixels = Os().LoadBitmapFile(beside.c_str(), kReferenceWidth, kReferenceHeight, &w, &h);
  if (!pixels)
    return;
  FreeAligned(TemplatePicture.pixels);
  TemplatePicture = {pixels, w, h};
  TemplateLoaded = 1;
  PrepareStreamTemplate();
}

void ApplyLeftTopPixelRule() {
  ChannelProfile* profile = CurrentProfile();
  if (!profile || !profile->LeftTopPixelColor || !TemplateLoaded || !TemplatePicture.pixels)
    return;
  const uint32_t bgrx = TemplatePicture.pixels[0];
  // B, G, R, X in memory is 0xXXRRGGBB as a dword; a COLORREF is 0x00BBGGRR.
  profile->ColorKey = ((bgrx & 0xFF) << 16) | (bgrx & 0xFF00) | ((bgrx >> 16) & 0xFF);
}

void FreeTemplateBuffersForNewStream() {
  FreeStreamTemplate();
  TemplatePrepareTried = 0;
}

void FreeStreamTemplate() {
  FreeTemplateBuffers(&StreamTemplate);
}

}  // namespace zunk

namespace {
// The picture and the buffers go with the module when it is unloaded.
struct TemplateReleaser {
  ~TemplateReleaser() {
    zunk::FreeStreamTemplate();
    zunk::FreeAligned(zunk::TemplatePicture.pixels);
    zunk::TemplatePicture = {nullptr, 0, 0};
    zunk::TemplateLoaded = 0;
  }
} templateReleaser;
}  // namespace
