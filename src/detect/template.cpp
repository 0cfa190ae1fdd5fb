// The logo template: the picture from the template file, and the buffers prepared from it
// at the stream's scale for matching and the overlay.
#include "detect/template.h"

#include "kernels/kernels.h"
#include "kernels/placement_sad.h"
#include "platform/platform.h"
#include "plugin/aligned_buffer.h"
#include "plugin/module_state.h"
#include "plugin/mul_div.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {

TemplatePictureData TemplatePicture = {nullptr, 0, 0};
int32_t TemplateReady = 0;
int32_t TemplateBuffersReady = 0;
int32_t TemplatePrepareTried = 0;
int32_t TemplateWidth = 0;
int32_t TemplateHeight = 0;
uint8_t* TemplateImage = nullptr;
uint8_t* TemplateNormalised = nullptr;
uint8_t* SearchWindow = nullptr;
uint8_t* SearchPlanes = nullptr;
uint8_t* TemplatePlanes = nullptr;
int32_t TemplatePlanesGrey = -1;
uint32_t TemplatePlanesKey = 0;
uint32_t TemplatePlanesExcess[3] = {0, 0, 0};
uint32_t TemplatePlanesCounted = 0;
uint32_t* PlacementSums = nullptr;

namespace {

// A work buffer of w x h pixels, replacing *buffer.
bool Reallocate(uint8_t** buffer, int32_t w, int32_t h) {
  FreeAligned(*buffer);
  *buffer = static_cast<uint8_t*>(AllocAligned(static_cast<size_t>(w) * h * sizeof(WorkPixel)));
  return *buffer != nullptr;
}

// A block of `bytes` bytes, replacing *buffer.
template <typename T>
bool ReallocateBytes(T** buffer, int64_t bytes) {
  FreeAligned(*buffer);
  *buffer = static_cast<T*>(AllocAligned(static_cast<size_t>(bytes)));
  return *buffer != nullptr;
}

// The picture resampled to tw x th into `dst`, through the resampler's temporaries.
bool Resample(uint8_t* dst, int32_t tw, int32_t th, uint32_t colorKey) {
  const TemplatePictureData& p = TemplatePicture;
  void* tmp = AllocAligned(static_cast<size_t>(tw) * p.height * sizeof(WorkPixel));
  void* colSteps = AllocAligned(static_cast<size_t>(tw) * sizeof(ResampleStep));
  void* rowSteps = AllocAligned(static_cast<size_t>(th) * sizeof(ResampleStep));
  const bool ok = tmp && colSteps && rowSteps;
  if (ok) {
    Kernels().ResampleBgrxToWork(reinterpret_cast<const uint8_t*>(p.pixels), p.width, p.height,
                                 reinterpret_cast<WorkPixel*>(dst), tw, th,
                                 static_cast<WorkPixel*>(tmp), static_cast<ResampleStep*>(colSteps),
                                 static_cast<ResampleStep*>(rowSteps), colorKey);
  }
  FreeAligned(tmp);
  FreeAligned(colSteps);
  FreeAligned(rowSteps);
  return ok;
}

}  // namespace

bool PrepareTemplateBuffers() {
  TemplateBuffersReady = 0;
  TemplatePrepareTried = 1;
  const ChannelProfile* profile = CurrentProfile();
  if (!TemplateReady || !TemplatePicture.pixels || !profile || !StreamUsable)
    return false;
  const int32_t tw = MulDiv(TemplatePicture.width, FrameWidth, kReferenceWidth);
  const int32_t th = MulDiv(TemplatePicture.height, FrameHeight, kReferenceHeight);
  TemplateWidth = tw;
  TemplateHeight = th;
  // A template that vanishes at this scale, or does not fit the frame, is never matched.
  if (tw <= 0 || th <= 0 || tw > FrameWidth || th > FrameHeight)
    return false;
  const uint32_t key = profile->ColorKey;
  if (!Reallocate(&TemplateImage, tw, th) || !Reallocate(&TemplateNormalised, tw, th))
    return false;
  if (!Resample(TemplateImage, tw, th, key) || !Resample(TemplateNormalised, tw, th, key))
    return false;
  WorkPixel* normalised = reinterpret_cast<WorkPixel*>(TemplateNormalised);
  uint64_t mean = 0;
  Kernels().MaskedMeanColour(normalised, tw, th, normalised, tw, th, 0, 0, tw, th, key, &mean);
  Kernels().SubtractMeanGrey(normalised, tw, th, key, mean);
  const int32_t ww = tw + 2 * SearchHalfWidth;
  if (!Reallocate(&SearchWindow, ww, th) ||
      !ReallocateBytes(&SearchPlanes, SadWindowBytes(ww, th)) ||
      !ReallocateBytes(&TemplatePlanes, SadTemplateBytes(tw, th)) ||
      !ReallocateBytes(&PlacementSums, int64_t{3} * (2 * SearchHalfWidth + 1) * 4))
    return false;
  TemplatePlanesGrey = -1;
  TemplateBuffersReady = 1;
  return true;
}

void LoadTemplate() {
  TemplateReady = 0;
  TemplateBuffersReady = 0;
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
  TemplateReady = 1;
  PrepareTemplateBuffers();
}

void ApplyLeftTopPixelRule() {
  ChannelProfile* profile = CurrentProfile();
  if (!profile || !profile->LeftTopPixelColor || !TemplateReady || !TemplatePicture.pixels)
    return;
  const uint32_t bgrx = TemplatePicture.pixels[0];
  // B, G, R, X in memory is 0xXXRRGGBB as a dword; a COLORREF is 0x00BBGGRR.
  profile->ColorKey = ((bgrx & 0xFF) << 16) | (bgrx & 0xFF00) | ((bgrx >> 16) & 0xFF);
}

void ForgetTemplateBuffers() {
  FreeTemplateBuffers();
  TemplatePrepareTried = 0;
}

void FreeTemplateBuffers() {
  FreeAligned(TemplateImage);
  FreeAligned(TemplateNormalised);
  FreeAligned(SearchWindow);
  FreeAligned(SearchPlanes);
  FreeAligned(TemplatePlanes);
  FreeAligned(PlacementSums);
  TemplateImage = nullptr;
  TemplateNormalised = nullptr;
  SearchWindow = nullptr;
  SearchPlanes = nullptr;
  TemplatePlanes = nullptr;
  PlacementSums = nullptr;
  TemplatePlanesGrey = -1;
  TemplateBuffersReady = 0;
}

}  // namespace zunk

namespace {
// The picture and the buffers go with the module when it is unloaded.
struct TemplateReleaser {
  ~TemplateReleaser() {
    zunk::FreeTemplateBuffers();
    zunk::FreeAligned(zunk::TemplatePicture.pixels);
    zunk::TemplatePicture = {nullptr, 0, 0};
    zunk::TemplateReady = 0;
  }
} templateReleaser;
}  // namespace
