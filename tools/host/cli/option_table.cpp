// The option rows and what each one sets.
#include "cli/option_table.h"

#include <cstdio>
#include <cstdlib>

namespace zunkhost {
namespace {

using P = PerRecording;

bool Count(const std::string& name, const std::string& v, long least, int* out, std::string* e) {
  char* end = nullptr;
  long n = std::strtol(v.c_str(), &end, 10);
  if (v.empty() || *end || n < least || n > 256) {
    *e = name + (least == 1 ? " takes a number from 1 to 256" : " takes a number from 0 to 256");
    return false;
  }
  *out = static_cast<int>(n);
  return true;
}

const OptionRow kRows[] = {
    {"--input", true, P::kByRunner,
     [](const std::string& v, Options* o, std::string*) {
       o->inputs.push_back(v);
       return true;
     }},
    {"--raw", true, P::kByRunner,
     [](const std::string& v, Options* o, std::string*) {
       o->inputs.push_back(v);
       o->raw = true;
       return true;
     }},
    {"--jobs", true, P::kByRunner,
     [](const std::string& v, Options* o, std::string* e) {
       return Count("--jobs", v, 1, &o->jobs, e);
     }},
    {"--threads", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->threadsGiven = true;
       return Count("--threads", v, 0, &o->threads, e);
     }},
    {"--decoder", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->decoder = v;
       if (v == "libav" || v == "pipe" || v == "auto")
         return true;
       *e = "--decoder takes libav or pipe";
       return false;
     }},
    {"--json", true, P::kOwnName,
     [](const std::string& v, Options* o, std::string*) {
       o->json = v;
       return true;
     }},
    {"--edl-mode", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->edlMode = v;
       if (v == "refined" || v == "decisions")
         return true;
       *e = "--edl-mode takes refined or decisions";
       return false;
     }},
    {"--detected", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->detected = v;
       return true;
     }},
    {"--preview", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->preview = v;
       return true;
     }},
    {"--output", true, P::kOwnName,
     [](const std::string& v, Options* o, std::string*) {
       o->output = v;
       return true;
     }},
    {"--raw-output", true, P::kOwnName,
     [](const std::string& v, Options* o, std::string*) {
       o->output = v;
       o->rawOutput = true;
       return true;
     }},
    {"--format", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->video.pixelFormat = std::atoi(v.c_str());
       if (o->video.pixelFormat == 0 || o->video.pixelFormat == 1)
         return true;
       *e = "--format takes 0 or 1";
       return false;
     }},
    {"--size", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       VideoGeometry& g = o->video;
       if (std::sscanf(v.c_str(), "%dx%d", &g.width, &g.height) != 2 || g.width <= 0 ||
           g.height <= 0 || g.width > 8192 || g.height > 8192) {
         *e = "--size takes WxH";
         return false;
       }
       o->sizeGiven = true;
       return true;
     }},
    {"--fps", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->video.fps = std::atof(v.c_str());
       if (!(o->video.fps > 0)) {
         *e = "--fps takes a positive number";
         return false;
       }
       o->fpsGiven = true;
       return true;
     }},
    {"--settings", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->settings = v;
       return true;
     }},
    {"--set", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       const size_t eq = v.find('=');
       if (eq == std::string::npos || eq == 0) {
         *e = "--set takes KEY=VALUE";
         return false;
       }
       o->settingValues.emplace_back(v.substr(0, eq), v.substr(eq + 1));
       return true;
     }},
    {"--plugin", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->plugin = v;
       return true;
     }},
    {"--channel-key", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       char* end = nullptr;
       o->channelKey = std::strtoll(v.c_str(), &end, 10);
       if (v.empty() || *end) {
         *e = "--channel-key takes a whole number";
         return false;
       }
       o->channelKeyGiven = true;
       return true;
     }},
    {"--channel-name", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->channelName = v;
       return true;
     }},
    {"--host-version", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->hostVersion = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 0));
       return true;
     }},
    {"--volume", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->volume = std::atoi(v.c_str());
       return true;
     }},
    {"--recording", false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->recording = true;
       return true;
     }},
    {"--frames", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->maxFrames = std::strtoll(v.c_str(), nullptr, 10);
       return true;
     }},
    {"--drop-channels", false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->keepChannels = false;
       return true;
     }},
    {"--log", true, P::kByRunner,
     [](const std::string& v, Options* o, std::string*) {
       o->log = v;
       return true;
     }},
    {"--no-log", false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->log.clear();
       return true;
     }},
    {"--edl", true, P::kOwnName,
     [](const std::string& v, Options* o, std::string*) {
       o->edl = v;
       return true;
     }},
    {"--truth", true, P::kSame,
     [](const std::string& v, Options* o, std::string*) {
       o->truth = v;
       return true;
     }},
    {"--no-progress", false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->progress = false;
       return true;
     }},
    {"--timing", false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->timing = true;
       return true;
     }},
};

}  // namespace

const OptionRow* FindOption(const std::string& name) {
  for (const OptionRow& row : kRows)
    if (name == row.name)
      return &row;
  return nullptr;
}

}  // namespace zunkhost
