// The outputs written beside a recording (or under --out-dir): which formats, and the
// file each gets ("NAME.edl" for "NAME.ts").
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"

namespace zunkhost {

struct BesideOutput {
  std::string format;  // "edl", "edl-skip", "chapters", "cuts" or "json"
  std::string path;
};

// The formats of the run: those of --outputs, else "edl" when the run names no output
// file of its own (--edl, --json, --output, --raw-output) and reads a recording file.
std::vector<std::string> BesideFormats(const Options& o);
// The outputs of one recording.
std::vector<BesideOutput> BesideOutputs(const Options& o, const std::string& recording);
// Whether every output of the recording exists and is newer than the recording.
bool OutputsAreNewer(const Options& o, const std::string& recording);

}  // namespace zunkhost
