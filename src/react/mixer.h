// The system mixer's speaker volume, for hosts too old to take volume commands.
#pragma once

namespace zunk {

void OpenMixer();
void CloseMixer();

}  // namespace zunk
