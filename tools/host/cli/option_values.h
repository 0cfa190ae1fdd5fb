// Reading option values strictly: a number is the whole word or an error.
#pragma once

#include <cstdint>
#include <string>

namespace zunkhost {

// A whole number from least to most ("0x" for hexadecimal when hex); false otherwise.
bool ParseWhole(const std::string& text,
                int64_t least,
                int64_t most,
                int64_t* out,
                bool hex = false);
// A number greater than zero; false otherwise.
bool ParsePositive(const std::string& text, double* out);

}  // namespace zunkhost
