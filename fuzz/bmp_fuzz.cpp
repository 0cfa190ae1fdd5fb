// Fuzz target of the bitmap reader: any bytes give either nothing, with the size left
// alone, or a picture within the limits whose X bytes are all 0; nothing is read outside
// the input (the fuzzer's sanitizers check that).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/aligned_buffer.h"
#include "image/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t width = -1;
  int32_t height = -1;
  uint32_t* pixels = zunk::ReadBmp(data, size, 768, 576, &width, &height);
  if (!pixels) {
    if (width != -1 || height != -1)
      std::abort();
    return 0;
  }
  if (width < 1 || height < 1 || width > 768 || height > 576)
    std::abort();
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
    if (pixels[i] >> 24)
      std::abort();
  zunk::FreeAligned(pixels);
  return 0;
}
