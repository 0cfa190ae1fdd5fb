// The learn action: finds the channel logo in a recording (the pixels that stay the
// same over many frames far apart while the picture around them changes), cuts it out
// at the 768 x 576 reference size onto a colour key absent from it, and writes the
// template bitmap, the channel's section of the settings file and a PNG preview.
#pragma once

#include <cstdio>

#include "cli/options.h"

namespace zunkhost {

// The report of what was found and written goes to `report`; failures to standard error.
int Learn(const Options& o, FILE* report);

}  // namespace zunkhost
