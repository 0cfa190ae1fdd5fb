// The summary of a run as one JSON object (--summary json), for scripts: the input, the
// stream, the frames, the detection's count, the host commands, the breaks three ways
// and the files written.
#pragma once

#include <cstdio>

#include "cli/options.h"
#include "run/run_result.h"
#include "run/summary.h"

namespace zunkhost {

void PrintJsonSummary(FILE* out, const Options& o, const SummaryHeader& h, const RunResult& r);

}  // namespace zunkhost
