// Strict readers of option values.
#include "cli/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace zunkhost {

bool ParseWhole(const std::string& text, int64_t least, int64_t most, int64_t* out, bool hex) {
  if (text.empty() || text[0] == ' ')
    return false;
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(text.c_str(), &end, hex ? 0 : 10);
  if (*end || errno == ERANGE || n < least || n > most)
    return false;
  *out = n;
  return true;
}

bool ParsePositive(const std::string& text, double* out) {
  if (text.empty() || text[0] == ' ')
    return false;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end || !std::isfinite(v) || !(v > 0))
    return false;
  *out = v;
  return true;
}

}  // namespace zunkhost
