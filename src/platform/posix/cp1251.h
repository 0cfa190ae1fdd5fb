// Windows-1251, the code page of the message text, to Unicode.
#pragma once

#include <cstdint>

namespace zunk {
namespace posix {

// The Unicode code point of one Windows-1251 byte. The one unassigned byte, 0x98, maps to
// U+0098 as Windows maps it.
uint32_t Cp1251ToUnicode(uint8_t byte);

}  // namespace posix
}  // namespace zunk
