// zunk-host: runs the plug-in over a video as the host does — loads the module through
// its two exports, owns the main window that answers the plug-in's commands, calls the
// operations in host order with the host's records, and reports what the plug-in did.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host_os.h"
#include "host_state.h"
#include "host_window.h"
#include "options.h"
#include "plugin/abi.h"
#include "plugin_module.h"
#include "report.h"
#include "settings_install.h"

namespace zunkhost {
namespace {

bool keepChannels = true;

ZUNK_ENTRY int32_t ZUNK_CDECL ChannelCheck(int64_t key) {
  (void)key;
  return keepChannels ? 1 : 0;
}

// The bundled sample and where a run without options writes its results.
void UseBundledSample(Options* o) {
  std::string data = ZUNK_SOURCE_DIR "/data/sample/";
  o->input = data + "sample.mp4";
  o->settings = data + "Zunk_LogoDetector.ini";
  o->truth = data + "truth.txt";
  std::string out = ZUNK_SOURCE_DIR "/out/demo";
  MakeFolder(ZUNK_SOURCE_DIR "/out");
  MakeFolder(out);
  o->output = out + "/processed.mp4";
  o->edl = out + "/breaks.edl";
  o->log = out + "/frames.log";
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

int Run(const Options& o) {
  std::string error;
  std::string pluginPath =
      o.plugin.empty() ? ExecutableFolder() + "../../" + kPluginFileName : o.plugin;
  if (!o.settings.empty()) {
    std::string installed = InstallSettings(o.settings, o.instance, &error);
    if (installed.empty()) {
      std::fprintf(stderr, "zunk-host: %s\n", error.c_str());
      return 1;
    }
  }
  PluginModule module;
  if (!LoadPlugin(pluginPath, &module, &error)) {
    std::fprintf(stderr, "zunk-host: %s\n", error.c_str());
    return 1;
  }
  int32_t interfaceVersion = module.version();
  zunk::PluginDescriptor* d = module.descriptor();

  HostState& host = Host();
  host.version = o.hostVersion;
  host.volume = o.volume;
  std::string title = o.instance.empty() ? "Quintora" : "Quintora.Inst" + o.instance;
  if (!CreateHostWindow(title))
    std::fprintf(stderr, "zunk-host: no main window\n");

  FILE* source = OpenFrameSource(o.input, o.raw, o.video, &error);
  if (!source) {
    std::fprintf(stderr, "zunk-host: %s\n", error.c_str());
    UnloadPlugin(&module);
    return 1;
  }
  FILE* sink = nullptr;
  if (!o.output.empty()) {
    sink = OpenFrameSink(o.output, o.rawOutput, o.video, &error);
    if (!sink)
      std::fprintf(stderr, "zunk-host: %s\n", error.c_str());
  }
  FILE* log = nullptr;
  if (o.log == "-")
    log = stdout;
  else if (!o.log.empty())
    log = std::fopen(o.log.c_str(), "w");

  keepChannels = o.keepChannels;
  zunk::InitInfo init = {0, &ChannelCheck};
  d->Init(&init);
  zunk::StreamFormat format = {};
  format.width = o.video.width;
  format.height = o.video.height;
  format.pixelFormat = o.video.pixelFormat;
  format.recording = o.recording ? 1 : 0;
  d->Start(&format);
  PumpHostMessages();

  static zunk::ChannelInfo channel;
  channel.keyLow = static_cast<uint32_t>(static_cast<uint64_t>(o.channelKey));
  channel.keyHigh = static_cast<uint32_t>(static_cast<uint64_t>(o.channelKey) >> 32);
  std::strncpy(channel.name, o.channelName.c_str(), zunk::kChannelNameMax);

  size_t bytes = FrameBytes(o.video);
  std::vector<uint8_t> frame(bytes), before(bytes);
  zunk::FrameInfo info = {};
  info.pixels = frame.data();
  info.channel = &channel;

  int64_t n = 0, processed = 0, changed = 0;
  while ((o.maxFrames < 0 || n < o.maxFrames) && ReadFrame(source, frame.data(), bytes)) {
    std::memcpy(before.data(), frame.data(), bytes);
    host.currentFrame = n;
    size_t logged = host.log.size();
    int32_t result = d->ProcessFrame(&info);
    PumpHostMessages();
    bool differs = std::memcmp(before.data(), frame.data(), bytes) != 0;
    processed += result == 1;
    changed += differs;
    if (sink)
      std::fwrite(frame.data(), 1, bytes, sink);
    if (log) {
      std::fprintf(log, "frame %lld t=%s result=%d changed=%d volume=%d paused=%d",
                   static_cast<long long>(n), Seconds(n, o.video.fps).c_str(), result,
                   differs ? 1 : 0, host.volume, host.paused ? 1 : 0);
      for (size_t i = logged; i < host.log.size(); ++i)
        std::fprintf(log, " %s%s(%lld)", host.log[i].posted ? "post:" : "send:",
                     CommandName(host.log[i].command).c_str(),
                     static_cast<long long>(host.log[i].value));
      std::fputc('\n', log);
    }
    ++n;
    if (o.progress && n % 250 == 0)
      std::fprintf(stderr, "zunk-host: %lld frames (%s)\n", static_cast<long long>(n),
                   Seconds(n, o.video.fps).c_str());
  }
  host.currentFrame = n;
  d->Stop();
  PumpHostMessages();
  d->Exit();
  DestroyHostWindow();
  CloseFrameSource(source, o.raw);
  if (sink)
    CloseFrameSink(sink, o.rawOutput);
  if (log && log != stdout)
    std::fclose(log);

  std::vector<Span> breaks = ReactionSpans(host.log, o.volume, n);
  if (!o.edl.empty()) {
    if (FILE* e = std::fopen(o.edl.c_str(), "w")) {
      WriteEdl(e, breaks, o.video.fps);
      std::fclose(e);
    }
  }

  std::printf("\nzunk-host summary\n");
  std::printf("plug-in: %s - %s (interface %d)\n", Cp1251ToUtf8(d->name).c_str(),
              Cp1251ToUtf8(d->description).c_str(), interfaceVersion);
  std::printf("stream: %dx%d, pixel format %d, %s, channel %lld\n", o.video.width, o.video.height,
              o.video.pixelFormat, o.recording ? "recording" : "preview",
              static_cast<long long>(o.channelKey));
  std::printf("frames: %lld (%s), detection ran on %lld, changed %lld\n", static_cast<long long>(n),
              Seconds(n, o.video.fps).c_str(), static_cast<long long>(processed),
              static_cast<long long>(changed));
  std::map<std::string, int> counts;
  for (const Command& c : host.log)
    ++counts[CommandName(c.command)];
  std::printf("host commands:");
  if (counts.empty())
    std::printf(" none");
  for (const auto& c : counts)
    std::printf(" %s x%d", c.first.c_str(), c.second);
  std::printf("\n");
  PrintSpans("advert breaks (sound lowered or recording paused)", breaks, o.video.fps);
  if (!o.truth.empty()) {
    std::vector<Span> truth = ReadTruth(o.truth);
    PrintSpans("known breaks", truth, o.video.fps);
    int64_t inTruth = SpanFrames(truth), found = SpanFrames(breaks);
    int64_t both = OverlapFrames(truth, breaks);
    std::printf(
        "agreement: %lld of %lld break frames reacted to, %lld frames reacted to "
        "outside breaks\n",
        static_cast<long long>(both), static_cast<long long>(inTruth),
        static_cast<long long>(found - both));
  }
  if (!o.output.empty() && sink)
    std::printf("processed video: %s\n", o.output.c_str());
  if (!o.edl.empty())
    std::printf("EDL: %s\n", o.edl.c_str());
  if (!o.log.empty() && o.log != "-")
    std::printf("per-frame log: %s\n", o.log.c_str());
  UnloadPlugin(&module);
  return 0;
}

}  // namespace
}  // namespace zunkhost

int main(int argc, char** argv) {
  zunkhost::Options o;
  std::string error;
  bool help = false;
  if (!zunkhost::ParseOptions(argc, argv, &o, &error, &help)) {
    std::fprintf(stderr, "zunk-host: %s\n%s", error.c_str(), zunkhost::Usage());
    return 2;
  }
  if (help) {
    std::printf("%s", zunkhost::Usage());
    return 0;
  }
  if (argc == 1)
    zunkhost::UseBundledSample(&o);
  if (o.input.empty()) {
    std::fprintf(stderr, "zunk-host: no input\n%s", zunkhost::Usage());
    return 2;
  }
  return zunkhost::Run(o);
}
