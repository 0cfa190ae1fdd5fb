// zunk-host: runs the plug-in over recordings as the host does — loads the module
// through its two exports, owns the main window that answers the plug-in's commands,
// calls the operations in host order with the host's records, and reports what the
// plug-in did (run); finds a channel's logo in a recording (learn); scores breaks found
// against known ones (eval).
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/options.h"
#include "eval/eval.h"
#include "learn.h"
#include "os/host_os.h"
#include "run/run.h"
#include "zunk_version.h"

namespace zunkhost {
namespace {

// The bundled sample and where a run without options writes its results.
void UseBundledSample(Options* o) {
  std::string data = ZUNK_SOURCE_DIR "/data/sample/";
  o->input = data + "sample.mp4";
  o->inputs = {o->input};
  o->settings = data + "Zunk_LogoDetector.ini";
  o->truth = data + "truth.txt";
  std::string out = ZUNK_SOURCE_DIR "/out/demo";
  MakeFolder(ZUNK_SOURCE_DIR "/out");
  MakeFolder(out);
  o->output = out + "/processed.mp4";
  o->edl = out + "/breaks.edl";
  o->json = out + "/timeline.json";
  o->log = out + "/frames.log";
}

}  // namespace
}  // namespace zunkhost

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A video encoder that stops early is reported by its exit status, not by a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  zunkhost::Options o;
  std::string error;
  bool help = false;
  // --version anywhere on the line answers alone, as --help does.
  bool version = false;
  for (int i = 1; i < argc; ++i)
    version = version || std::string(argv[i]) == "--version";
  if (version) {
    std::printf("zunk-host " ZUNK_VERSION_STRING "\n");
    return 0;
  }
  if (!zunkhost::ParseOptions(argc, argv, &o, &error, &help)) {
    std::fprintf(stderr, "zunk-host: %s (zunk-host --help lists the options)\n", error.c_str());
    return 2;
  }
  if (help) {
    std::printf("%s", zunkhost::Usage());
    return 0;
  }
  if (o.action == "eval")
    return zunkhost::Evaluate(o);
  if (o.action == "learn")
    return zunkhost::Learn(o);
  if (argc == 1)
    zunkhost::UseBundledSample(&o);
  if (o.inputs.empty()) {
    std::fprintf(stderr, "zunk-host: no input (zunk-host --help lists the options)\n");
    return 2;
  }
  if (o.inputs.size() > 1)
    return zunkhost::RunRecordings(o, argc, argv);
  return zunkhost::RunRecording(o);
}
