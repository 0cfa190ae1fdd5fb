// Placement sums of absolute differences over byte planes: the fast form of the difference
// row for the frame path. There the window holds bytes of the frame (0..255) less its grey
// level g, and the template t' its own bytes less its grey level, so every difference is
// |a - g - t'| = |a - u| with a a byte of the frame and u = t' + g, and for a byte a
//   |a - u| = |a - clamp(u, 0, 255)| + |u - clamp(u, 0, 255)|.
// The second term does not depend on the placement: it is summed once per frame. The first
// is a sum of absolute differences of bytes, which the packed SAD instructions compute
// sixteen or thirty-two at a time. The sums equal those of MaskedMeanAbsDiffRow exactly.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace zunk {

// Byte planes of an image: B, G, R (and for a template a fourth plane, the mask: 0xFF under
// counted pixels, 0 under key pixels), each `rows` rows of `stride` bytes, one after another.
constexpr int32_t kSadAlign = 32;  // template strides are multiples of this; padding is 0

// A word taken into 0..255, as the planes hold it. Defined out of line in the reference, so
// that no copy is compiled with a wider instruction set.
uint8_t ClampToByte(int32_t v);

inline int32_t SadTemplateStride(int32_t tw) {
  return (tw + kSadAlign - 1) / kSadAlign * kSadAlign;
}
// Bytes of a template's four planes.
inline int64_t SadTemplateBytes(int32_t tw, int32_t th) {
  return int64_t{SadTemplateStride(tw)} * th * 4;
}
// Bytes of a window's three planes, with the slack that the row kernels may read (but never
// count) beyond the last row.
inline int64_t SadWindowBytes(int32_t ww, int32_t th) {
  return int64_t{ww} * th * 3 + 2 * kSadAlign;
}

// sums[3k + c], c = 0 B, 1 G, 2 R, for placements k = 0 .. placements - 1: the sum over the
// template's rows and columns x < tw of mask * |window[c][y][k + x] - tpl[c][y][x]|. The
// window's planes have stride ww >= tw + placements - 1 and th rows each.
using PlacementSadRowKernel = void(const uint8_t* window,
                                   int32_t ww,
                                   const uint8_t* tpl,
                                   int32_t tw,
                                   int32_t th,
                                   int32_t placements,
                                   uint32_t* sums);
using PlacementSadRowFn = PlacementSadRowKernel*;

// The window's B, G, R words (columns 0 .. w - 1 of a work buffer aW wide, values 0..255) as
// byte planes of stride w, in the frame of reference of the template planes below. The
// grey level is removed from the window's pixels except those equal to the key in all four
// words, so those are stored with the grey added instead. Returns false when such a pixel
// does not fit a byte: the caller then takes the difference row itself.
using WindowBytePlanesKernel = bool(const WorkPixel* a,
                                    int32_t aW,
                                    int32_t w,
                                    int32_t h,
                                    uint32_t colorKey,
                                    int32_t grey,
                                    uint8_t* planes);
using WindowBytePlanesFn = WindowBytePlanesKernel*;

// The template's planes for one frame: u = t + grey clamped to a byte under counted pixels,
// the mask, the placement-free excess per channel (B, G, R) and the counted pixels. The
// key rule is that of the difference row: a pixel equal to the key in all four words is
// not counted. Every byte of the planes is written (0 under key pixels and in the padding).
// The fast paths take t + grey in 16 bits: B, G, R words within -255..255 (a normalised
// template) and grey within 0..254 (MeanGreyLevel). SadTemplatePlanes is the reference.
using TemplateBytePlanesKernel = void(const WorkPixel* tpl,
                                      int32_t tw,
                                      int32_t th,
                                      uint32_t colorKey,
                                      int32_t grey,
                                      uint8_t* planes,
                                      uint32_t* excess,
                                      uint32_t* counted);
using TemplateBytePlanesFn = TemplateBytePlanesKernel*;
TemplateBytePlanesKernel SadTemplatePlanes;

// The same template planes made faster per grey level from words prepared once per key
// (SadTemplateWords): B, G, R words of stride SadTemplateStride(tw), -32768 under key pixels
// and in the padding. bytes[i] = clamp(words[i] + grey, 0, 255) for i < count, for any word
// and grey within 0..32767: the first three planes of SadTemplatePlanes.
using TemplateWordsToBytesKernel = void(const int16_t* words,
                                        int32_t count,
                                        int32_t grey,
                                        uint8_t* bytes);
using TemplateWordsToBytesFn = TemplateWordsToBytesKernel*;

// Bins of the histogram of a channel's counted words, -255..255.
constexpr int32_t kWordBins = 511;

// Per key: the template's words for TemplateWordsToBytes (3 planes), its mask plane as
// SadTemplatePlanes makes it, the histogram of each channel's counted words (3 x kWordBins,
// for SadExcessFromHistogram) and the count of counted pixels. Returns false when a
// counted word lies outside -255..255; the outputs are then not all written.
bool SadTemplateWords(const WorkPixel* tpl,
                      int32_t tw,
                      int32_t th,
                      uint32_t colorKey,
                      int16_t* words,
                      uint8_t* mask,
                      uint32_t* histogram,
                      uint32_t* counted);
// The excess of SadTemplatePlanes at a grey level, from the histogram.
void SadExcessFromHistogram(const uint32_t* histogram, int32_t grey, uint32_t* excess);

// The difference row's entries (B, G, R means; X 0) from the placement sums: (sum + excess)
// / counted, or zeros when nothing was counted.
void SadSumsToDiffEntries(const uint32_t* sums,
                          const uint32_t* excess,
                          uint32_t counted,
                          int32_t placements,
                          DiffEntry* out);

namespace ref {
PlacementSadRowKernel PlacementSadRow;
WindowBytePlanesKernel WindowBytePlanes;
TemplateWordsToBytesKernel TemplateWordsToBytes;
}  // namespace ref
namespace sse2 {
PlacementSadRowKernel PlacementSadRow;
WindowBytePlanesKernel WindowBytePlanes;
TemplateBytePlanesKernel TemplateBytePlanes;
TemplateWordsToBytesKernel TemplateWordsToBytes;
}  // namespace sse2
namespace avx2 {
PlacementSadRowKernel PlacementSadRow;
TemplateWordsToBytesKernel TemplateWordsToBytes;
}  // namespace avx2

}  // namespace zunk
