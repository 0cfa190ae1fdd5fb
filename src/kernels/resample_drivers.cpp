// The parts of resampling that every variant shares: the step tables of both passes, the
// size checks, and the plain copies of an axis whose size does not change.
#include <cstddef>
#include <cstring>

#include "kernels/resample.h"

namespace zunk {

void BuildResampleSteps(int32_t n, int32_t m, int32_t unit, ResampleStep* steps) {
  const uint64_t step = (static_cast<uint64_t>(n) << 16) / static_cast<uint64_t>(m);
  const int64_t offset = static_cast<int64_t>(step / 2) - 32768;
  int64_t previous = 0;
  for (int32_t i = 0; i < m; ++i) {
    const int64_t pos =
        static_cast<int64_t>((static_cast<uint64_t>(i) * static_cast<uint64_t>(n) << 16) /
                             static_cast<uint64_t>(m)) +
        offset;
    const int64_t p = pos >> 16;  // floor: -1 for the first samples of an enlargement
    const int64_t f = pos - p * 65536;
    const uint16_t w = static_cast<uint16_t>((65536 - f) / 16);
    const int64_t first = p < 0 ? 0 : p > n - 1 ? n - 1 : p;
    const int64_t second = p + 1 < 0 ? 0 : p + 1 > n - 1 ? n - 1 : p + 1;
    steps[i].advance = static_cast<int32_t>((first - previous) * unit);
    steps[i].next = static_cast<int32_t>((second - first) * unit);
    for (uint16_t& lane : steps[i].weight)
      lane = w;
    previous = first;
  }
}

void ResampleBgrxToWorkWith(ResampleRowsFn rows,
                            ResampleColumnsFn columns,
                            const uint8_t* src,
                            int32_t srcW,
                            int32_t srcH,
                            WorkPixel* dst,
                            int32_t dstW,
                            int32_t dstH,
                            WorkPixel* tmp,
                            ResampleStep* colSteps,
                            ResampleStep* rowSteps,
                            uint32_t colorKey) {
  if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0)
    return;
  if (dstW == srcW) {  // plain copy of the bytes into words, X = 0, no key rule
    const ptrdiff_t count = static_cast<ptrdiff_t>(srcW) * srcH;
    for (ptrdiff_t i = 0; i < count; ++i) {
      const uint8_t* p = src + 4 * i;
      tmp[i] = {p[0], p[1], p[2], 0};
    }
  } else {
    BuildResampleSteps(srcW, dstW, 4, colSteps);
    rows(src, srcW, srcH, tmp, dstW, colSteps, colorKey);
  }
  if (dstH == srcH) {
    std::memcpy(dst, tmp, sizeof(WorkPixel) * dstW * dstH);
  } else {
    BuildResampleSteps(srcH, dstH, dstW * static_cast<int32_t>(sizeof(WorkPixel)), rowSteps);
    columns(tmp, dst, dstW, dstH, rowSteps, colorKey);
  }
}

}  // namespace zunk
