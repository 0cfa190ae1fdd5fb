// Pixel and table types shared by the image kernels and their callers.
#pragma once

#include <cstdint>

namespace zunk {

// One pixel of a work buffer: four 16-bit words B, G, R, X. Filled from a frame or a BGRX
// image the words hold 0..255; after mean removal B, G and R are signed and may be negative.
// X is the luma for format-0 frames, 0 for format-1 frames and resampled templates.
struct WorkPixel {
  int16_t b, g, r, x;
};
static_assert(sizeof(WorkPixel) == 8, "a work pixel is one 64-bit value");

// One entry of the difference row: per-channel sums of absolute differences, divided by the
// number of counted template pixels once the row is complete.
struct DiffEntry {
  uint32_t b, g, r, x;
};
static_assert(sizeof(DiffEntry) == 16, "a difference entry is 16 bytes");

// One sample position of the resampler, per destination column or row.
struct ResampleStep {
  int32_t advance;     // bytes from the previous entry's first sample to this one's
  int32_t next;        // bytes from the first sample to the second: one unit, 0 when clamped
  uint16_t weight[4];  // weight of the first sample in 4096ths, once per channel lane
};
static_assert(sizeof(ResampleStep) == 16, "a resample step is 16 bytes");

// A COLORREF key 0x00BBGGRR as the work pixel B, G, R, 0 it matches.
inline WorkPixel KeyWorkPixel(uint32_t colorKey) {
  return {static_cast<int16_t>((colorKey >> 16) & 0xFF),
          static_cast<int16_t>((colorKey >> 8) & 0xFF), static_cast<int16_t>(colorKey & 0xFF), 0};
}

// A COLORREF key as the little-endian BGRX dword it matches with X = 0: 0x00RRGGBB.
inline uint32_t KeyBgrx(uint32_t colorKey) {
  return ((colorKey & 0xFF) << 16) | (colorKey & 0xFF00) | ((colorKey >> 16) & 0xFF);
}

}  // namespace zunk
