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
#include "run/run.h"
#include "zunk_version.h"

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A video encoder that stops early is reported by its exit status, not by a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  if (argc == 1) {
    std::fputs(zunkhost::ShortUsage(), stderr);
    return 2;
  }
  // --version anywhere on the line answers alone, as --help does.
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--version") {
      std::printf("zunk-host " ZUNK_VERSION_STRING "\n");
      return 0;
    }
  zunkhost::Options o;
  std::string error;
  bool help = false;
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
    return zunkhost::Learn(o, stdout);
  return zunkhost::RunAction(o, argc, argv);
}
