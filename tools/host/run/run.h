// The run action: the recordings named (or found in the folders named), those whose
// outputs are up to date passed over, each through the plug-in as the host would, with
// its outputs; several at once, each by a process of its own.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"

namespace zunkhost {

// One recording of a run, and the folder its outputs go to ("" = beside it).
struct PlannedRecording {
  std::string path;
  std::string outDir;
};

// The run action over o.inputs. argv: this program's command line. Returns the exit code.
int RunAction(const Options& o, int argc, char** argv);
// Runs o.input. Returns the exit code; a failure prints one line and leaves no output.
int RunRecording(const Options& o);
// Runs the recordings, o.jobs at a time, by starting this program once per recording.
int RunRecordings(const Options& o,
                  const std::vector<PlannedRecording>& recordings,
                  int argc,
                  char** argv);

// The output name for one of several recordings: "-" + the recording's base name
// before the extension ("out/breaks.edl" + "a/rec1.ts" = "out/breaks-rec1.edl").
std::string OutputNameFor(const std::string& output, const std::string& recording);

}  // namespace zunkhost
