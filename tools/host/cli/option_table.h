// The options of zunk-host as data: one row per option, read by the parser (which
// options take a value, and what each sets) and by the job runner (what each
// recording's own run gets of it).
#pragma once

#include <string>

#include "cli/options.h"

namespace zunkhost {

// What a run of one of several recordings gets of an option given for all of them.
enum class PerRecording {
  kSame,      // passed on as it is
  kOwnName,   // an output: its name gets "-" and the recording's name
  kByRunner,  // set by the job runner for each run (the recording, the log, the jobs)
};

struct OptionRow {
  const char* name;  // "--input"
  bool takesValue;
  PerRecording perRecording;
  // Sets what the option says in *o; false with one line in *error.
  bool (*apply)(const std::string& value, Options* o, std::string* error);
};

// The row of an option spelled `name`, or null.
const OptionRow* FindOption(const std::string& name);

}  // namespace zunkhost
