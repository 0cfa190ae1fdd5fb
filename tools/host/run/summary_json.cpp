// The JSON form of the summary.
#include "run/summary_json.h"

#include "session/host_state.h"
#include "spans/timeline.h"

namespace zunkhost {
namespace {

void PrintSpans(FILE* out, const char* name, const std::vector<Span>& spans, double fps) {
  std::fprintf(out, "  \"%s\": [", name);
  for (size_t i = 0; i < spans.size(); ++i)
    std::fprintf(out, "%s{\"first\": %lld, \"last\": %lld, \"start\": %.3f, \"end\": %.3f}",
                 i ? ", " : "", static_cast<long long>(spans[i].first),
                 static_cast<long long>(spans[i].last), SpanStart(spans[i], fps),
                 SpanEnd(spans[i], fps));
  std::fprintf(out, "],\n");
}

}  // namespace

void PrintJsonSummary(FILE* out, const Options& o, const SummaryHeader& h, const RunResult& r) {
  const VideoGeometry& g = h.geometry;
  std::fprintf(out, "{\n  \"input\": %s,\n  \"plugin\": %s,\n", JsonString(o.input).c_str(),
               JsonString(h.plugin).c_str());
  std::fprintf(out,
               "  \"width\": %d,\n  \"height\": %d,\n  \"pixelFormat\": %d,\n  \"fps\": %.6f,\n"
               "  \"recording\": %s,\n  \"channelKey\": %lld,\n",
               g.width, g.height, g.pixelFormat, g.fps, o.recording ? "true" : "false",
               static_cast<long long>(o.channelKey));
  if (!o.channelKeyFrom.empty())
    std::fprintf(out, "  \"channelKeyFrom\": %s,\n", JsonString(o.channelKeyFrom).c_str());
  if (o.fast)
    std::fprintf(out, "  \"fastScan\": %s,\n", JsonString(h.leftOut).c_str());
  std::fprintf(out,
               "  \"frames\": %lld,\n  \"detectionRan\": %lld,\n  \"damaged\": %lld,\n"
               "  \"edlMode\": %s,\n",
               static_cast<long long>(r.frames), static_cast<long long>(r.processed),
               static_cast<long long>(r.damaged), JsonString(o.edlMode).c_str());
  std::fprintf(out, "  \"commands\": [");
  const std::vector<Command>& log = Host().log;
  for (size_t i = 0; i < log.size(); ++i)
    std::fprintf(out, "%s{\"frame\": %lld, \"command\": %s, \"value\": %lld}", i ? ", " : "",
                 static_cast<long long>(log[i].frame),
                 JsonString(CommandName(log[i].command)).c_str(),
                 static_cast<long long>(log[i].value));
  std::fprintf(out, "],\n");
  PrintSpans(out, "breaks", r.Breaks(o.edlMode), g.fps);
  PrintSpans(out, "refined", r.refined, g.fps);
  PrintSpans(out, "decisions", r.decisions, g.fps);
  PrintSpans(out, "commanded", r.commanded, g.fps);
  std::fprintf(out, "  \"files\": [");
  for (size_t i = 0; i < h.files.size(); ++i)
    std::fprintf(out, "%s%s", i ? ", " : "", JsonString(h.files[i]).c_str());
  std::fprintf(out, "]\n}\n");
}

}  // namespace zunkhost
