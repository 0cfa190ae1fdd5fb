// How an action reports that it failed: one line on standard error, exit status 1.
#pragma once

#include <string>

namespace zunkhost {

// Prints "zunk-host: " + message and returns 1, the exit status of a failed run.
int Fail(const std::string& message);

}  // namespace zunkhost
