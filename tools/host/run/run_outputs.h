// The files one run writes: opened under temporary names before the first frame (so a
// folder that cannot be written is reported at once), finished at the end, and renamed
// together only when all of them were written; otherwise none is left behind. A name of
// "-" is standard output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/options.h"
#include "decode/video_pipe.h"
#include "run/beside_outputs.h"
#include "run/run_result.h"
#include "spans/output_files.h"
#include "spans/timeline.h"

namespace zunkhost {

class RunOutputs {
 public:
  RunOutputs() = default;
  RunOutputs(const RunOutputs&) = delete;
  RunOutputs& operator=(const RunOutputs&) = delete;
  ~RunOutputs();

  // Opens every output the options ask for and the outputs beside the recording;
  // audioFrom: the recording whose sound the processed video takes ("" = none). False
  // with one line in *error.
  bool Open(const Options& o,
            const std::vector<BesideOutput>& beside,
            const VideoGeometry& g,
            const std::string& audioFrom,
            std::string* error);
  FILE* Log() const { return log_; }
  // Whether the processed frames are written (a video or raw frames).
  bool WritesVideo() const { return sink_ != nullptr; }
  JsonTimeline* Json() const { return json_.get(); }
  void WriteFrame(const uint8_t* frame, size_t bytes);
  // The skip lists as they stand, each replaced in one step (a growing recording).
  void WriteSkipListsNow(const std::vector<Span>& breaks, int64_t frames, double fps);
  // Writes the ends of the files and renames them all; without breaks (detection never
  // ran) the files of breaks are left out. False with one line in *error.
  bool Finish(const Options& o,
              const RunResult& r,
              double fps,
              bool withBreaks,
              std::string* error);
  // The final names of the files of breaks, for the summary.
  const std::vector<std::string>& BreakFiles() const { return breakFiles_; }

 private:
  bool FinishJson(const Options& o, const RunResult& r, bool withBreaks, std::string* error);
  bool FinishSkipLists(const std::vector<Span>& breaks,
                       int64_t frames,
                       double fps,
                       bool withBreaks,
                       std::string* error);

  OutputSet files_;
  FILE* sink_ = nullptr;
  bool rawSink_ = false;
  bool sinkFailed_ = false;
  FILE* log_ = nullptr;
  FILE* jsonFile_ = nullptr;
  std::unique_ptr<JsonTimeline> json_;
  std::vector<std::string> jsonPaths_;   // the first is written as the run goes
  std::vector<BesideOutput> skipLists_;  // the explicit --edl among them, as "edl"
  std::vector<std::string> breakFiles_;
};

}  // namespace zunkhost
