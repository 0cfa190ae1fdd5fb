// The helpers of host_cli.h, for POSIX.
#include "host_cli.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace zunktest {

HostResult RunZunkHost(const std::string& args, const std::string& env) {
  HostResult r;
  std::string errPath = "host_cli_err." + std::to_string(getpid());
  std::string cmd = env + " '" + ZUNK_HOST_PATH + "' " + args + " 2>" + errPath;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p)
    return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = ReadAll(errPath);
  std::remove(errPath.c_str());
  return r;
}

bool Shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

std::string FreshFolder(const std::string& name) {
  Shell("rm -rf '" + name + "' && mkdir -p '" + name + "'");
  return name;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..")
        names.insert(n);
    }
    closedir(d);
  }
  return names;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int LineCount(const std::string& text) {
  int n = 0;
  for (char c : text)
    n += c == '\n';
  if (!text.empty() && text.back() != '\n')
    ++n;
  return n;
}

}  // namespace zunktest
