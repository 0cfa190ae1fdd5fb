// ServiceName through libavformat: the container's header and what probing the streams
// reads, nothing decoded.
#include "decode/service_name.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace zunkhost {

std::string ServiceName(const std::string& path) {
  av_log_set_level(AV_LOG_QUIET);
  AVFormatContext* format = nullptr;
  if (path.empty() || path == "-" ||
      avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
    return "";
  // A transport stream's service description may come after the first packets.
  avformat_find_stream_info(format, nullptr);
  std::string name;
  auto take = [&name](AVDictionary* metadata) {
    const AVDictionaryEntry* e = av_dict_get(metadata, "service_name", nullptr, 0);
    if (name.empty() && e && e->value)
      name = e->value;
  };
  for (unsigned i = 0; i < format->nb_programs; ++i)
    take(format->programs[i]->metadata);
  for (unsigned i = 0; i < format->nb_streams; ++i)
    take(format->streams[i]->metadata);
  take(format->metadata);
  avformat_close_input(&format);
  return name;
}

}  // namespace zunkhost
