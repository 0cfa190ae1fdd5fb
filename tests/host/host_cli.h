// Running zunk-host from a test: the exit code, standard output and standard error of
// one command, and the files of a folder.
#pragma once

#include <set>
#include <string>

namespace zunktest {

struct HostResult {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs zunk-host with the arguments (a shell command line tail), with the environment
// assignments env ("NAME=value ...") before it.
HostResult RunZunkHost(const std::string& args, const std::string& env = "");
// Runs any shell command; true when it exits with 0.
bool Shell(const std::string& command);
// A new empty folder under the test's working folder.
std::string FreshFolder(const std::string& name);
// Names in the folder, hidden ones included.
std::set<std::string> FilesIn(const std::string& folder);
std::string ReadAll(const std::string& path);
// Lines of text, without the last empty one.
int LineCount(const std::string& text);

}  // namespace zunktest
