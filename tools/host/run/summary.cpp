// The summary of a run on standard output.
#include "run/summary.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "host/host_commands.h"
#include "run/summary_json.h"
#include "session/host_state.h"

namespace zunkhost {

std::string Timestamp(int64_t frame, double fps) {
  char buf[32];
  int64_t ms = static_cast<int64_t>(frame * 1000.0 / fps + 0.5);
  std::snprintf(buf, sizeof buf, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return buf;
}

namespace {

void PrintSpans(FILE* out, const char* title, const std::vector<Span>& spans, double fps) {
  std::fprintf(out, "%s: %zu\n", title, spans.size());
  for (const Span& s : spans)
    std::fprintf(out, "  frames %lld-%lld  (%s - %s)\n", static_cast<long long>(s.first),
                 static_cast<long long>(s.last), Timestamp(s.first, fps).c_str(),
                 Timestamp(s.last + 1, fps).c_str());
}

// The reactions the plug-in asked for, each at the frame it came with.
void PrintReactions(FILE* out, const std::vector<Command>& log, double fps) {
  for (const Command& c : log) {
    if (!IsReactionCommand(c.command))
      continue;
    std::fprintf(out, "  frame %lld (%s) %s", static_cast<long long>(c.frame),
                 Timestamp(std::max<int64_t>(c.frame, 0), fps).c_str(),
                 CommandName(c.command).c_str());
    if (c.command == zunk::HostCmdSetVolume)
      std::fprintf(out, " %lld", static_cast<long long>(c.value));
    std::fprintf(out, "\n");
  }
}

void PrintAgreement(FILE* out,
                    const char* title,
                    const std::vector<Span>& truth,
                    const std::vector<Span>& found) {
  const int64_t inTruth = SpanFrames(truth), all = SpanFrames(found);
  const int64_t both = OverlapFrames(truth, found);
  std::fprintf(out, "%s: %lld of %lld break frames found, %lld frames found outside breaks\n",
               title, static_cast<long long>(both), static_cast<long long>(inTruth),
               static_cast<long long>(all - both));
}

std::string ActionsText(const Reactions& r) {
  return r.recording ? "RecordAction " + std::to_string(r.recordAction)
                     : "PreviewAction " + std::to_string(r.previewAction);
}

void PrintCommands(FILE* out, const std::vector<Command>& log, double fps) {
  std::map<std::string, int> counts;
  for (const Command& c : log)
    ++counts[CommandName(c.command)];
  std::fprintf(out, "host commands:");
  if (counts.empty())
    std::fprintf(out, " none");
  for (const auto& c : counts)
    std::fprintf(out, " %s x%d", c.first.c_str(), c.second);
  std::fprintf(out, "\n");
  PrintReactions(out, log, fps);
}

void PrintFiles(FILE* out, const Options& o, const SummaryHeader& h) {
  if (!o.output.empty() && o.output != "-")
    std::fprintf(out, "processed video: %s\n", o.output.c_str());
  for (const std::string& f : h.files)
    std::fprintf(out, "written: %s\n", f.c_str());
  if (!o.log.empty() && o.log != "-")
    std::fprintf(out, "per-frame log: %s\n", o.log.c_str());
}

void PrintTextSummary(FILE* out, const Options& o, const SummaryHeader& h, const RunResult& r) {
  const VideoGeometry& g = h.geometry;
  std::fprintf(out, "\nzunk-host summary\n");
  std::fprintf(out, "plug-in: %s (interface %d)\n", h.plugin.c_str(), h.interfaceVersion);
  std::fprintf(out, "stream: %dx%d, pixel format %d, %s, channel %lld\n", g.width, g.height,
               g.pixelFormat, o.recording ? "recording" : "preview",
               static_cast<long long>(o.channelKey));
  if (!o.channelKeyFrom.empty())
    std::fprintf(out, "channel key: %lld, from %s\n", static_cast<long long>(o.channelKey),
                 o.channelKeyFrom.c_str());
  if (o.fast)
    std::fprintf(out, "fast scan: %s\n", h.leftOut.c_str());
  std::fprintf(out, "frames: %lld (%s), detection ran on %lld", static_cast<long long>(r.frames),
               Timestamp(r.frames, g.fps).c_str(), static_cast<long long>(r.processed));
  if (r.changesCounted)
    std::fprintf(out, ", changed %lld", static_cast<long long>(r.changed));
  std::fprintf(out, "\n");
  if (r.damaged > 0)
    std::fprintf(out, "damaged: %lld packets or frames decoded past\n",
                 static_cast<long long>(r.damaged));
  PrintCommands(out, Host().log, g.fps);
  if (r.traced) {
    PrintSpans(out, "advert breaks (refined: logo lost to logo back)", r.refined, g.fps);
    PrintSpans(out, "advert breaks (the plug-in's decisions)", r.decisions, g.fps);
  }
  const std::string commandTitle =
      "advert breaks (from the host commands under " + ActionsText(h.reactions) + ")";
  PrintSpans(out, commandTitle.c_str(), r.commanded, g.fps);
  if (!o.truth.empty()) {
    std::vector<Span> truth = ReadTruth(o.truth);
    PrintSpans(out, "known breaks", truth, g.fps);
    PrintAgreement(out, "agreement", truth, r.Breaks(o.edlMode));
    if (r.traced)
      PrintAgreement(out, "agreement of the host commands", truth, r.commanded);
  }
  PrintFiles(out, o, h);
}

}  // namespace

void PrintSummary(const Options& o, const SummaryHeader& h, const RunResult& r) {
  FILE* out = stdout;
  for (const std::string* f : {&o.edl, &o.json, &o.log, &o.output})
    if (*f == "-")
      out = stderr;
  if (o.summary == "json")
    PrintJsonSummary(out, o, h, r);
  else
    PrintTextSummary(out, o, h, r);
  std::fflush(out);
}

}  // namespace zunkhost
