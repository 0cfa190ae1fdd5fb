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
#include "run/run.h"

namespace zunkhost {
namespace {

std::string BaseOf(const std::string& path) {
  std::string name = OutputNameFor("x", path);
  return name.substr(2);
}

}  // namespace

int RunRecordings(const Options& o, int argc, char** argv) {
  std::set<std::string> names;
  for (const std::string& input : o.inputs)
    if (!names.insert(BaseOf(input)).second) {
      std::fprintf(stderr, "zunk-host: two recordings named %s: their outputs would clash\n",
                   BaseOf(input).c_str());
      return 2;
    }
  if (o.log == "-") {
    std::fprintf(stderr, "zunk-host: several recordings need --log FILE or --no-log\n");
    return 2;
  }
  std::vector<std::vector<std::string>> commands;
  for (const std::string& input : o.inputs) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
      std::string a = argv[i];
      if (i == 1 && a == "run")
        continue;
      const OptionRow* row = FindOption(a);
      if (row && row->takesValue && i + 1 < argc) {
        const std::string value = argv[++i];
        if (row->perRecording == PerRecording::kByRunner)
          continue;
        args.push_back(a);
        args.push_back(row->perRecording == PerRecording::kOwnName ? OutputNameFor(value, input)
                                                                   : value);
        continue;
      }
      if (!a.empty() && a[0] != '-')
        continue;  // a recording named without --input
      args.push_back(a);
    }
    args.push_back(o.raw ? "--raw" : "--input");
    args.push_back(input);
    if (!o.log.empty()) {
      args.push_back("--log");
      args.push_back(OutputNameFor(o.log, input));
    } else {
      args.push_back("--no-log");
    }
    args.push_back("--no-progress");
    // The recordings run side by side: each decoder gets its share of the cores.
    if (!o.threadsGiven) {
      unsigned cores = std::thread::hardware_concurrency();
      args.push_back("--threads");
      args.push_back(std::to_string(cores > static_cast<unsigned>(o.jobs) ? cores / o.jobs : 1));
    }
    commands.push_back(args);
  }
  std::fprintf(stderr, "zunk-host: %zu recordings, %d at a time\n", o.inputs.size(), o.jobs);
  std::vector<int> codes = RunSelf(commands, o.jobs);
  int failed = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] != 0)
      ++failed;
    std::fprintf(stderr, "zunk-host: %s: %s\n", o.inputs[i].c_str(),
                 codes[i] == 0 ? "done" : "failed");
  }
  if (failed)
    std::fprintf(stderr, "zunk-host: %d of %zu recordings failed\n", failed, o.inputs.size());
  return failed ? 1 : 0;
}

}  // namespace zunkhost
