// RunAction: which recordings a run goes over and where their outputs go.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/fail.h"
#include "os/files.h"
#include "os/host_os.h"
#include "os/paths.h"
#include "run/beside_outputs.h"
#include "run/run.h"
#include "session/host_session.h"

namespace zunkhost {
namespace {

// The folder of `path` below `root`, with a trailing separator ("" when directly in it).
std::string RelativeFolder(const std::string& root, const std::string& path) {
  std::string folder = FolderOf(path);
  std::string base = root;
  if (!base.empty() && base.back() != '/' && base.back() != '\\')
    base += '/';
  return folder.compare(0, base.size(), base) == 0 ? folder.substr(base.size()) : "";
}

// The recordings named, and those under the folders named with --recursive. False with
// a line in *error (a folder named without --recursive).
bool ListRecordings(const Options& o, std::vector<PlannedRecording>* out, std::string* error) {
  for (const std::string& input : o.inputs) {
    if (input == "-" || o.raw || !IsFolder(input)) {
      out->push_back({input, o.outDir});
      continue;
    }
    if (!o.recursive) {
      *error = input + " is a folder (--recursive runs the recordings in it)";
      return false;
    }
    const std::vector<std::string> found = FindRecordings(input);
    if (found.empty())
      std::fprintf(stderr, "zunk-host: %s: no recordings in it\n", input.c_str());
    for (const std::string& f : found)
      out->push_back({f, o.outDir.empty() ? "" : o.outDir + "/" + RelativeFolder(input, f)});
  }
  return true;
}

}  // namespace

int RunAction(const Options& o, int argc, char** argv) {
  std::vector<PlannedRecording> all, due;
  std::string error;
  if (!ListRecordings(o, &all, &error)) {
    std::fprintf(stderr, "zunk-host: %s\n", error.c_str());
    return 2;
  }
  for (const PlannedRecording& p : all) {
    Options one = o;
    one.outDir = p.outDir;
    if (!o.force && !o.follow && OutputsAreNewer(one, p.path)) {
      std::fprintf(stderr, "zunk-host: %s: skipped, its outputs are newer (--force runs it)\n",
                   p.path.c_str());
      continue;
    }
    if (!p.outDir.empty() && !MakeFolders(p.outDir))
      return Fail("cannot make the folder " + p.outDir);
    due.push_back(p);
  }
  if (due.size() == 1 && all.size() == 1) {
    // Windows: the run goes on in a copy of this program in a folder of its own.
    if (NeedsPrivateFolder()) {
      std::vector<std::string> extra;
      if (o.plugin.empty())
        extra = {"--plugin", DefaultPluginPath()};
      return RunInPrivateFolder(extra);
    }
    Options one = o;
    one.input = due[0].path;
    one.outDir = due[0].outDir;
    return RunRecording(one);
  }
  return due.empty() ? 0 : RunRecordings(o, due, argc, argv);
}

}  // namespace zunkhost
