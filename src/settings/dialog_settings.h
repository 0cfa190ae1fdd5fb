// What the settings keep for the settings dialog: its position, which Init reads from the
// "COMMON" section and Exit writes there, and whether it is open, while which the profile
// table's snapshot for Cancel follows every new channel. The dialog sets them.
#pragma once

#include <cstdint>

namespace zunk {

extern int32_t DialogOpen;
extern int32_t DialogLeft;
extern int32_t DialogTop;

}  // namespace zunk
