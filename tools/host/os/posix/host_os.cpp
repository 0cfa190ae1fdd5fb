// File-system services on POSIX.
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "os/host_os.h"

namespace zunkhost {

const char kPluginFileName[] = "Zunk_LogoDetector.so";

std::string ExecutableFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0)
    return "./";
  std::string p(buf, static_cast<size_t>(n));
  return p.substr(0, p.rfind('/') + 1);
}

std::string FullPath(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

bool MakeFolder(const std::string& path) {
  return mkdir(path.c_str(), 0755) == 0;
}

namespace {

// Copies the file `from` into `to` as it is (a device or a pipe), then removes `from`.
bool CopyInto(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = in ? std::fopen(to.c_str(), "wb") : nullptr;
  bool ok = in && out;
  char piece[16384];
  size_t n;
  while (ok && (n = std::fread(piece, 1, sizeof piece, in)) > 0)
    ok = std::fwrite(piece, 1, n, out) == n;
  ok = ok && !std::ferror(in);
  if (out && std::fclose(out) != 0)
    ok = false;
  if (in)
    std::fclose(in);
  std::remove(from.c_str());
  return ok;
}

}  // namespace

bool MoveFileOver(const std::string& from, const std::string& to) {
  // A name that is not a plain file (/dev/null, a pipe, a terminal) is written into, never
  // replaced: a rename would put a plain file in the device's place.
  struct stat there;
  if (stat(to.c_str(), &there) == 0 && !S_ISREG(there.st_mode) && !S_ISDIR(there.st_mode))
    return CopyInto(from, to);
  return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {
std::string privateHome;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  return std::remove(path);
}
}  // namespace

// The plug-in keeps its settings under the application-data folder when the host's
// registry choice says so; here both come from the environment.
std::string SettingsBaseFolder() {
  if (privateHome.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/zunk-host-XXXXXX";
    if (!mkdtemp(&pattern[0]))
      return "";
    privateHome = pattern;
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    setenv("ZUNK_REGISTRY_StoreInUsersFolder", "1", 1);
    MakeFolder(privateHome + "/Quintora");
  }
  return privateHome + "/Quintora/";
}

void RemoveSettingsBaseFolder() {
  if (!privateHome.empty())
    nftw(privateHome.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
  privateHome.clear();
}

std::vector<int> RunSelf(const std::vector<std::vector<std::string>>& commands, int jobs) {
  std::vector<int> codes(commands.size(), 1);
  struct Child {
    pid_t pid;
    size_t index;
    FILE* out;
  };
  std::vector<Child> running;
  size_t next = 0;
  char exe[PATH_MAX];
  ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string self = len > 0 ? std::string(exe, static_cast<size_t>(len)) : "zunk-host";
  while (next < commands.size() || !running.empty()) {
    while (next < commands.size() && static_cast<int>(running.size()) < jobs) {
      FILE* out = std::tmpfile();
      std::fflush(nullptr);
      pid_t pid = fork();
      if (pid == 0) {
        if (out)
          dup2(fileno(out), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(self.c_str()));
        for (const std::string& a : commands[next])
          argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(self.c_str(), argv.data());
        _exit(127);
      }
      if (pid > 0)
        running.push_back({pid, next, out});
      else if (out)
        std::fclose(out);
      ++next;
    }
    if (running.empty())
      break;
    int status = 0;
    pid_t done = wait(&status);
    for (size_t i = 0; i < running.size(); ++i) {
      if (running[i].pid != done)
        continue;
      codes[running[i].index] = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      if (FILE* out = running[i].out) {
        std::rewind(out);
        char buf[8192];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, out)) > 0)
          std::fwrite(buf, 1, n, stdout);
        std::fclose(out);
        std::fflush(stdout);
      }
      running.erase(running.begin() + static_cast<long>(i));
      break;
    }
  }
  return codes;
}

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

bool NeedsPrivateFolder() {
  return false;
}

int RunInPrivateFolder(const std::vector<std::string>&) {
  return 1;
}

void EnterHostIsolation() {}

void LeaveHostIsolation() {}

int ProcessId() {
  return static_cast<int>(getpid());
}

bool CheckVideoFile(const std::string& path, std::string* error) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    *error = path + ": no such file";
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    *error = path + ": a folder, not a video";
    return false;
  }
  if (access(path.c_str(), R_OK) != 0) {
    *error = path + ": not readable";
    return false;
  }
  if (st.st_size == 0) {
    *error = path + ": empty file (zero length), not a video";
    return false;
  }
  return true;
}

}  // namespace zunkhost
