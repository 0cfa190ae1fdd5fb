// The failure line of every action.
#include "cli/fail.h"

#include <cstdio>

namespace zunkhost {

int Fail(const std::string& message) {
  std::fprintf(stderr, "zunk-host: %s\n", message.c_str());
  return 1;
}

}  // namespace zunkhost
