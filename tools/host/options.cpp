// Parsing of zunk-host's command line.
#include "options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zunkhost {

const char* Usage() {
  return "usage: zunk-host [run] [options] [RECORDING...]\n"
         "       zunk-host learn --input RECORDING [--channel-key N] --settings FILE [--preview "
         "PNG]\n"
         "       zunk-host eval --truth TRUTH --detected EDL|JSON [--fps N]\n"
         "       zunk-host --version\n"
         "  run: runs the plug-in over recordings as the host would. Without options it runs on\n"
         "  the bundled sample and writes its results to out/demo/.\n"
         "  learn: finds the channel logo in a recording and writes its template and the\n"
         "  channel's section of the settings file.\n"
         "  eval: scores detected breaks against known ones.\n"
         "  --input FILE          video to decode (may be given several times)\n"
         "  --jobs N              recordings processed at once (default 1)\n"
         "  --decoder libav|pipe  decode in this process (default) or through ffmpeg\n"
         "  --threads N           decoder threads (default: every core)\n"
         "  --raw FILE|-          raw frames instead (pixel format and size as below)\n"
         "  --output FILE         write the processed frames as a video\n"
         "  --raw-output FILE     write the processed frames raw\n"
         "  --format 0|1          0 packed YUV 4:2:2 (default), 1 24-bit BGR bottom-up\n"
         "  --size WxH            frame size: raw input's, or resize decoded video to it\n"
         "                        (default: the video's own size; 768x576 for raw input)\n"
         "  --fps N               frame rate of raw input (default 25)\n"
         "  --settings FILE       settings file installed beside the host before Init\n"
         "  --set KEY=VALUE       with --settings: sets KEY of the channel's section of the\n"
         "                        installed copy before Init, as the plug-in reads it (e.g.\n"
         "                        --set RecordAction=1 --set PreviewAction=2); the file\n"
         "                        given is left as it is; may be given several times\n"
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
         "  --edl FILE            advert breaks as an EDL file (start end 3, seconds)\n"
         "  --json FILE           timeline: frame rate, breaks, host commands, per-frame values\n"
         "  --edl-mode MODE       refined (default: where the logo was really lost and\n"
         "                        regained) or decisions (the plug-in's own moments)\n"
         "  --truth FILE          known breaks (frame spans) to compare with\n"
         "  --no-progress         no progress line\n"
         "  --timing              time spent decoding and in the plug-in (standard error)\n"
         "  --detected FILE       eval: breaks found (EDL or JSON timeline)\n"
         "  --preview FILE        learn: PNG of the logo found (default beside the template)\n"
         "  With several recordings each output name gets \"-\" and the recording's name\n"
         "  before its extension.\n";
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
  int first = 1;
  if (argc > 1 && (std::strcmp(argv[1], "run") == 0 || std::strcmp(argv[1], "learn") == 0 ||
                   std::strcmp(argv[1], "eval") == 0)) {
    o->action = argv[1];
    first = 2;
  }
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string* out) {
      // A value never starts with "--": that is the next option, the value is missing.
      if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) {
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
      if (!value(&v))
        return false;
      o->inputs.push_back(v);
    } else if (a == "--raw") {
      if (!value(&v))
        return false;
      o->inputs.push_back(v);
      o->raw = true;
    } else if (a == "--jobs" || a == "--threads") {
      if (!value(&v))
        return false;
      char* end = nullptr;
      long n = std::strtol(v.c_str(), &end, 10);
      long least = a == "--jobs" ? 1 : 0;
      if (v.empty() || *end || n < least || n > 256) {
        *error =
            a + (a == "--jobs" ? " takes a number from 1 to 256" : " takes a number from 0 to 256");
        return false;
      }
      (a == "--jobs" ? o->jobs : o->threads) = static_cast<int>(n);
      o->threadsGiven = o->threadsGiven || a == "--threads";
    } else if (a == "--decoder") {
      if (!value(&o->decoder))
        return false;
      if (o->decoder != "libav" && o->decoder != "pipe" && o->decoder != "auto") {
        *error = "--decoder takes libav or pipe";
        return false;
      }
    } else if (a == "--json") {
      if (!value(&o->json))
        return false;
    } else if (a == "--edl-mode") {
      if (!value(&o->edlMode))
        return false;
      if (o->edlMode != "refined" && o->edlMode != "decisions") {
        *error = "--edl-mode takes refined or decisions";
        return false;
      }
    } else if (a == "--detected") {
      if (!value(&o->detected))
        return false;
    } else if (a == "--preview") {
      if (!value(&o->preview))
        return false;
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
      o->sizeGiven = true;
    } else if (a == "--fps") {
      if (!value(&v))
        return false;
      o->video.fps = std::atof(v.c_str());
      if (!(o->video.fps > 0)) {
        *error = "--fps takes a positive number";
        return false;
      }
      o->fpsGiven = true;
    } else if (a == "--settings") {
      if (!value(&o->settings))
        return false;
    } else if (a == "--set") {
      if (!value(&v))
        return false;
      const size_t eq = v.find('=');
      if (eq == std::string::npos || eq == 0) {
        *error = "--set takes KEY=VALUE";
        return false;
      }
      o->settingValues.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--plugin") {
      if (!value(&o->plugin))
        return false;
    } else if (a == "--channel-key") {
      if (!value(&v))
        return false;
      char* end = nullptr;
      o->channelKey = std::strtoll(v.c_str(), &end, 10);
      if (v.empty() || *end) {
        *error = "--channel-key takes a whole number";
        return false;
      }
      o->channelKeyGiven = true;
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
    } else if (a == "--timing") {
      o->timing = true;
    } else if (!a.empty() && a[0] != '-') {
      o->inputs.push_back(a);
    } else {
      *error = "unknown option " + a;
      return false;
    }
  }
  if (!o->settingValues.empty() && (o->settings.empty() || o->action != "run")) {
    *error = "--set needs --settings (run)";
    return false;
  }
  if (o->inputs.size() == 1)
    o->input = o->inputs[0];
  return true;
}

}  // namespace zunkhost
