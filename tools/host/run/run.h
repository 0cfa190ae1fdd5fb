// The run action: one recording through the plug-in as the host would, with its
// outputs; and several recordings, each run by a process of its own.
#pragma once

#include "cli/options.h"

namespace zunkhost {

// Runs o.input. Returns the exit code; a failure prints one line and leaves no output.
int RunRecording(const Options& o);
// Runs every recording of o.inputs, o.jobs at a time, by starting this program once per
// recording. argv: this program's command line.
int RunRecordings(const Options& o, int argc, char** argv);

// The output name for one of several recordings: "-" + the recording's base name
// before the extension ("out/breaks.edl" + "a/rec1.ts" = "out/breaks-rec1.edl").
std::string OutputNameFor(const std::string& output, const std::string& recording);

}  // namespace zunkhost
