// Saving the captured logo as a template file.
#include "capture/logo_file.h"

#include <vector>

#include "image/bmp_writer.h"
#include "platform/platform.h"

namespace zunk {

std::string CapturedLogoPath(const std::string& folder, int64_t channelKey) {
  return folder + "logo-" + std::to_string(channelKey) + ".bmp";
}

bool SaveCapturedLogo(const CapturedLogo& logo, const std::string& path) {
  if (logo.width <= 0 || logo.height <= 0 ||
      logo.pixels.size() != static_cast<size_t>(logo.width) * static_cast<size_t>(logo.height))
    return false;
  const std::vector<uint8_t> bytes = EncodeBmp24(logo.pixels.data(), logo.width, logo.height);
  const std::string temporary = path + ".new";
  const uintptr_t file = Os().FileCreate(temporary.c_str());
  if (!file)
    return false;
  bool ok = Os().FileWrite(file, bytes.data(), bytes.size()) != 0;
  ok = Os().FileFlush(file) != 0 && ok;
  ok = Os().FileClose(file) != 0 && ok;
  ok = ok && Os().MoveFileOver(temporary.c_str(), path.c_str()) != 0;
  if (!ok)
    Os().RemoveFile(temporary.c_str());
  return ok;
}

}  // namespace zunk
