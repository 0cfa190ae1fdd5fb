// Parsing of zunk-host's command line: the action, then options read through the option
// table, the host's instance switch and the recordings named bare.
#include "cli/options.h"

#include <cctype>
#include <cstring>

#include "cli/option_table.h"

namespace zunkhost {

static bool IsInstanceSwitch(const std::string& a) {
  if (a.size() < 6)
    return false;
  std::string head = a.substr(0, 6);
  for (char& c : head)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "/inst:" || head == "-inst:";
}

bool ParseOptions(int argc, char** argv, Options* o, std::string* error, bool* help) {
  *help = false;
  o->log = "-";
  int first = 1;
  if (argc > 1 && (std::strcmp(argv[1], "run") == 0 || std::strcmp(argv[1], "learn") == 0 ||
                   std::strcmp(argv[1], "eval") == 0)) {
    o->action = argv[1];
    first = 2;
  }
  for (int i = first; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      *help = true;
      return true;
    }
    if (IsInstanceSwitch(a)) {
      // Spelled as the host's own switch, so the plug-in finds it on the command line.
      o->instance = a.substr(6, 1);
      continue;
    }
    const OptionRow* row = FindOption(a);
    if (!row && !a.empty() && a[0] != '-') {
      o->inputs.push_back(a);
      continue;
    }
    if (!row) {
      *error = "unknown option " + a;
      return false;
    }
    std::string value;
    if (row->takesValue) {
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
  if (!o->settingValues.empty() && (o->settings.empty() || o->action != "run")) {
    *error = "--set needs --settings (run)";
    return false;
  }
  if (o->inputs.size() == 1)
    o->input = o->inputs[0];
  return true;
}

}  // namespace zunkhost
