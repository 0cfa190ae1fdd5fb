// The option rows and what each one sets.
#include "cli/option_table.h"

#include <cstdio>

#include "cli/option_values.h"

namespace zunkhost {
namespace {

using P = PerRecording;

template <std::string Options::*Field>
bool SetText(const std::string& v, Options* o, std::string*) {
  o->*Field = v;
  return true;
}

template <bool Options::*Field, bool Value>
bool SetFlag(const std::string&, Options* o, std::string*) {
  o->*Field = Value;
  return true;
}

bool Count(const char* name, const std::string& v, int64_t least, int* out, std::string* e) {
  int64_t n = 0;
  if (!ParseWhole(v, least, 256, &n)) {
    *e = std::string(name) + " takes a number from " + std::to_string(least) + " to 256";
    return false;
  }
  *out = static_cast<int>(n);
  return true;
}

// One of the words; false with the words listed in *e.
bool OneOf(const char* name, const std::string& v, const char* const* words, std::string* e) {
  std::string list;
  for (const char* const* w = words; *w; ++w) {
    if (v == *w)
      return true;
    list += std::string(list.empty() ? "" : " or ") + *w;
  }
  *e = std::string(name) + " takes " + list;
  return false;
}

bool SetFormats(const std::string& v, Options* o, std::string* e) {
  static const char* const kFormats[] = {"edl", "edl-skip", "chapters", "cuts", "json", nullptr};
  o->formats.clear();
  size_t start = 0;
  for (;;) {
    const size_t comma = v.find(',', start);
    const std::string f = v.substr(start, comma == std::string::npos ? comma : comma - start);
    if (!OneOf("--outputs", f, kFormats, e)) {
      *e = "--outputs takes a list of edl, edl-skip, chapters, cuts, json (comma-separated)";
      return false;
    }
    o->formats.push_back(f);
    if (comma == std::string::npos)
      return true;
    start = comma + 1;
  }
}

bool SetSize(const std::string& v, Options* o, std::string* e) {
  VideoGeometry& g = o->video;
  const size_t x = v.find('x');
  int64_t w = 0, h = 0;
  if (x == std::string::npos || !ParseWhole(v.substr(0, x), 1, 8192, &w) ||
      !ParseWhole(v.substr(x + 1), 1, 8192, &h)) {
    *e = "--size takes WxH";
    return false;
  }
  g.width = static_cast<int>(w);
  g.height = static_cast<int>(h);
  o->sizeGiven = true;
  return true;
}

bool SetSetting(const std::string& v, Options* o, std::string* e) {
  const size_t eq = v.find('=');
  if (eq == std::string::npos || eq == 0) {
    *e = "--set takes KEY=VALUE";
    return false;
  }
  o->settingValues.emplace_back(v.substr(0, eq), v.substr(eq + 1));
  return true;
}

const OptionRow kRows[] = {
    {"--input", nullptr, true, P::kByRunner,
     [](const std::string& v, Options* o, std::string*) {
       o->inputs.push_back(v);
       return true;
     }},
    {"--raw", nullptr, true, P::kByRunner,
     [](const std::string& v, Options* o, std::string*) {
       o->inputs.push_back(v);
       o->raw = true;
       return true;
     }},
    {"--jobs", nullptr, true, P::kByRunner,
     [](const std::string& v, Options* o, std::string* e) {
       return Count("--jobs", v, 1, &o->jobs, e);
     }},
    {"--threads", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->threadsGiven = true;
       return Count("--threads", v, 0, &o->threads, e);
     }},
    {"--read-ahead", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       return Count("--read-ahead", v, 0, &o->readAhead, e);
     }},
    {"--decoder", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       static const char* const kWords[] = {"libav", "pipe", "auto", nullptr};
       o->decoder = v;
       return OneOf("--decoder", v, kWords, e);
     }},
    {"--outputs", nullptr, true, P::kSame, SetFormats},
    {"--out-dir", nullptr, true, P::kByRunner, SetText<&Options::outDir>},
    {"--recursive", nullptr, false, P::kSame, SetFlag<&Options::recursive, true>},
    {"--force", nullptr, false, P::kSame, SetFlag<&Options::force, true>},
    {"--allow-empty", nullptr, false, P::kSame, SetFlag<&Options::allowEmpty, true>},
    {"--summary", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       static const char* const kWords[] = {"text", "json", nullptr};
       o->summary = v;
       return OneOf("--summary", v, kWords, e);
     }},
    {"--follow", nullptr, false, P::kSame, SetFlag<&Options::follow, true>},
    {"--fast", "run", false, P::kSame, SetFlag<&Options::fast, true>},
    {"--follow-timeout", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       if (ParsePositive(v, &o->followTimeout))
         return true;
       *e = "--follow-timeout takes a number of seconds above 0";
       return false;
     }},
    {"--json", nullptr, true, P::kOwnName, SetText<&Options::json>},
    {"--edl", nullptr, true, P::kOwnName, SetText<&Options::edl>},
    {"--edl-mode", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       static const char* const kWords[] = {"refined", "decisions", nullptr};
       o->edlMode = v;
       return OneOf("--edl-mode", v, kWords, e);
     }},
    {"--detected", "eval", true, P::kSame, SetText<&Options::detected>},
    {"--recording", "eval", true, P::kSame, SetText<&Options::fpsFrom>},
    {"--learn", "run", false, P::kSame, SetFlag<&Options::learn, true>},
    {"--preview", "learn", true, P::kSame, SetText<&Options::preview>},
    {"--corner", "learn", true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       static const char* const kWords[] = {"top-left", "top-right", "bottom-left",
                                            "bottom-right", nullptr};
       for (int c = 0; kWords[c]; ++c)
         if (v == kWords[c]) {
           o->corner = c;
           return true;
         }
       return OneOf("--corner", v, kWords, e);
     }},
    {"--output", nullptr, true, P::kOwnName, SetText<&Options::output>},
    {"--raw-output", nullptr, true, P::kOwnName,
     [](const std::string& v, Options* o, std::string*) {
       o->output = v;
       o->rawOutput = true;
       return true;
     }},
    {"--format", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       int64_t n = 0;
       if (ParseWhole(v, 0, 1, &n)) {
         o->video.pixelFormat = static_cast<int>(n);
         return true;
       }
       *e = "--format takes 0 or 1";
       return false;
     }},
    {"--size", nullptr, true, P::kSame, SetSize},
    {"--fps", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->fpsGiven = true;
       if (ParsePositive(v, &o->video.fps))
         return true;
       *e = "--fps takes a positive number";
       return false;
     }},
    {"--settings", nullptr, true, P::kSame, SetText<&Options::settings>},
    {"--set", nullptr, true, P::kSame, SetSetting},
    {"--plugin", nullptr, true, P::kSame, SetText<&Options::plugin>},
    {"--channel-key", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       o->channelKeyGiven = true;
       if (ParseWhole(v, INT64_MIN, INT64_MAX, &o->channelKey))
         return true;
       *e = "--channel-key takes a whole number";
       return false;
     }},
    {"--channel-name", nullptr, true, P::kSame, SetText<&Options::channelName>},
    {"--host-version", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       int64_t n = 0;
       if (ParseWhole(v, 0, UINT32_MAX, &n, true)) {
         o->hostVersion = static_cast<uint32_t>(n);
         return true;
       }
       *e = "--host-version takes a number (0x4000A, or decimal)";
       return false;
     }},
    {"--volume", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       int64_t n = 0;
       if (ParseWhole(v, 0, 65535, &n)) {
         o->volume = static_cast<int32_t>(n);
         return true;
       }
       *e = "--volume takes a number from 0 to 65535";
       return false;
     }},
    {"--recording", nullptr, false, P::kSame, SetFlag<&Options::recording, true>},
    {"--frames", nullptr, true, P::kSame,
     [](const std::string& v, Options* o, std::string* e) {
       if (ParseWhole(v, 0, INT64_MAX, &o->maxFrames))
         return true;
       *e = "--frames takes a number of frames";
       return false;
     }},
    {"--drop-channels", nullptr, false, P::kSame, SetFlag<&Options::keepChannels, false>},
    {"--log", nullptr, true, P::kByRunner, SetText<&Options::log>},
    {"--no-log", nullptr, false, P::kSame,
     [](const std::string&, Options* o, std::string*) {
       o->log.clear();
       return true;
     }},
    {"--truth", nullptr, true, P::kSame, SetText<&Options::truth>},
    {"--no-progress", nullptr, false, P::kSame, SetFlag<&Options::progress, false>},
    {"--timing", nullptr, false, P::kSame, SetFlag<&Options::timing, true>},
};

}  // namespace

const OptionRow* FindOption(const std::string& name, const std::string& action) {
  for (const OptionRow& row : kRows)
    if (name == row.name && (!row.action || action == row.action))
      return &row;
  return nullptr;
}

const OptionRow* OptionRows(size_t* count) {
  *count = sizeof kRows / sizeof kRows[0];
  return kRows;
}

}  // namespace zunkhost
