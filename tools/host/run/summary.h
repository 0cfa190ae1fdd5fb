// What a run prints when it is done: the plug-in, the stream, the host commands with
// the reactions at their frames, the advert breaks three ways, the agreement with known
// breaks when given, and the files written; as text, or as one JSON object for scripts.
// It goes to standard output, or to standard error when an output took standard output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "decode/video_pipe.h"
#include "run/run_result.h"
#include "spans/report.h"

namespace zunkhost {

// "m:ss.mmm" of a frame number.
std::string Timestamp(int64_t frame, double fps);

struct SummaryHeader {
  std::string plugin;  // name - description
  int32_t interfaceVersion = 0;
  VideoGeometry geometry;
  Reactions reactions;             // the channel's actions, under which commands are read
  std::vector<std::string> files;  // the files of breaks written
  std::string leftOut;             // what a fast scan's decoder left out
};

void PrintSummary(const Options& o, const SummaryHeader& h, const RunResult& r);

}  // namespace zunkhost
