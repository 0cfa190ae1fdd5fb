// RunRecordings: several recordings, each by a run of this program of its own (the
// plug-in's state is module-wide, so one process runs one recording), each into its
// own outputs.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/option_table.h"
#include "os/host_os.h"
#include "run/beside_outputs.h"
#include "run/run.h"

namespace zunkhost {
namespace {

// Two recordings whose outputs would be written to one file; "" when none.
std::string Clash(const Options& o, const std::vector<PlannedRecording>& recordings) {
  std::set<std::string> names;
  for (const PlannedRecording& p : recordings) {
    Options one = o;
    one.outDir = p.outDir;
    std::vector<std::string> paths;
    for (const std::string* f : {&o.edl, &o.json, &o.output, &o.log})
      if (!f->empty())
        paths.push_back(OutputNameFor(*f, p.path));
    for (const BesideOutput& b : BesideOutputs(one, p.path))
      paths.push_back(b.path);
    for (const std::string& path : paths)
      if (!names.insert(path).second)
        return "two recordings would write " + path + " (rename one, or use --out-dir)";
  }
  return "";
}

// The command line of one recording's own run: the options given for all, with the
// recording, its outputs' names and its share of the cores.
std::vector<std::string> CommandFor(const Options& o,
                                    const PlannedRecording& p,
                                    int argc,
                                    char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i == 1 && a == "run")
      continue;
    const size_t eq = a.compare(0, 2, "--") == 0 ? a.find('=') : std::string::npos;
    const OptionRow* row = FindOption(a.substr(0, eq), o.action);
    if (row && row->takesValue && (eq != std::string::npos || i + 1 < argc)) {
      const std::string value = eq != std::string::npos ? a.substr(eq + 1) : argv[++i];
      if (row->perRecording == PerRecording::kByRunner)
        continue;
      args.push_back(row->name);
      args.push_back(row->perRecording == PerRecording::kOwnName ? OutputNameFor(value, p.path)
                                                                 : value);
      continue;
    }
    if (!row && !IsInstanceSwitch(a) && (a == "-" || a.empty() || a[0] != '-'))
      continue;  // a recording or folder named without --input
    args.push_back(a);
  }
  args.push_back(o.raw ? "--raw" : "--input");
  args.push_back(p.path);
  if (!p.outDir.empty()) {
    args.push_back("--out-dir");
    args.push_back(p.outDir);
  }
  if (!o.log.empty()) {
    args.push_back("--log");
    args.push_back(OutputNameFor(o.log, p.path));
  }
  args.push_back("--no-progress");
  // The recordings run side by side: each decoder gets its share of the cores (one at a
  // time: each chooses as a run of one recording does).
  if (!o.threadsGiven && o.jobs > 1) {
    unsigned cores = std::thread::hardware_concurrency();
    args.push_back("--threads");
    args.push_back(std::to_string(cores > static_cast<unsigned>(o.jobs) ? cores / o.jobs : 1));
  }
  return args;
}

}  // namespace

int RunRecordings(const Options& o,
                  const std::vector<PlannedRecording>& recordings,
                  int argc,
                  char** argv) {
  const std::string clash = Clash(o, recordings);
  if (!clash.empty()) {
    std::fprintf(stderr, "zunk-host: %s\n", clash.c_str());
    return 2;
  }
  std::vector<std::vector<std::string>> commands;
  for (const PlannedRecording& p : recordings)
    commands.push_back(CommandFor(o, p, argc, argv));
  const std::vector<int> codes = RunSelf(commands, o.jobs);
  int failed = 0, idle = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    failed += codes[i] != 0 && codes[i] != 3;
    idle += codes[i] == 3;
    if (codes[i] != 0)
      std::fprintf(stderr, "zunk-host: %s: %s\n", recordings[i].path.c_str(),
                   codes[i] == 3 ? "detection never ran" : "failed");
  }
  if (failed)
    std::fprintf(stderr, "zunk-host: %d of %zu recordings failed\n", failed, recordings.size());
  return failed ? 1 : idle ? 3 : 0;
}

}  // namespace zunkhost
