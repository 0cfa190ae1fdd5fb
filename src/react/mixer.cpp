// Mixer access: opened at Init, closed at Exit.
#include "react/mixer.h"

namespace zunk {

void OpenMixer() {}
void CloseMixer() {}

}  // namespace zunk
