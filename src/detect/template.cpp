// The logo template's buffers, prepared from a picture at a stream's scale for matching and
// the overlay.
#include "detect/template.h"

#include "base/aligned_buffer.h"
#include "base/mul_div.h"
#include "base/reference_frame.h"
#include "kernels/kernels.h"
#include "kernels/placement_sad.h"

namespace zunk {

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
bool Resample(const TemplatePictureData& p, uint8_t* dst, int32_t tw, int32_t th, uint32_t key) {
  void* tmp = AllocAligned(static_cast<size_t>(tw) * p.height * sizeof(WorkPixel));
  void* colSteps = AllocAligned(static_cast<size_t>(tw) * sizeof(ResampleStep));
  void* rowSteps = AllocAligned(static_cast<size_t>(th) * sizeof(ResampleStep));
  const bool ok = tmp && colSteps && rowSteps;
  if (ok) {
    Kernels().ResampleBgrxToWork(reinterpret_cast<const uint8_t*>(p.pixels), p.width, p.height,
                                 reinterpret_cast<WorkPixel*>(dst), tw, th,
                                 static_cast<WorkPixel*>(tmp), static_cast<ResampleStep*>(colSteps),
                                 static_cast<ResampleStep*>(rowSteps), key);
  }
  FreeAligned(tmp);
  FreeAligned(colSteps);
  FreeAligned(rowSteps);
  return ok;
}

}  // namespace

bool PrepareTemplateBuffers(TemplateBuffers* b,
                            const TemplatePictureData& picture,
                            int32_t W,
                            int32_t H,
                            int32_t S,
                            uint32_t colorKey) {
  b->Prepared = 0;
  if (!picture.pixels)
    return false;
  const int32_t tw = MulDiv(picture.width, W, kReferenceWidth);
  const int32_t th = MulDiv(picture.height, H, kReferenceHeight);
  b->TemplateWidth = tw;
  b->TemplateHeight = th;
  b->SearchHalfWidth = S;
  // A template that vanishes at this scale, or does not fit the frame, is never matched.
  if (tw <= 0 || th <= 0 || tw > W || th > H || S < 0)
    return false;
  if (!Reallocate(&b->TemplateImage, tw, th) || !Reallocate(&b->TemplateNormalised, tw, th))
    return false;
  if (!Resample(picture, b->TemplateImage, tw, th, colorKey) ||
      !Resample(picture, b->TemplateNormalised, tw, th, colorKey))
    return false;
  WorkPixel* normalised = reinterpret_cast<WorkPixel*>(b->TemplateNormalised);
  uint64_t mean = 0;
  Kernels().MaskedMeanColour(normalised, tw, th, normalised, tw, th, 0, 0, tw, th, colorKey, &mean);
  Kernels().SubtractMeanGrey(normalised, tw, th, colorKey, mean);
  const int32_t ww = tw + 2 * S;
  if (!Reallocate(&b->SearchWindow, ww, th) ||
      !ReallocateBytes(&b->SearchPlanes, SadWindowBytes(ww, th)) ||
      !ReallocateBytes(&b->TemplatePlanes, SadTemplateBytes(tw, th)) ||
      !ReallocateBytes(&b->ImagePlanes, SadTemplateBytes(tw, th)) ||
      !ReallocateBytes(&b->MeanPlanes, SadTemplateBytes(tw, th)) ||
      !ReallocateBytes(&b->TemplateWords, SadTemplateBytes(tw, th) / 4 * 3 * 2) ||
      !ReallocateBytes(&b->TemplateHistogram, int64_t{3} * kWordBins * 4) ||
      !ReallocateBytes(&b->PlacementSums, int64_t{3} * (2 * S + 1) * 4))
    return false;
  b->TemplatePlanesGrey = -1;
  b->KeyPlanesMade = 0;
  b->Prepared = 1;
  return true;
}

void FreeTemplateBuffers(TemplateBuffers* b) {
  FreeAligned(b->TemplateImage);
  FreeAligned(b->TemplateNormalised);
  FreeAligned(b->SearchWindow);
  FreeAligned(b->SearchPlanes);
  FreeAligned(b->TemplatePlanes);
  FreeAligned(b->PlacementSums);
  FreeAligned(b->ImagePlanes);
  FreeAligned(b->MeanPlanes);
  FreeAligned(b->TemplateWords);
  FreeAligned(b->TemplateHistogram);
  *b = TemplateBuffers{};
  b->TemplatePlanesGrey = -1;
}

}  // namespace zunk
