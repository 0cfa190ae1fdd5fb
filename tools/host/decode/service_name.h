// The broadcaster's name of the service a recording was made from, as its container
// carries it (a transport stream's service description).
#pragma once

#include <string>

namespace zunkhost {

// The service name of the recording at path: its programmes' "service_name", else its
// streams', else the file's; "" when it has none, cannot be opened, or this build
// cannot read containers.
std::string ServiceName(const std::string& path);

}  // namespace zunkhost
