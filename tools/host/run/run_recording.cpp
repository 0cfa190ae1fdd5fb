// RunRecording: the frames of one recording through the emulated host, the outputs
// under temporary names until the end, and the summary.
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "cli/fail.h"
#include "cli/progress.h"
#include "decode/frame_reader.h"
#include "decode/read_ahead.h"
#include "os/paths.h"
#include "run/beside_outputs.h"
#include "run/frame_log.h"
#include "run/learn_first.h"
#include "run/packed_rows.h"
#include "run/run.h"
#include "run/run_outputs.h"
#include "run/summary.h"
#include "session/channel_setup.h"
#include "session/host_session.h"
#include "session/host_state.h"
#include "session/settings_install.h"
#include "spans/edge_spans.h"
#include "spans/logo_edges.h"
#include "spans/report.h"
#include "spans/timeline.h"

namespace zunkhost {
namespace {

using Clock = std::chrono::steady_clock;

// The plug-in's copy of the settings goes with the run, however it ends.
struct InstalledSettingsCleanup {
  ~InstalledSettingsCleanup() { RemoveInstalledSettings(); }
};

SessionSetup SessionOf(const Options& o, const VideoGeometry& g) {
  SessionSetup s;
  s.pluginPath = o.plugin;
  s.instance = o.instance;
  s.hostVersion = o.hostVersion;
  s.volume = o.volume;
  s.keepChannels = o.keepChannels;
  s.geometry = g;
  s.recording = o.recording;
  s.channelKey = o.channelKey;
  s.channelName = o.channelName;
  return s;
}

// The logo's edges in the frame, as the frame came (before the plug-in may draw on it);
// `luma` is kept from one frame to the next.
EdgeFrame EdgesOf(const LogoEdgeModel& edges,
                  const VideoGeometry& g,
                  const uint8_t* frame,
                  std::vector<uint8_t>* luma) {
  EdgeFrame f;
  EdgeEvidence e;
  if (MeasureFrameLogoEdges(edges, {frame, g.width, g.height, g.pixelFormat}, luma, &e)) {
    f.nearBest = e.nearBest;
    f.farBest = e.farBest;
  }
  return f;
}

// Every frame through the plug-in, into the outputs and the span trackers (the logo's
// edges only with a model of them; a frame that repeats the one before has its edges).
// The frames are decoded ahead on a thread of their own; the plug-in sees them here, in
// order.
void PlayFrames(const Options& o,
                const VideoGeometry& g,
                FrameReader* reader,
                HostSession* session,
                RunOutputs* outputs,
                SpanTracker* spans,
                const LogoEdgeModel& edges,
                std::vector<EdgeFrame>* edgeFrames,
                RunResult* r) {
  const zunk::FrameTrace* trace = session->Trace();
  const size_t bytes = FrameBytes(g);
  // Which frames the plug-in changed is worth a copy and a comparison of every frame only
  // when the per-frame lines report it.
  r->changesCounted = outputs->Log() != nullptr;
  std::vector<uint8_t> before(r->changesCounted ? bytes : 0);
  Progress progress(o.progress, BaseName(o.input), reader->ExpectedFrames());
  ReadAhead frames(reader, bytes, o.maxFrames, o.readAhead + 1);
  std::vector<uint8_t> edgeLuma;
  EdgeFrame lastEdges;
  int64_t n = 0;
  for (;; ++n) {
    const Clock::time_point t0 = Clock::now();
    uint8_t* frame = frames.Next();
    if (!frame)
      break;
    if (r->changesCounted)
      std::memcpy(before.data(), frame, bytes);
    const Clock::time_point t1 = Clock::now();
    const size_t logged = Host().log.size();
    EdgeFrame edgeFrame;
    if (edges.corner >= 0) {
      if (n == 0 || !frames.Repeated())
        lastEdges = EdgesOf(edges, g, frame, &edgeLuma);
      edgeFrame = lastEdges;
    }
    const Clock::time_point t2 = Clock::now();
    const int32_t result = session->Process(n, frame);
    r->waiting += t1 - t0;
    r->edges += t2 - t1;
    r->inPlugin += Clock::now() - t2;
    const bool changed = r->changesCounted && std::memcmp(before.data(), frame, bytes) != 0;
    r->processed += result == 1;
    r->changed += changed;
    FrameValues values;
    const bool traced = trace && result == 1 && trace->matched == 1;
    if (traced)
      edgeFrame.matchPercent = trace->matchPercent;
    if (edges.corner >= 0)
      edgeFrames->push_back(edgeFrame);
    if (traced) {
      values = {trace->matchPercent, trace->scoreContrast, trace->logoFound, trace->confidence,
                trace->decision};
      const size_t closed = spans->Refined().size() + spans->Decisions().size();
      spans->Add(n, values);
      // A growing recording: the lists are rewritten as each break ends.
      if (o.follow && spans->Refined().size() + spans->Decisions().size() != closed)
        outputs->WriteSkipListsNow(o.edlMode == "decisions" ? spans->Decisions() : spans->Refined(),
                                   n + 1, g.fps);
    }
    if (outputs->Json())
      outputs->Json()->Frame(n, result, traced ? &values : nullptr);
    outputs->WriteFrame(frame, bytes);
    if (outputs->Log())
      WriteFrameLine(outputs->Log(), n, g.fps, result, changed, traced ? &values : nullptr, logged);
    progress.Update(n + 1);
  }
  r->decoding = frames.ReadingTime();
  progress.Done(n);
  r->frames = n;
}

// Spans: from the per-frame values where the plug-in gives them, else from what it
// asked of the host under the channel's actions. The refined spans come from the logo's
// edges where they told of the logo over the recording.
void FinishSpans(const ChannelSetup& channel,
                 SpanTracker* spans,
                 const std::vector<EdgeFrame>& edgeFrames,
                 double fps,
                 RunResult* r) {
  spans->Finish(r->frames);
  r->commanded = ReactionSpans(Host().log, channel.reactions, r->frames);
  r->decisions = r->traced ? spans->Decisions() : r->commanded;
  r->refined = r->traced ? spans->Refined() : r->decisions;
  bool told = false;
  if (r->traced && static_cast<int64_t>(edgeFrames.size()) == r->frames) {
    std::vector<Span> fromEdges = EdgeBreaks(edgeFrames, channel.levels.matchLevel, fps, &told);
    if (told)
      r->refined = fromEdges;
  }
}

void PrintTiming(const RunResult& r, Clock::time_point started) {
  using Seconds = std::chrono::duration<double>;
  std::fprintf(stderr,
               "zunk-host: timing: %lld frames, decode %.3f s, plug-in %.3f s, whole %.3f s, "
               "waiting for frames %.3f s, logo edges %.3f s\n",
               static_cast<long long>(r.frames), Seconds(r.decoding).count(), Seconds(r.inPlugin).count(),
               Seconds(Clock::now() - started).count(), Seconds(r.waiting).count(),
               Seconds(r.edges).count());
}

}  // namespace

int RunRecording(const Options& given) {
  Options o = given;
  if (o.learn) {
    const int learned = LearnFirst(&o);
    if (learned != 0)
      return learned;
  }
  const Clock::time_point started = Clock::now();
  std::string error;
  InstalledSettingsCleanup cleanup;
  FrameReader reader;
  VideoGeometry g = o.video;
  const ReaderSetup source = {
      o.input, o.raw, o.decoder, o.threads, o.sizeGiven, o.follow ? o.followTimeout : 0, o.fast};
  if (!reader.Open(source, &g, &error))
    return Fail(error);
  ChannelSetup channel;
  const SettingsRequest settings = {o.settings, o.instance, o.channelKey, o.recording,
                                    o.settingValues};
  if (!PrepareSettings(settings, &channel, &error))
    return Fail(error);
  RunOutputs outputs;
  if (!outputs.Open(o, BesideOutputs(o, o.input), g, !o.raw && reader.HasAudio() ? o.input : "",
                    &error))
    return Fail(error);
  HostSession session;
  if (!session.Open(SessionOf(o, g), &error))
    return Fail(error);
  RunResult r;
  r.traced = session.Trace() != nullptr;
  if (outputs.Json())
    outputs.Json()->Begin(o.raw ? o.input : BaseName(o.input), g.width, g.height, g.pixelFormat,
                          g.fps, r.traced);
  SpanTracker spans(channel.levels);
  LogoEdgeModel edges;
  LoadLogoEdgeModel(channel.templateFile, channel.colorKey, channel.logoX, channel.logoY, &edges);
  // Where no processed frame is written or compared, the rows nothing reads are not packed.
  if (!outputs.WritesVideo() && !outputs.Log()) {
    const RowBand band = RowsTheRunReads(edges, channel.logoY, g.height);
    reader.PackRows(band.first, band.last);
  }
  std::vector<EdgeFrame> edgeFrames;
  PlayFrames(o, g, &reader, &session, &outputs, &spans, edges, &edgeFrames, &r);
  session.Close(r.frames);

  std::string failure = reader.Failure();
  if (failure.empty() && r.frames == 0)
    failure = o.input + ": no frames";
  if (!failure.empty())
    return Fail(failure);
  FinishSpans(channel, &spans, edgeFrames, g.fps, &r);
  r.damaged = reader.Damaged();
  if (r.damaged > 0)
    std::fprintf(stderr, "zunk-host: warning: %s: %lld damaged packets or frames decoded past\n",
                 o.input.c_str(), static_cast<long long>(r.damaged));
  const bool idle = r.processed == 0 && !o.allowEmpty;
  if (!outputs.Finish(o, r, g.fps, !idle, &error))
    return Fail(error);
  const SummaryHeader header = {session.PluginName(), session.InterfaceVersion(), g,
                                channel.reactions,    outputs.BreakFiles(),       reader.LeftOut()};
  PrintSummary(o, header, r);
  if (o.timing)
    PrintTiming(r, started);
  if (!idle)
    return 0;
  const std::string why = channel.idleReason.empty() ? "no frame reached it" : channel.idleReason;
  std::fprintf(stderr, "zunk-host: %s: detection never ran: %s; no breaks written\n",
               o.input.c_str(), why.c_str());
  return 3;
}

std::string OutputNameFor(const std::string& output, const std::string& recording) {
  if (output.empty() || output == "-")
    return output;
  std::string name = BaseName(recording);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0)
    name.resize(dot);
  size_t slash = output.find_last_of("\\/");
  size_t ext = output.rfind('.');
  if (ext == std::string::npos || (slash != std::string::npos && ext < slash) ||
      ext == (slash == std::string::npos ? 0 : slash + 1))
    return output + "-" + name;
  return output.substr(0, ext) + "-" + name + output.substr(ext);
}

}  // namespace zunkhost
