// The options of zunk-host as data: one row per option, read by the parser (which
// options take a value, and what each sets), by the job runner (what each recording's
// own run gets of it) and by the test that holds the usage text to the table.
#pragma once

#include <cstddef>
#include <string>

#include "cli/options.h"

namespace zunkhost {

// What a run of one of several recordings gets of an option given for all of them.
enum class PerRecording {
  kSame,      // passed on as it is
  kOwnName,   // an output file: its name gets "-" and the recording's name
  kByRunner,  // set by the job runner for each run (the recording, the log, the jobs)
};

struct OptionRow {
  const char* name;    // "--input"
  const char* action;  // the one action it belongs to ("eval"), or null for every action
  bool takesValue;
  PerRecording perRecording;
  // Sets what the option says in *o; false with one line in *error.
  bool (*apply)(const std::string& value, Options* o, std::string* error);
};

// The row of an option spelled `name` in the action, or null.
const OptionRow* FindOption(const std::string& name, const std::string& action);
// Every row, for the usage text's test.
const OptionRow* OptionRows(size_t* count);

}  // namespace zunkhost
