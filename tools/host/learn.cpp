// Learn: placeholder until the logo finder lands.
#include "learn.h"

#include <cstdio>

namespace zunkhost {

int Learn(const Options& o) {
  (void)o;
  std::fprintf(stderr, "zunk-host: learn is not available in this build\n");
  return 1;
}

}  // namespace zunkhost
