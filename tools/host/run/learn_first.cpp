// LearnFirst: the key a recording's channel goes by, and learning it when the settings
// file cannot yet detect it. The learn action's report goes to standard error, since
// standard output holds the run's summary.
#include "run/learn_first.h"

#include <cstdio>
#include <vector>

#include "image/bmp_reader.h"
#include "image/file_bytes.h"
#include "learn.h"
#include "os/paths.h"
#include "session/channel_settings.h"
#include "session/channel_setup.h"
#if ZUNK_HOST_DECODE
#include "decode/service_name.h"
#endif

namespace zunkhost {

int64_t KeyFromName(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) {
    h ^= c;
    h *= 16777619u;
  }
  // 0 is no key to the host; folding keeps the value positive in 31 bits.
  const int64_t key = static_cast<int64_t>((h >> 31) ^ (h & 0x7FFFFFFFu));
  return key == 0 ? 1 : key;
}

bool HasUsableSection(const std::string& settings, int64_t key) {
  if (!HasSection(settings, std::to_string(key)))
    return false;
  zunk::ChannelProfile p;
  if (!ReadChannelProfile(settings, key, &p) || p.LogoFileName.empty())
    return false;
  std::vector<uint8_t> bytes;
  zunk::BmpLayout layout;
  return zunk::ReadFileBytes(p.LogoFileName.c_str(), zunk::kMaxBitmapFileBytes, &bytes) &&
         zunk::ParseBmpLayout(bytes.data(), bytes.size(), 768, 576, &layout);
}

int LearnFirst(Options* o) {
  if (!o->channelKeyGiven) {
    std::string service;
#if ZUNK_HOST_DECODE
    if (!o->raw)
      service = ServiceName(o->input);
#endif
    if (!service.empty()) {
      o->channelKey = KeyFromName(service);
      o->channelKeyFrom = "the service name \"" + service + "\"";
    } else {
      o->channelKey = KeyFromName(BaseName(o->input));
      o->channelKeyFrom = "a hash of the file name";
    }
  }
  if (HasUsableSection(o->settings, o->channelKey))
    return 0;
  std::fprintf(stderr, "zunk-host: %s: learning channel %lld into %s\n", o->input.c_str(),
               static_cast<long long>(o->channelKey), o->settings.c_str());
  // The learned section only: --set changes the run, never the file.
  Options learn = *o;
  learn.inputs = {o->input};
  learn.settingValues.clear();
  return Learn(learn, stderr);
}

}  // namespace zunkhost
