// a * b / c with a 64-bit intermediate, rounded to the nearest integer with halves away
// from zero, as the system's MulDiv does; -1 when c is 0 or the result overflows 32 bits.
// Every reference-frame position and size is scaled to the stream with it.
#pragma once

#include <cstdint>

namespace zunk {

inline int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0)
    return -1;
  int64_t p = static_cast<int64_t>(a) * b;
  bool negative = (p < 0) != (c < 0);
  uint64_t up = p < 0 ? 0 - static_cast<uint64_t>(p) : static_cast<uint64_t>(p);
  uint64_t uc =
      c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
  uint64_t q = (up + uc / 2) / uc;
  if (q > (negative ? 0x80000000ull : 0x7FFFFFFFull))
    return -1;
  return negative ? static_cast<int32_t>(0 - q) : static_cast<int32_t>(q);
}

}  // namespace zunk
