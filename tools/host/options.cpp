// Parsing of zunk-host's command line.
#include "options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zunkhost {

const char* Usage() {
  return "usage: zunk-host [options]\n"
         "  Runs the plug-in over a video as the host would. Without options it runs on the\n"
         "  bundled sample and writes its results to out/demo/.\n"
         "  --input FILE          video to decode with ffmpeg\n"
         "  --raw FILE|-          raw frames instead (pixel format and size as below)\n"
         "  --output FILE         write the processed frames as a video\n"
         "  --raw-output FILE     write the processed frames raw\n"
         "  --format 0|1          0 packed YUV 4:2:2 (default), 1 24-bit BGR bottom-up\n"
         "  --size WxH            frame size (default 768x576)\n"
         "  --fps N               frame rate of raw input (default 25)\n"
         "  --settings FILE       settings file installed beside the host before Init\n"
         "  --plugin FILE         plug-in module (default: the one of this build)\n"
         "  --channel-key N       channel key of every frame (default 1001)\n"
         "  --channel-name TEXT   channel name (default Sample)\n"
         "  --host-version N      answer to the version command (default 0x4000A)\n"
         "  --volume N            the host's volume at start (default 100)\n"
         "  --recording           the stream is a recording (default: preview)\n"
         "  /inst:N               numbered host instance (window \"Quintora.Inst\" + N)\n"
         "  --frames N            stop after N frames\n"
         "  --drop-channels       the channel callback answers 0 at exit\n"
         "  --log FILE|-          per-frame lines (default: standard output)\n"
         "  --no-log              no per-frame lines\n"
         "  --edl FILE            advert breaks as an EDL file\n"
         "  --truth FILE          known breaks (frame spans) to compare with\n"
         "  --no-progress         no progress line\n";
}

static bool IsInstanceSwitch(const std::string& a) {
  if (a.size() < 6)
    return false;
  std::string head = a.substr(0, 6);
  for (char& c : head)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "/inst:" || head == "-inst:";
}

bool ParseOptions(int argc, char** argv, Options* o, std::string* error, bool* help) {
  *help = false;
  o->log = "-";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      *help = true;
      return true;
    } else if (a == "--input") {
      if (!value(&o->input))
        return false;
    } else if (a == "--raw") {
      if (!value(&o->input))
        return false;
      o->raw = true;
    } else if (a == "--output") {
      if (!value(&o->output))
        return false;
    } else if (a == "--raw-output") {
      if (!value(&o->output))
        return false;
      o->rawOutput = true;
    } else if (a == "--format") {
      if (!value(&v))
        return false;
      o->video.pixelFormat = std::atoi(v.c_str());
      if (o->video.pixelFormat != 0 && o->video.pixelFormat != 1) {
        *error = "--format takes 0 or 1";
        return false;
      }
    } else if (a == "--size") {
      if (!value(&v))
        return false;
      if (std::sscanf(v.c_str(), "%dx%d", &o->video.width, &o->video.height) != 2 ||
          o->video.width <= 0 || o->video.height <= 0 || o->video.width > 8192 ||
          o->video.height > 8192) {
        *error = "--size takes WxH";
        return false;
      }
    } else if (a == "--fps") {
      if (!value(&v))
        return false;
      o->video.fps = std::atof(v.c_str());
      if (!(o->video.fps > 0)) {
        *error = "--fps takes a positive number";
        return false;
      }
    } else if (a == "--settings") {
      if (!value(&o->settings))
        return false;
    } else if (a == "--plugin") {
      if (!value(&o->plugin))
        return false;
    } else if (a == "--channel-key") {
      if (!value(&v))
        return false;
      o->channelKey = std::strtoll(v.c_str(), nullptr, 10);
    } else if (a == "--channel-name") {
      if (!value(&o->channelName))
        return false;
    } else if (a == "--host-version") {
      if (!value(&v))
        return false;
      o->hostVersion = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 0));
    } else if (a == "--volume") {
      if (!value(&v))
        return false;
      o->volume = std::atoi(v.c_str());
    } else if (a == "--recording") {
      o->recording = true;
    } else if (IsInstanceSwitch(a)) {
      // Spelled as the host's own switch, so the plug-in finds it on the command line.
      o->instance = a.substr(6, 1);
    } else if (a == "--frames") {
      if (!value(&v))
        return false;
      o->maxFrames = std::strtoll(v.c_str(), nullptr, 10);
    } else if (a == "--drop-channels") {
      o->keepChannels = false;
    } else if (a == "--log") {
      if (!value(&o->log))
        return false;
    } else if (a == "--no-log") {
      o->log.clear();
    } else if (a == "--edl") {
      if (!value(&o->edl))
        return false;
    } else if (a == "--truth") {
      if (!value(&o->truth))
        return false;
    } else if (a == "--no-progress") {
      o->progress = false;
    } else {
      *error = "unknown option " + a;
      return false;
    }
  }
  return true;
}

}  // namespace zunkhost
