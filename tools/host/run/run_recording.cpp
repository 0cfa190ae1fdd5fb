// RunRecording: the host's calls in order, the frames through the plug-in, the outputs
// under temporary names until the end, and the summary.
#include "run/run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli/fail.h"
#include "cli/progress.h"
#include "decode/frame_reader.h"
#include "os/host_os.h"
#include "os/paths.h"
#include "plugin/abi.h"
#include "plugin/host_commands.h"
#include "session/channel_settings.h"
#include "session/host_state.h"
#include "session/host_window.h"
#include "session/plugin_module.h"
#include "session/settings_install.h"
#include "spans/output_files.h"
#include "spans/report.h"
#include "spans/timeline.h"

namespace zunkhost {
namespace {

bool keepChannels = true;

ZUNK_ENTRY int32_t ZUNK_CDECL ChannelCheck(int64_t key) {
  (void)key;
  return keepChannels ? 1 : 0;
}

std::string Seconds(int64_t frame, double fps) {
  char buf[32];
  int64_t ms = static_cast<int64_t>(frame * 1000.0 / fps + 0.5);
  std::snprintf(buf, sizeof buf, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return buf;
}

void PrintSpans(const char* title, const std::vector<Span>& spans, double fps) {
  std::printf("%s: %zu\n", title, spans.size());
  for (const Span& s : spans)
    std::printf("  frames %lld-%lld  (%s - %s)\n", static_cast<long long>(s.first),
                static_cast<long long>(s.last), Seconds(s.first, fps).c_str(),
                Seconds(s.last + 1, fps).c_str());
}

// The reactions the plug-in asked for, each at the frame it came with.
void PrintReactions(const std::vector<Command>& log, double fps) {
  for (const Command& c : log) {
    if (!IsReactionCommand(c.command))
      continue;
    std::printf("  frame %lld (%s) %s", static_cast<long long>(c.frame),
                Seconds(std::max<int64_t>(c.frame, 0), fps).c_str(),
                CommandName(c.command).c_str());
    if (c.command == zunk::HostCmdSetVolume)
      std::printf(" %lld", static_cast<long long>(c.value));
    std::printf("\n");
  }
}

void PrintAgreement(const char* title,
                    const std::vector<Span>& truth,
                    const std::vector<Span>& found) {
  const int64_t inTruth = SpanFrames(truth), all = SpanFrames(found);
  const int64_t both = OverlapFrames(truth, found);
  std::printf("%s: %lld of %lld break frames found, %lld frames found outside breaks\n", title,
              static_cast<long long>(both), static_cast<long long>(inTruth),
              static_cast<long long>(all - both));
}

// The module of this build (two folders up, in the build tree), else the installed one
// (lib/zunk-host beside the bin folder that make install puts zunk-host into).
std::string DefaultPluginPath() {
  std::string built = ExecutableFolder() + "../../" + kPluginFileName;
  std::string installed = ExecutableFolder() + "../lib/zunk-host/" + kPluginFileName;
  if (std::FILE* f = std::fopen(built.c_str(), "rb")) {
    std::fclose(f);
    return built;
  }
  std::FILE* f = std::fopen(installed.c_str(), "rb");
  if (!f)
    return built;
  std::fclose(f);
  return installed;
}

// What the run's channel is set to do: its match level, for the refined spans, and its
// actions, for the breaks the host commands mark. Without a settings file the plug-in
// has a new channel's built-in values.
struct ChannelSetup {
  int32_t matchLevel = 80;
  Reactions reactions;
};

ChannelSetup ReadChannelSetup(const std::string& installed, int64_t key, bool recording) {
  zunk::ChannelProfile p;
  if (!ReadChannelProfile(installed, key, &p))
    ReadChannelProfile("", key, &p);
  ChannelSetup s;
  s.matchLevel = p.LogoMatchLevel;
  s.reactions.recording = recording;
  s.reactions.recordAction = p.RecordAction;
  s.reactions.previewAction = p.PreviewAction;
  return s;
}

std::string ActionsText(const Reactions& r) {
  return r.recording ? "RecordAction " + std::to_string(r.recordAction)
                     : "PreviewAction " + std::to_string(r.previewAction);
}

// Everything one run opens, closed on every path.
struct RunFiles {
  OutputSet outputs;
  FrameReader reader;
  FILE* sink = nullptr;
  bool rawSink = false;
  FILE* log = nullptr;
  FILE* json = nullptr;
  ~RunFiles() {
    if (sink)
      CloseFrameSink(sink, rawSink);
    if (log && log != stdout)
      std::fclose(log);
    if (json)
      std::fclose(json);
    reader.Close();
    RemoveInstalledSettings();
  }
};

}  // namespace

int RunRecording(const Options& o) {
  const auto started = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration decoding{}, inPlugin{};
  std::string error;
  RunFiles files;
  VideoGeometry g = o.video;
  ReaderSetup setup;
  setup.path = o.input;
  setup.raw = o.raw;
  setup.decoder = o.decoder;
  setup.threads = o.threads;
  setup.keepSize = o.sizeGiven;
  if (!files.reader.Open(setup, &g, &error))
    return Fail(error);

  std::string installed;
  if (!o.settings.empty()) {
    installed = InstallSettings(o.settings, o.instance, &error);
    if (installed.empty())
      return Fail(error);
    std::vector<SettingValue> values;
    for (const auto& v : o.settingValues)
      values.push_back({v.first, v.second});
    if (!values.empty() && !WriteChannelValues(installed, o.channelKey, values, &error))
      return Fail(error);
  }
  const ChannelSetup channelSetup = ReadChannelSetup(installed, o.channelKey, o.recording);
  // Every output is opened before the first frame, so a folder that cannot be written
  // is reported at once.
  if (!o.output.empty()) {
    bool toStdout = o.rawOutput && o.output == "-";
    std::string target = toStdout ? o.output : files.outputs.Add(o.output);
    files.rawSink = o.rawOutput;
    files.sink = OpenFrameSink(target, o.rawOutput, g,
                               !o.raw && files.reader.HasAudio() ? o.input : "", &error);
    if (!files.sink)
      return Fail(error);
  }
  if (o.log == "-")
    files.log = stdout;
  else if (!o.log.empty() && !(files.log = files.outputs.Open(o.log, &error)))
    return Fail(error);
  if (!o.json.empty() && !(files.json = files.outputs.Open(o.json, &error)))
    return Fail(error);
  FILE* edl = nullptr;
  if (!o.edl.empty()) {
    if (!(edl = files.outputs.Open(o.edl, &error)))
      return Fail(error);
    std::fclose(edl);
  }

  std::string pluginPath = o.plugin.empty() ? DefaultPluginPath() : o.plugin;
  PluginModule module;
  if (!LoadPlugin(pluginPath, &module, &error))
    return Fail(error);
  int32_t interfaceVersion = module.version();
  zunk::PluginDescriptor* d = module.descriptor();

  HostState& host = Host();
  host.version = o.hostVersion;
  host.volume = o.volume;
  std::string title = o.instance.empty() ? "Quintora" : "Quintora.Inst" + o.instance;
  if (!CreateHostWindow(title))
    std::fprintf(stderr, "zunk-host: no main window\n");

  keepChannels = o.keepChannels;
  zunk::InitInfo init = {0, &ChannelCheck};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = g.width;
  format.height = g.height;
  format.pixelFormat = g.pixelFormat;
  format.recording = o.recording ? 1 : 0;
  d->Start(&format);
  PumpHostMessages();

  static zunk::ChannelInfo channel;
  channel.keyLow = static_cast<uint32_t>(static_cast<uint64_t>(o.channelKey));
  channel.keyHigh = static_cast<uint32_t>(static_cast<uint64_t>(o.channelKey) >> 32);
  std::strncpy(channel.name, o.channelName.c_str(), zunk::kChannelNameMax);

  const zunk::FrameTrace* trace = module.trace ? module.trace() : nullptr;
  SpanTracker spans(channelSetup.matchLevel);
  std::unique_ptr<JsonTimeline> json;
  if (files.json) {
    json.reset(new JsonTimeline(files.json));
    json->Begin(o.raw ? o.input : BaseName(o.input), g.width, g.height, g.pixelFormat, g.fps,
                trace != nullptr);
  }

  size_t bytes = FrameBytes(g);
  // Which frames the plug-in changed is worth a copy and a comparison of every frame only
  // when the per-frame lines report it.
  const bool countChanges = files.log != nullptr;
  std::vector<uint8_t> frame(bytes), before(countChanges ? bytes : 0);
  zunk::FrameInfo info = {};
  info.pixels = frame.data();
  info.channel = &channel;
  Progress progress(o.progress, BaseName(o.input), files.reader.ExpectedFrames());

  int64_t n = 0, processed = 0, changed = 0;
  bool sinkFailed = false;
  for (;;) {
    auto t0 = std::chrono::steady_clock::now();
    if ((o.maxFrames >= 0 && n >= o.maxFrames) || !files.reader.Read(frame.data()))
      break;
    if (countChanges)
      std::memcpy(before.data(), frame.data(), bytes);
    auto t1 = std::chrono::steady_clock::now();
    host.currentFrame = n;
    size_t logged = host.log.size();
    int32_t result = d->ProcessFrame(&info);
    auto t2 = std::chrono::steady_clock::now();
    decoding += t1 - t0;
    inPlugin += t2 - t1;
    PumpHostMessages();
    bool differs = countChanges && std::memcmp(before.data(), frame.data(), bytes) != 0;
    processed += result == 1;
    changed += differs;
    FrameValues values;
    bool traced = trace && result == 1 && trace->matched == 1;
    if (traced) {
      values = {trace->matchPercent, trace->scoreContrast, trace->logoFound, trace->confidence,
                trace->decision};
      spans.Add(n, values);
    }
    if (json)
      json->Frame(n, result, traced ? &values : nullptr);
    if (files.sink && !sinkFailed)
      sinkFailed = std::fwrite(frame.data(), 1, bytes, files.sink) != bytes;
    if (files.log) {
      std::fprintf(files.log, "frame %lld t=%s result=%d changed=%d volume=%d paused=%d",
                   static_cast<long long>(n), Seconds(n, g.fps).c_str(), result, differs ? 1 : 0,
                   host.volume, host.paused ? 1 : 0);
      if (traced)
        std::fprintf(files.log, " match=%d contrast=%d found=%d confidence=%d decision=%d",
                     values.matchPercent, values.scoreContrast, values.logoFound, values.confidence,
                     values.decision);
      for (size_t i = logged; i < host.log.size(); ++i)
        std::fprintf(files.log, " %s%s(%lld)", host.log[i].posted ? "post:" : "send:",
                     CommandName(host.log[i].command).c_str(),
                     static_cast<long long>(host.log[i].value));
      std::fputc('\n', files.log);
    }
    ++n;
    progress.Update(n);
  }
  progress.Done(n);
  host.currentFrame = n;
  d->Stop();
  PumpHostMessages();
  d->Exit();
  DestroyHostWindow();

  std::string failure = files.reader.Failure();
  if (failure.empty() && n == 0)
    failure = o.input + ": no frames";
  if (!failure.empty()) {
    UnloadPlugin(&module);
    return Fail(failure);
  }
  bool sinkOk = CloseFrameSink(files.sink, files.rawSink) && !sinkFailed;
  files.sink = nullptr;
  if (!sinkOk) {
    UnloadPlugin(&module);
    return Fail("cannot write the processed video " + o.output);
  }

  // Spans: from the per-frame values where the plug-in gives them, else from what it
  // asked of the host under the channel's actions.
  spans.Finish(n);
  const std::vector<Span> commanded = ReactionSpans(host.log, channelSetup.reactions, n);
  std::vector<Span> decisions = trace ? spans.Decisions() : commanded;
  std::vector<Span> refined = trace ? spans.Refined() : decisions;
  const std::vector<Span>& breaks = o.edlMode == "decisions" ? decisions : refined;
  int64_t damaged = files.reader.Damaged();
  if (damaged > 0)
    std::fprintf(stderr, "zunk-host: warning: %s: %lld damaged packets or frames decoded past\n",
                 o.input.c_str(), static_cast<long long>(damaged));
  if (json) {
    json->End(n, o.edlMode, breaks, decisions, host.log, damaged);
    bool ok = std::fflush(files.json) == 0 && !std::ferror(files.json);
    std::fclose(files.json);
    files.json = nullptr;
    if (!ok) {
      UnloadPlugin(&module);
      return Fail("cannot write " + o.json);
    }
  }
  if (files.log && files.log != stdout) {
    std::fclose(files.log);
    files.log = nullptr;
  }
  if (!o.edl.empty()) {
    // Its temporary file was made before the first frame; the lines go in now.
    FILE* e = std::fopen(files.outputs.TemporaryOf(o.edl).c_str(), "wb");
    bool ok = e != nullptr;
    if (e) {
      WriteEdl(e, breaks, g.fps);
      ok = std::fclose(e) == 0;
    }
    if (!ok) {
      UnloadPlugin(&module);
      return Fail("cannot write " + o.edl);
    }
  }
  if (!files.outputs.Commit(&error)) {
    UnloadPlugin(&module);
    return Fail(error);
  }

  std::printf("\nzunk-host summary\n");
  std::printf("plug-in: %s - %s (interface %d)\n", Cp1251ToUtf8(d->name).c_str(),
              Cp1251ToUtf8(d->description).c_str(), interfaceVersion);
  std::printf("stream: %dx%d, pixel format %d, %s, channel %lld\n", g.width, g.height,
              g.pixelFormat, o.recording ? "recording" : "preview",
              static_cast<long long>(o.channelKey));
  std::printf("frames: %lld (%s), detection ran on %lld", static_cast<long long>(n),
              Seconds(n, g.fps).c_str(), static_cast<long long>(processed));
  if (countChanges)
    std::printf(", changed %lld", static_cast<long long>(changed));
  std::printf("\n");
  if (damaged > 0)
    std::printf("damaged: %lld packets or frames decoded past\n", static_cast<long long>(damaged));
  std::map<std::string, int> counts;
  for (const Command& c : host.log)
    ++counts[CommandName(c.command)];
  std::printf("host commands:");
  if (counts.empty())
    std::printf(" none");
  for (const auto& c : counts)
    std::printf(" %s x%d", c.first.c_str(), c.second);
  std::printf("\n");
  PrintReactions(host.log, g.fps);
  const std::string commandTitle =
      "advert breaks (from the host commands under " + ActionsText(channelSetup.reactions) + ")";
  if (trace) {
    PrintSpans("advert breaks (refined: logo lost to logo back)", refined, g.fps);
    PrintSpans("advert breaks (the plug-in's decisions)", decisions, g.fps);
  }
  PrintSpans(commandTitle.c_str(), commanded, g.fps);
  if (!o.truth.empty()) {
    std::vector<Span> truth = ReadTruth(o.truth);
    PrintSpans("known breaks", truth, g.fps);
    PrintAgreement("agreement", truth, breaks);
    if (trace)
      PrintAgreement("agreement of the host commands", truth, commanded);
  }
  if (!o.output.empty())
    std::printf("processed video: %s\n", o.output.c_str());
  if (!o.edl.empty())
    std::printf("EDL: %s\n", o.edl.c_str());
  if (!o.json.empty())
    std::printf("JSON timeline: %s\n", o.json.c_str());
  if (!o.log.empty() && o.log != "-")
    std::printf("per-frame log: %s\n", o.log.c_str());
  if (o.timing) {
    using Seconds = std::chrono::duration<double>;
    std::fprintf(stderr,
                 "zunk-host: timing: %lld frames, decode %.3f s, plug-in %.3f s, whole %.3f s\n",
                 static_cast<long long>(n), Seconds(decoding).count(), Seconds(inPlugin).count(),
                 Seconds(std::chrono::steady_clock::now() - started).count());
  }
  // The module stays loaded until the process ends, so that what it keeps for its whole
  // life is still reachable when the leak checks of the sanitizer builds look.
  return 0;
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
