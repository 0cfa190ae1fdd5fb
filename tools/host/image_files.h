// Writing pictures: a Windows bitmap (24-bit, bottom-up, the form the plug-in's
// template files take) and a PNG (8-bit RGB, stored without compression).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace zunkhost {

// bgr: width x height, top-down B, G, R. False when writing failed.
bool WriteBmp24(FILE* f, int width, int height, const std::vector<uint8_t>& bgr);
// rgb: width x height, top-down R, G, B.
bool WritePng(FILE* f, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace zunkhost
