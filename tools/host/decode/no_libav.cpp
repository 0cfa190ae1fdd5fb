// Builds without the decoder libraries: video is decoded by an ffmpeg process.
#include "decode/frame_source.h"
#include "decode/service_name.h"

namespace zunkhost {

bool HaveLibav() {
  return false;
}

std::unique_ptr<FrameSource> OpenLibavSource(const std::string& path,
                                             int threads,
                                             double follow,
                                             bool fast,
                                             std::string* error) {
  (void)threads;
  (void)follow;
  (void)fast;
  *error = path + ": this build decodes through ffmpeg only (--decoder pipe)";
  return nullptr;
}

}  // namespace zunkhost

namespace zunkhost {

// Without libavformat no container is read: no recording has a service name here.
std::string ServiceName(const std::string& path) {
  (void)path;
  return "";
}

}  // namespace zunkhost
