// Windows bitmap files read from bytes: the checks of the headers and the decoding into a
// top-down 32-bit B, G, R, X picture, with the colours the system's own loader gives once
// its bitmap is copied into a 32-bit picture. No I/O here; file_bytes.h reads the file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zunk {

// Bitmap files longer than this are not read at all. A 32-bit picture far larger than any
// template, with an embedded colour profile, fits many times over.
constexpr size_t kMaxBitmapFileBytes = size_t{32} << 20;

enum BmpCompression : uint32_t {
  kBmpRgb = 0,
  kBmpRle8 = 1,
  kBmpRle4 = 2,
  kBmpBitFields = 3,
};

// Where a bitmap's parts lie in its file, once the headers passed every check. The
// offsets and sizes are known to lie inside the file.
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;    // rows, always positive
  bool topDown = false;  // the first stored row is the top one
  int32_t bitCount = 0;  // 1, 4, 8, 16, 24 or 32
  uint32_t compression = kBmpRgb;
  uint32_t masks[3] = {};  // red, green and blue fields of 16- and 32-bit pixels
  size_t paletteOffset = 0;
  uint32_t paletteCount = 0;       // colours that pixel indices may name
  uint32_t paletteEntryBytes = 4;  // 3 in files with the 12-byte core header
  size_t bitsOffset = 0;
  size_t bitsSize = 0;  // bytes of pixel data, whole rows or the compressed stream
};

// Checks the headers of the file in data[0, size) and finds its parts. False for a file
// that is not a bitmap the reader takes, or whose width exceeds maxWidth or height maxHeight.
bool ParseBmpLayout(const uint8_t* data,
                    size_t size,
                    int32_t maxWidth,
                    int32_t maxHeight,
                    BmpLayout* layout);

// Decodes the pixels of a parsed file into `pixels` (width x height, top row first,
// X = 0). Pixels that compressed data skips are black. False for pixel data that is
// malformed: a run outside the picture, a cut-off block, an index past the palette.
bool DecodeBmpPixels(const uint8_t* data, size_t size, const BmpLayout& layout, uint32_t* pixels);

// Both steps. Returns the picture (AllocAligned; free with FreeAligned) and sets *width and
// *height, or returns null and leaves them alone.
uint32_t* ReadBmp(const uint8_t* data,
                  size_t size,
                  int32_t maxWidth,
                  int32_t maxHeight,
                  int32_t* width,
                  int32_t* height);

}  // namespace zunk
