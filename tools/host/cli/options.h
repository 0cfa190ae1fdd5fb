// Command-line options of zunk-host.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "decode/video_pipe.h"

namespace zunkhost {

struct Options {
  std::string action = "run";       // "run", "learn" or "eval"
  std::string input;                // the video (or raw frames with `raw`) of this run
  std::vector<std::string> inputs;  // every recording (or folder, with recursive) named
  bool raw = false;
  std::string decoder = "auto";  // "libav" (in-process), "pipe" (ffmpeg) or "auto"
  int threads = 0;               // decoder threads; 0 = every core
  int jobs = 1;                  // recordings processed at once
  bool sizeGiven = false;        // --size: resize decoded frames
  std::string output;            // processed frames: encoded video, or raw with rawOutput
  bool rawOutput = false;
  std::string settings;  // settings file installed beside the host before Init
  // --set KEY=VALUE: keys of the channel's section changed in the installed copy
  std::vector<std::pair<std::string, std::string>> settingValues;
  std::string plugin;               // module path; default: the build's module
  std::string log;                  // per-frame lines: "-" = standard output, "" = none
  std::string edl;                  // advert breaks as an EDL file
  std::string json;                 // the timeline as JSON
  std::string edlMode = "refined";  // "refined" or "decisions"
  // Outputs beside each recording (or under outDir): "edl", "edl-skip", "chapters",
  // "cuts", "json". Empty: "edl", unless the run names an output file of its own.
  std::vector<std::string> formats;
  std::string outDir;            // where the outputs beside the recordings go instead
  bool recursive = false;        // folders named are searched for recordings
  bool force = false;            // run recordings whose outputs are newer than they are
  bool allowEmpty = false;       // detection that never ran is no error
  std::string summary = "text";  // "text" or "json"
  bool follow = false;           // read on as the recording grows
  bool fast = false;             // skip lists only: the decoder leaves out what it can
  double followTimeout = 30;     // seconds without growth that end --follow
  std::string detected;          // eval: an EDL or a JSON timeline
  std::string fpsFrom;           // eval: the recording whose frame rate the spans have
  std::string preview;           // learn: PNG of what was found
  int corner = -1;               // learn: the corner to look in (0 top left .. 3), -1 any
  std::string truth;             // known breaks, to compare with
  VideoGeometry video;
  int64_t channelKey = 1001;
  // run --learn: channels without a usable section are learned into the settings first;
  // without --channel-key each recording's key comes from its service name or file name.
  bool learn = false;
  std::string channelKeyFrom;  // where that key came from, for the summary ("" = given)
  std::string channelName = "Sample";
  uint32_t hostVersion = 0x4000A;
  int32_t volume = 100;
  bool recording = false;
  std::string instance;  // "/inst:N": the window title becomes "Quintora.Inst" + N
  int64_t maxFrames = -1;
  bool keepChannels = true;  // the channel callback's answer
  bool progress = true;
  bool channelKeyGiven = false;
  bool fpsGiven = false;
  bool threadsGiven = false;
  int readAhead = 2;  // frames decoded ahead of the plug-in on a thread of their own
  bool timing = false;  // time spent decoding, in the plug-in and waiting, on standard error
};

// Fills *o from argv. Returns false with a message in *error; *help when asked for usage.
// Every option takes its value as the next word or after "=" ("--edl=a.edl").
bool ParseOptions(int argc, char** argv, Options* o, std::string* error, bool* help);
// "/inst:N" or "-inst:N", in any letter case: the host's numbered instance switch.
bool IsInstanceSwitch(const std::string& word);
// The full usage (--help) and the few lines shown when the command line is wrong.
const char* Usage();
const char* ShortUsage();

}  // namespace zunkhost
