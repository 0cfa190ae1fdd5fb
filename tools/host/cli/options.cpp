// Parsing of zunk-host's command line: the action, then options read through the option
// table, the host's instance switch and the recordings named bare.
#include "cli/options.h"

#include <cctype>
#include <cstring>

#include "cli/option_table.h"

namespace zunkhost {

bool IsInstanceSwitch(const std::string& a) {
  if (a.size() < 6)
    return false;
  std::string head = a.substr(0, 6);
  for (char& c : head)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "/inst:" || head == "-inst:";
}

namespace {

// The usage errors the rows cannot see alone: what each action needs, and standard
// output taken by more than one thing.
bool CheckUsage(const Options& o, std::string* error) {
  if (!o.settingValues.empty() && (o.settings.empty() || o.action == "eval")) {
    *error = "--set needs --settings (run or learn)";
    return false;
  }
  if (o.action == "learn") {
    if (o.inputs.size() != 1)
      *error = "learn takes one recording (--input FILE)";
    else if (o.settings.empty())
      *error = "learn needs --settings FILE (the settings file to write the channel into)";
    return error->empty();
  }
  if (o.action == "eval") {
    if (o.truth.empty() || o.detected.empty())
      *error = "eval needs --truth FILE and --detected FILE";
    else if (o.truth == "-" && o.detected == "-")
      *error = "only one of --truth and --detected can be standard input";
    return error->empty();
  }
  if (o.inputs.empty()) {
    *error = "no recording named";
    return false;
  }
  if (o.learn && (o.settings.empty() || o.settings == "-")) {
    *error = "--learn needs --settings FILE (the settings file to learn channels into)";
    return false;
  }
  if (o.learn && o.jobs > 1) {
    *error =
        "--learn writes the settings file: it runs one recording at a time "
        "(not with --jobs)";
    return false;
  }
  int toStdout = 0;
  for (const std::string* f : {&o.edl, &o.json, &o.log, &o.output})
    toStdout += *f == "-";
  if (toStdout > 1) {
    *error = "only one output can go to standard output (-)";
    return false;
  }
  if (toStdout && (o.inputs.size() > 1 || o.recursive)) {
    *error = "several recordings cannot share standard output: name a file for each output";
    return false;
  }
  if (o.fast && !o.output.empty()) {
    *error = std::string(o.rawOutput ? "--raw-output" : "--output") +
             " cannot be given with --fast: a fast scan writes skip lists only";
    return false;
  }
  if (o.fast && (o.raw || o.decoder == "pipe")) {
    *error = "--fast decodes recordings in this process (not with --raw or --decoder pipe)";
    return false;
  }
  if (o.follow && (o.raw || o.decoder == "pipe" || o.inputs[0] == "-")) {
    *error = "--follow reads a recording file with the in-process decoder";
    return false;
  }
  int fromStdin = 0;
  for (const std::string& i : o.inputs)
    fromStdin += i == "-";
  fromStdin += o.settings == "-";
  if (fromStdin > 1) {
    *error = "only one input can come from standard input (-)";
    return false;
  }
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* o, std::string* error, bool* help) {
  *help = false;
  int first = 1;
  if (argc > 1 && (std::strcmp(argv[1], "run") == 0 || std::strcmp(argv[1], "learn") == 0 ||
                   std::strcmp(argv[1], "eval") == 0)) {
    o->action = argv[1];
    first = 2;
  }
  for (int i = first; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      *help = true;
      return true;
    }
    if (IsInstanceSwitch(a)) {
      // Spelled as the host's own switch, so the plug-in finds it on the command line.
      o->instance = a.substr(6, 1);
      continue;
    }
    if (a == "-" || (!a.empty() && a[0] != '-')) {
      o->inputs.push_back(a);
      continue;
    }
    // "--name=value" as well as "--name value".
    const size_t eq = a.compare(0, 2, "--") == 0 ? a.find('=') : std::string::npos;
    const std::string name = a.substr(0, eq);
    const OptionRow* row = FindOption(name, o->action);
    if (!row) {
      *error = "unknown option " + name;
      return false;
    }
    std::string value;
    if (eq != std::string::npos) {
      if (!row->takesValue) {
        *error = name + " takes no value";
        return false;
      }
      value = a.substr(eq + 1);
    } else if (row->takesValue) {
      // A value never starts with "--": that is the next option, the value is missing.
      if (i + 1 >= argc || std::strncmp(argv[i + 1], "--", 2) == 0) {
        *error = a + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (!row->apply(value, o, error))
      return false;
  }
  if (!CheckUsage(*o, error))
    return false;
  if (o->inputs.size() == 1)
    o->input = o->inputs[0];
  return true;
}

}  // namespace zunkhost
