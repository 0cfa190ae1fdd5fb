// Windows bitmap files made from pictures: 24 bits per pixel, bottom-up, rows padded to four
// bytes, the form the plug-in's template files take. No I/O here.
#pragma once

#include <cstdint>
#include <vector>

namespace zunk {

// The file's bytes for a top-down picture of width x height pixels, 4 bytes each B, G, R, X
// (X is dropped). Empty for an empty size.
std::vector<uint8_t> EncodeBmp24(const uint32_t* bgrx, int32_t width, int32_t height);

}  // namespace zunk
