// The kernel table: every image kernel as a function pointer, filled once with the best
// variant this CPU runs (Kernels()), or for an explicit set of CPU features (KernelsFor(),
// for tests and benchmarks). The reference functions stay callable as zunk::ref::*.
#pragma once

#include <cstdint>

#include "kernels/blend.h"
#include "kernels/colour_blend.h"
#include "kernels/convert.h"
#include "kernels/frame_planes.h"
#include "kernels/kernel_types.h"
#include "kernels/match.h"
#include "kernels/placement_sad.h"
#include "kernels/resample.h"

namespace zunk {

enum CpuFeature : uint32_t {
  kCpuSse2 = 1u << 0,
  kCpuAvx2 = 1u << 1,
  kCpuAvx512Bw = 1u << 2,  // AVX-512 F and BW
};

struct KernelTable {
  CopyRegionFn CopyRegionFromYuy2;
  CopyRegionFn CopyRegionFromRgb24;
  MaskedMeanColourFn MaskedMeanColour;
  SubtractMeanGreyFn SubtractMeanGrey;
  MaskedMeanAbsDiffFn MaskedMeanAbsDiff;
  MaskedMeanAbsDiffRowFn MaskedMeanAbsDiffRow;
  BlendWorkFn BlendWorkToYuy2;
  BlendWorkFn BlendWorkToRgb24;
  BlendBgrxFn BlendBgrxToYuy2;
  BlendBgrxFn BlendBgrxToRgb24;
  ResampleFn ResampleBgrxToWork;
  PlacementSadRowFn PlacementSadRow;
  WindowBytePlanesFn WindowBytePlanes;
  BlendColourFn BlendColourToYuy2;
  BlendColourFn BlendColourToRgb24;
  TemplateBytePlanesFn TemplateBytePlanes;
  FramePlanesFn FramePlanesFromYuy2;
  FramePlanesFn FramePlanesFromRgb24;
  TemplateWordsToBytesFn TemplateWordsToBytes;
};

// The features of this CPU (and operating system) that the kernels use.
uint32_t CpuFeatures();

// The reference for mask 0; each feature in the mask replaces the entries it speeds up.
KernelTable KernelsFor(uint32_t cpuMask);

// KernelsFor(CpuFeatures()), chosen on first use.
const KernelTable& Kernels();

// The table's region copy for frames of a pixel format: 0 packed YUV 4:2:2, 1 24-bit BGR.
CopyRegionFn CopyRegionFor(const KernelTable& k, int32_t pixelFormat);
// The table's byte planes for frames of a pixel format (the same two).
FramePlanesFn FramePlanesFor(const KernelTable& k, int32_t pixelFormat);

}  // namespace zunk
