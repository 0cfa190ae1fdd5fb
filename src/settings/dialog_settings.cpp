// Storage of the dialog's open flag and position.
#include "settings/dialog_settings.h"

namespace zunk {

int32_t DialogOpen = 0;
int32_t DialogLeft = 0;
int32_t DialogTop = 0;

}  // namespace zunk
