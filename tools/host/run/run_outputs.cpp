// RunOutputs: the run's files from their temporary names to their final ones.
#include "run/run_outputs.h"

#include <fstream>

#include "os/host_os.h"
#include "session/host_state.h"
#include "spans/skip_formats.h"

namespace zunkhost {

RunOutputs::~RunOutputs() {
  if (sink_)
    CloseFrameSink(sink_, rawSink_);
  if (log_ && log_ != stdout)
    std::fclose(log_);
  if (jsonFile_ && jsonFile_ != stdout)
    std::fclose(jsonFile_);
}

bool RunOutputs::Open(const Options& o,
                      const std::vector<BesideOutput>& beside,
                      const VideoGeometry& g,
                      const std::string& audioFrom,
                      std::string* error) {
  if (!o.output.empty()) {
    std::string target = o.output == "-" ? o.output : files_.Add(o.output);
    rawSink_ = o.rawOutput;
    sink_ = OpenFrameSink(target, o.rawOutput, g, audioFrom, error);
    if (!sink_)
      return false;
  }
  if (o.log == "-")
    log_ = stdout;
  else if (!o.log.empty() && !(log_ = files_.Open(o.log, error)))
    return false;
  if (!o.json.empty())
    jsonPaths_.push_back(o.json);
  if (!o.edl.empty())
    skipLists_.push_back({"edl", o.edl});
  for (const BesideOutput& b : beside) {
    if (b.format == "json")
      jsonPaths_.push_back(b.path);
    else
      skipLists_.push_back(b);
  }
  for (size_t i = 0; i < jsonPaths_.size(); ++i) {
    FILE* f = jsonPaths_[i] == "-" ? stdout : files_.Open(jsonPaths_[i], error);
    if (!f)
      return false;
    if (i == 0)
      json_.reset(new JsonTimeline(jsonFile_ = f));
    else if (f != stdout)
      std::fclose(f);
  }
  for (const BesideOutput& s : skipLists_) {
    if (s.path == "-")
      continue;
    FILE* f = files_.Open(s.path, error);
    if (!f)
      return false;
    std::fclose(f);
  }
  return true;
}

void RunOutputs::WriteFrame(const uint8_t* frame, size_t bytes) {
  if (sink_ && !sinkFailed_)
    sinkFailed_ = std::fwrite(frame, 1, bytes, sink_) != bytes;
}

void RunOutputs::WriteSkipListsNow(const std::vector<Span>& breaks, int64_t frames, double fps) {
  for (const BesideOutput& s : skipLists_) {
    if (s.path == "-")
      continue;
    const std::string now = files_.TemporaryOf(s.path) + ".now";
    FILE* f = std::fopen(now.c_str(), "wb");
    if (!f)
      continue;
    WriteSkipList(f, s.format, breaks, frames, fps);
    if (std::fclose(f) != 0 || !MoveFileOver(now, s.path))
      std::remove(now.c_str());
  }
}

bool RunOutputs::FinishJson(const Options& o,
                            const RunResult& r,
                            bool withBreaks,
                            std::string* error) {
  if (!json_)
    return true;
  json_->End(r.frames, o.edlMode, r.Breaks(o.edlMode), r.decisions, Host().log, r.damaged);
  bool ok = std::fflush(jsonFile_) == 0 && !std::ferror(jsonFile_);
  if (jsonFile_ != stdout)
    ok = std::fclose(jsonFile_) == 0 && ok;
  jsonFile_ = nullptr;
  if (!ok) {
    *error = "cannot write " + jsonPaths_[0];
    return false;
  }
  const std::string first = files_.TemporaryOf(jsonPaths_[0]);
  for (size_t i = 0; i < jsonPaths_.size(); ++i) {
    if (jsonPaths_[i] == "-")
      continue;
    if (!withBreaks) {
      files_.Drop(jsonPaths_[i]);
      continue;
    }
    breakFiles_.push_back(jsonPaths_[i]);
    if (i == 0)
      continue;
    std::ifstream in(first, std::ios::binary);
    std::ofstream out(files_.TemporaryOf(jsonPaths_[i]), std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    if (!out.flush()) {
      *error = "cannot write " + jsonPaths_[i];
      return false;
    }
  }
  return true;
}

bool RunOutputs::FinishSkipLists(const std::vector<Span>& breaks,
                                 int64_t frames,
                                 double fps,
                                 bool withBreaks,
                                 std::string* error) {
  for (const BesideOutput& s : skipLists_) {
    if (s.path == "-") {
      if (withBreaks)
        WriteSkipList(stdout, s.format, breaks, frames, fps);
      continue;
    }
    if (!withBreaks) {
      files_.Drop(s.path);
      continue;
    }
    // Its temporary file was made before the first frame; the lines go in now.
    FILE* f = std::fopen(files_.TemporaryOf(s.path).c_str(), "wb");
    bool ok = f != nullptr;
    if (f) {
      WriteSkipList(f, s.format, breaks, frames, fps);
      ok = std::fclose(f) == 0;
    }
    if (!ok) {
      *error = "cannot write " + s.path;
      return false;
    }
    breakFiles_.push_back(s.path);
  }
  return true;
}

bool RunOutputs::Finish(const Options& o,
                        const RunResult& r,
                        double fps,
                        bool withBreaks,
                        std::string* error) {
  bool sinkOk = CloseFrameSink(sink_, rawSink_) && !sinkFailed_;
  sink_ = nullptr;
  if (!sinkOk) {
    *error = "cannot write the processed video " + o.output;
    return false;
  }
  if (!FinishJson(o, r, withBreaks, error) ||
      !FinishSkipLists(r.Breaks(o.edlMode), r.frames, fps, withBreaks, error))
    return false;
  if (log_ && log_ != stdout)
    std::fclose(log_);
  log_ = nullptr;
  return files_.Commit(error);
}

}  // namespace zunkhost
