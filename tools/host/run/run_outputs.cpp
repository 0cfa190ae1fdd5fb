// RunOutputs: the run's files from their temporary names to their final ones.
#include "run/run_outputs.h"

#include "session/host_state.h"
#include "spans/report.h"

namespace zunkhost {

RunOutputs::~RunOutputs() {
  if (sink_)
    CloseFrameSink(sink_, rawSink_);
  if (log_ && log_ != stdout)
    std::fclose(log_);
  if (jsonFile_)
    std::fclose(jsonFile_);
}

bool RunOutputs::Open(const Options& o,
                      const VideoGeometry& g,
                      const std::string& audioFrom,
                      std::string* error) {
  if (!o.output.empty()) {
    bool toStdout = o.rawOutput && o.output == "-";
    std::string target = toStdout ? o.output : files_.Add(o.output);
    rawSink_ = o.rawOutput;
    sink_ = OpenFrameSink(target, o.rawOutput, g, audioFrom, error);
    if (!sink_)
      return false;
  }
  if (o.log == "-")
    log_ = stdout;
  else if (!o.log.empty() && !(log_ = files_.Open(o.log, error)))
    return false;
  if (!o.json.empty()) {
    if (!(jsonFile_ = files_.Open(o.json, error)))
      return false;
    json_.reset(new JsonTimeline(jsonFile_));
  }
  if (!o.edl.empty()) {
    FILE* edl = files_.Open(o.edl, error);
    if (!edl)
      return false;
    std::fclose(edl);
  }
  return true;
}

void RunOutputs::WriteFrame(const uint8_t* frame, size_t bytes) {
  if (sink_ && !sinkFailed_)
    sinkFailed_ = std::fwrite(frame, 1, bytes, sink_) != bytes;
}

bool RunOutputs::Finish(const Options& o, const RunResult& r, double fps, std::string* error) {
  bool sinkOk = CloseFrameSink(sink_, rawSink_) && !sinkFailed_;
  sink_ = nullptr;
  if (!sinkOk) {
    *error = "cannot write the processed video " + o.output;
    return false;
  }
  const std::vector<Span>& breaks = r.Breaks(o.edlMode);
  if (json_) {
    json_->End(r.frames, o.edlMode, breaks, r.decisions, Host().log, r.damaged);
    bool ok = std::fflush(jsonFile_) == 0 && !std::ferror(jsonFile_);
    std::fclose(jsonFile_);
    jsonFile_ = nullptr;
    if (!ok) {
      *error = "cannot write " + o.json;
      return false;
    }
  }
  if (log_ && log_ != stdout)
    std::fclose(log_);
  log_ = nullptr;
  if (!o.edl.empty()) {
    // Its temporary file was made before the first frame; the lines go in now.
    FILE* e = std::fopen(files_.TemporaryOf(o.edl).c_str(), "wb");
    bool ok = e != nullptr;
    if (e) {
      WriteEdl(e, breaks, fps);
      ok = std::fclose(e) == 0;
    }
    if (!ok) {
      *error = "cannot write " + o.edl;
      return false;
    }
  }
  return files_.Commit(error);
}

}  // namespace zunkhost
