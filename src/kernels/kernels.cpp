// The kernel table: reference first, then the instruction-set ladder upward.
#include "kernels/kernels.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace zunk {
namespace {

#if defined(__i386__) || defined(__x86_64__)
// AVX-512 F and BW by CPUID, and the OS saving the opmask and all 512-bit registers on a
// context switch (XCR0 bits 5..7 beside the SSE and AVX bits 1 and 2).
bool HasAvx512Bw() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE))
    return false;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_AVX512F) || !(b & bit_AVX512BW))
    return false;
  unsigned xcr0, xcr0High;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
  return (xcr0 & 0xE6) == 0xE6;
}
#endif

}  // namespace

KernelTable KernelsFor(uint32_t cpuMask) {
  KernelTable t{ref::CopyRegionFromYuy2,  ref::CopyRegionFromRgb24, ref::MaskedMeanColour,
                ref::SubtractMeanGrey,    ref::MaskedMeanAbsDiff,   ref::MaskedMeanAbsDiffRow,
                ref::BlendWorkToYuy2,     ref::BlendWorkToRgb24,    ref::BlendBgrxToYuy2,
                ref::BlendBgrxToRgb24,    ref::ResampleBgrxToWork,  ref::PlacementSadRow,
                ref::WindowBytePlanes,    ref::BlendColourToYuy2,   ref::BlendColourToRgb24,
                SadTemplatePlanes,        ref::FramePlanesFromYuy2, ref::FramePlanesFromRgb24,
                ref::TemplateWordsToBytes};
#if defined(__i386__) || defined(__x86_64__)
  if (!(cpuMask & kCpuSse2))
    return t;
  t.CopyRegionFromYuy2 = sse2::CopyRegionFromYuy2;
  t.CopyRegionFromRgb24 = sse2::CopyRegionFromRgb24;
  t.MaskedMeanColour = sse2::MaskedMeanColour;
  t.SubtractMeanGrey = sse2::SubtractMeanGrey;
  t.MaskedMeanAbsDiff = sse2::MaskedMeanAbsDiff;
  t.MaskedMeanAbsDiffRow = sse2::MaskedMeanAbsDiffRow;
  t.BlendWorkToYuy2 = sse2::BlendWorkToYuy2;
  t.BlendWorkToRgb24 = sse2::BlendWorkToRgb24;
  t.BlendBgrxToYuy2 = sse2::BlendBgrxToYuy2;
  t.BlendBgrxToRgb24 = sse2::BlendBgrxToRgb24;
  t.ResampleBgrxToWork = sse2::ResampleBgrxToWork;
  t.PlacementSadRow = sse2::PlacementSadRow;
  t.WindowBytePlanes = sse2::WindowBytePlanes;
  t.BlendColourToYuy2 = sse2::BlendColourToYuy2;
  t.BlendColourToRgb24 = sse2::BlendColourToRgb24;
  t.TemplateBytePlanes = sse2::TemplateBytePlanes;
  t.FramePlanesFromYuy2 = sse2::FramePlanesFromYuy2;
  t.FramePlanesFromRgb24 = sse2::FramePlanesFromRgb24;
  t.TemplateWordsToBytes = sse2::TemplateWordsToBytes;

  if (!(cpuMask & kCpuAvx2))
    return t;
  t.CopyRegionFromYuy2 = avx2::CopyRegionFromYuy2;
  t.MaskedMeanAbsDiffRow = avx2::MaskedMeanAbsDiffRow;
  t.BlendWorkToYuy2 = avx2::BlendWorkToYuy2;
  t.BlendBgrxToYuy2 = avx2::BlendBgrxToYuy2;
  t.PlacementSadRow = avx2::PlacementSadRow;
  t.FramePlanesFromYuy2 = avx2::FramePlanesFromYuy2;
  t.TemplateWordsToBytes = avx2::TemplateWordsToBytes;

  if (!(cpuMask & kCpuAvx512Bw))
    return t;
  t.BlendBgrxToYuy2 = avx512::BlendBgrxToYuy2;
#endif
  return t;
}

uint32_t CpuFeatures() {
  uint32_t features = 0;
#if defined(__i386__) || defined(__x86_64__)
  // The compiler's CPU model also checks that the OS saves the wide registers (XGETBV).
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2"))
    features |= kCpuSse2;
  if (__builtin_cpu_supports("avx2"))
    features |= kCpuAvx2;
  if (HasAvx512Bw())
    features |= kCpuAvx512Bw;
#endif
  return features;
}

const KernelTable& Kernels() {
  static const KernelTable table = KernelsFor(CpuFeatures());
  return table;
}

CopyRegionFn CopyRegionFor(const KernelTable& k, int32_t pixelFormat) {
  return pixelFormat == 0 ? k.CopyRegionFromYuy2 : k.CopyRegionFromRgb24;
}

FramePlanesFn FramePlanesFor(const KernelTable& k, int32_t pixelFormat) {
  return pixelFormat == 0 ? k.FramePlanesFromYuy2 : k.FramePlanesFromRgb24;
}

}  // namespace zunk
