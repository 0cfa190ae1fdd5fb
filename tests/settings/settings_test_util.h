// Helpers of the settings tests: a scratch folder, whole-file reads and writes, a fake
// environment behind the platform seam, and the bytes of a default profile section.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"
#include "settings/ini_store.h"

namespace zunk {
namespace testing_util {

namespace fs = std::filesystem;

inline long ProcessId() {
#if defined(_WIN32)
  return _getpid();
#else
  return getpid();
#endif
}

// A fresh folder under the system's temporary folder, removed with its content. Its name
// holds the process's id: the same test of another build may run at the same time.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> serial{0};
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string("zunk_settings_") + (t ? t->name() : "x") + "_" + std::to_string(ProcessId()) +
        "_" + std::to_string(serial++);
    path_ = fs::temp_directory_path() / name;
    std::error_code ec;
    fs::remove_all(path_, ec);
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::all, ec);
    fs::remove_all(path_, ec);
  }
  // The folder with a trailing separator, as the settings code builds folders.
  std::string Folder() const { return path_.string() + Os().pathSeparator; }
  std::string File(const std::string& name) const { return Folder() + name; }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline bool ReadBytes(const std::string& path, std::string* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f)
    return false;
  out->clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    out->append(buf, n);
  std::fclose(f);
  return true;
}

inline std::string ReadBytes(const std::string& path) {
  std::string s;
  EXPECT_TRUE(ReadBytes(path, &s)) << path;
  return s;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

inline bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::path(path), ec);
}

// What the fake environment answers; tests set the fields before calling the code.
struct FakeEnv {
  VersionFamily extendedVersion = kVersionNt;
  VersionFamily basicVersion = kVersionNt;
  int versionCalls = 0;
  bool hasRegistryValue = false;
  uint32_t registryValue = 0;
  std::string registryKeyAsked, registryValueAsked;
  std::string appData;     // empty: the query fails
  std::string executable;  // empty: the query fails
  std::string module;
  std::string commandLine;
  std::vector<std::string> created;
  bool createReally = true;  // make the folders the code asks for
  int replaceFails = 0;      // the one-step replacement fails
  // Windows by title of class "TMain", each answering the version query.
  std::map<std::string, std::pair<WindowHandle, uint32_t>> windows;
  std::vector<std::string> titlesAsked;
};

FakeEnv& Env();
// Installs the fake environment (fresh), and restores the real one on destruction.
class FakeEnvScope {
 public:
  FakeEnvScope();
  ~FakeEnvScope();
};

// Empties every profile table and the records around them.
void ResetProfileState();

// The 21 key lines of a profile holding the built-in defaults, as written.
extern const char kDefaultSectionLines[];

}  // namespace testing_util
}  // namespace zunk
