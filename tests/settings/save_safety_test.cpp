// A failed save keeps the previous settings file exactly as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "settings_test_util.h"

#if !defined(_WIN32)
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace zunk {
namespace {

using testing_util::Env;
using testing_util::ReadBytes;
using testing_util::WriteBytes;

const char kOldFile[] = "[COMMON]\r\nDlgWndPosX=1\r\nDlgWndPosY=2\r\n[7]\r\nLogoPosX=3\r\n";

class SaveSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_util::ResetProfileState();
    store.FullPath = folder.File("Zunk_LogoDetector.ini");
    WriteBytes(store.FullPath, kOldFile);
    store.LoadProfiles();
    ASSERT_EQ(Profiles.size(), 1u);
    // Enough content that a small write limit is crossed.
    for (int i = 0; i < 20; ++i) {
      LastChannelKey = 100 + i;
      SelectProfile();
    }
  }
  void TearDown() override { testing_util::ResetProfileState(); }
  void ExpectOldFileKept() {
    EXPECT_EQ(ReadBytes(store.FullPath), kOldFile);
    EXPECT_FALSE(testing_util::Exists(store.TemporaryPath()));
  }
  testing_util::ScratchFolder folder;
  IniStore store;
};

TEST_F(SaveSafetyTest, FailedReplacementKeepsTheOldFile) {
  testing_util::FakeEnvScope fake;
  Env().replaceFails = 1;
  store.SaveProfiles();
  ExpectOldFileKept();

  Env().replaceFails = 0;
  store.SaveProfiles();
  EXPECT_NE(ReadBytes(store.FullPath), kOldFile);
  EXPECT_FALSE(testing_util::Exists(store.TemporaryPath()));
}

TEST_F(SaveSafetyTest, TemporaryFileThatCannotBeMadeKeepsTheOldFile) {
  testing_util::fs::create_directory(testing_util::fs::path(store.TemporaryPath()));
  EXPECT_FALSE(store.OpenForWrite());
  store.SaveProfiles();
  EXPECT_EQ(ReadBytes(store.FullPath), kOldFile);
}

TEST_F(SaveSafetyTest, SettingsPathThatIsNoFileIsLeftAlone) {
  store.FullPath = folder.File("adir");
  testing_util::fs::create_directory(testing_util::fs::path(store.FullPath));
  store.SaveProfiles();
  EXPECT_TRUE(testing_util::fs::is_directory(testing_util::fs::path(store.FullPath)));
  EXPECT_FALSE(testing_util::Exists(store.TemporaryPath()));
}

TEST_F(SaveSafetyTest, FileNotReadWholeIsNotRewritten) {
  const size_t size = std::string(kOldFile).size();
  store.MaxFileBytes = size - 1;
  store.LoadProfiles();
  EXPECT_FALSE(store.LastReadWasWhole());
  store.SaveProfiles();
  ExpectOldFileKept();

  store.MaxFileBytes = size;  // exactly the file: read whole
  store.LoadProfiles();
  EXPECT_TRUE(store.LastReadWasWhole());
  ASSERT_EQ(Profiles.size(), 1u);
  Profiles[0].LogoPosX = 4;
  store.SaveProfiles();
  EXPECT_NE(ReadBytes(store.FullPath).find("LogoPosX=4\r\n"), std::string::npos);
}

#if !defined(_WIN32)
// Root writes into a read-only folder anyway. While this lives, the given folder and its
// files belong to the ordinary "nobody" account and files are opened with its rights, as
// an ordinary user who owns them would.
class OrdinaryAccountScope {
 public:
  explicit OrdinaryAccountScope(const testing_util::fs::path& folder) {
    if (geteuid() != 0)
      return;
    const struct passwd* nobody = getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    bool owned = chown(folder.c_str(), uid, gid) == 0;
    for (const auto& entry : testing_util::fs::directory_iterator(folder))
      owned = owned && chown(entry.path().c_str(), uid, gid) == 0;
    dropped_ = owned && seteuid(uid) == 0;
  }
  ~OrdinaryAccountScope() {
    if (dropped_ && seteuid(0) != 0)
      std::abort();
  }

 private:
  bool dropped_ = false;
};

// Not in the Windows build: Windows ignores the read-only flag of a folder; there a temporary
// file that cannot be made is the case above.
TEST_F(SaveSafetyTest, UnwritableFolderKeepsTheOldFile) {
  namespace fs = testing_util::fs;
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec;
  fs::permissions(folder.path(), readOnly);
  bool writable = false;
  {
    OrdinaryAccountScope account(folder.path());
    // A file system without permissions writes anyway.
    std::string probe = folder.File("probe");
    if (std::FILE* f = std::fopen(probe.c_str(), "wb")) {
      std::fclose(f);
      std::remove(probe.c_str());
      writable = true;
    } else {
      store.SaveProfiles();
    }
  }
  fs::permissions(folder.path(), fs::perms::all);
  if (writable)
    GTEST_SKIP() << "this account can write into a read-only folder";
  ExpectOldFileKept();
}

// A file size limit makes the writes fail part way, as a full disk would.
TEST_F(SaveSafetyTest, WriteFailurePartWayKeepsTheOldFile) {
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = old;
  limited.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  ASSERT_TRUE(store.OpenForWrite());
  store.WriteSectionHeader("COMMON");
  for (int i = 0; i < 100; ++i)
    store.WriteInt("DlgWndPosX", i);
  bool closed = store.Close();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(closed);
  ExpectOldFileKept();

  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  oldHandler = signal(SIGXFSZ, SIG_IGN);
  store.SaveProfiles();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  ExpectOldFileKept();
}
#endif

}  // namespace
}  // namespace zunk
