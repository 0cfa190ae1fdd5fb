// The files one run writes: opened under temporary names before the first frame (so a
// folder that cannot be written is reported at once), finished at the end, and renamed
// together only when all of them were written; otherwise none is left behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/options.h"
#include "decode/video_pipe.h"
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

  // Opens every output the options ask for; audioFrom: the recording whose sound the
  // processed video takes ("" = none). False with one line in *error.
  bool Open(const Options& o,
            const VideoGeometry& g,
            const std::string& audioFrom,
            std::string* error);
  FILE* Log() const { return log_; }
  JsonTimeline* Json() const { return json_.get(); }
  void WriteFrame(const uint8_t* frame, size_t bytes);
  // Writes the ends of the files and renames them all. False with one line in *error.
  bool Finish(const Options& o, const RunResult& r, double fps, std::string* error);

 private:
  OutputSet files_;
  FILE* sink_ = nullptr;
  bool rawSink_ = false;
  bool sinkFailed_ = false;
  FILE* log_ = nullptr;
  FILE* jsonFile_ = nullptr;
  std::unique_ptr<JsonTimeline> json_;
};

}  // namespace zunkhost
