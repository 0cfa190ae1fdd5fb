// Faults while the settings file is rewritten: every file operation of a save failing in
// turn, a temporary file left behind, (Windows) the system refusing the replace, and (POSIX)
// the process killed at random points of Exit. Afterwards the settings file holds the old
// content or the new one, nothing else, and the next save succeeds.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plugin/lifecycle.h"
#include "settings_test_util.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#endif

namespace zunk {
namespace {

using testing_util::ReadBytes;
using testing_util::WriteBytes;

// The file operations of a save, in the order a save makes them.
enum FileOp { kRemove, kCreate, kWrite, kFlush, kClose, kRename, kOpCount };
const char* const kOpNames[kOpCount] = {"remove", "create", "write", "flush", "close", "rename"};

// What goes wrong at the `at`-th file operation (counting from 0): it fails, or, for a
// write, half the bytes are written before it fails (a full disk). With cleanupFails the
// removal of the temporary after that failure fails too. With `kill` the process dies
// there instead, a write after `killAfterBytes` bytes.
struct Faults {
  int calls = 0;
  int at = -1;
  bool halfWrite = false;
  bool cleanupFails = false;
  bool failed = false;
  bool kill = false;
  size_t killAfterBytes = 0;
  std::vector<FileOp> seen;
};
Faults faults;

void Die() {
#if !defined(_WIN32)
  raise(SIGKILL);
#endif
}

bool Hit(FileOp op) {
  faults.seen.push_back(op);
  const bool hit = faults.calls++ == faults.at;
  if (hit && faults.kill && op != kWrite)
    Die();
  faults.failed = faults.failed || hit;
  return hit;
}

int Remove(const char* path) {
  if (Hit(kRemove) || (faults.failed && faults.cleanupFails))
    return 0;
  return NativePlatform().RemoveFile(path);
}
uintptr_t Create(const char* path) {
  return Hit(kCreate) ? 0 : NativePlatform().FileCreate(path);
}
int Write(uintptr_t file, const void* data, size_t size) {
  if (!Hit(kWrite))
    return NativePlatform().FileWrite(file, data, size);
  if (faults.kill) {
    NativePlatform().FileWrite(file, data, faults.killAfterBytes % (size + 1));
    Die();
  }
  if (faults.halfWrite)
    NativePlatform().FileWrite(file, data, size / 2);
  return 0;
}
int Flush(uintptr_t file) {
  return Hit(kFlush) ? 0 : NativePlatform().FileFlush(file);
}
int Close(uintptr_t file) {
  // A failed close has released the handle all the same.
  const int closed = NativePlatform().FileClose(file);
  return Hit(kClose) ? 0 : closed;
}
int Rename(const char* from, const char* to) {
  return Hit(kRename) ? 0 : NativePlatform().MoveFileOver(from, to);
}

const char kOldFile[] = "[COMMON]\r\nDlgWndPosX=1\r\nDlgWndPosY=2\r\n[7]\r\nLogoPosX=3\r\n";

class SaveFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_util::ResetProfileState();
    fake = NativePlatform();
    fake.RemoveFile = Remove;
    fake.FileCreate = Create;
    fake.FileWrite = Write;
    fake.FileFlush = Flush;
    fake.FileClose = Close;
    fake.MoveFileOver = Rename;
    SetPlatformForTest(&fake);
    faults = Faults();
    SettingsStore.FullPath = folder.File("Zunk_LogoDetector.ini");
    WriteBytes(SettingsStore.FullPath, kOldFile);
    SettingsStore.LoadProfiles();
    for (int i = 0; i < 200; ++i) {
      LastChannelKey = 100 + i;
      SelectProfile();
    }
    // The new content, as a save without faults writes it.
    ASSERT_TRUE(SettingsStore.SaveProfiles());
    newFile = ReadBytes(SettingsStore.FullPath);
    ASSERT_NE(newFile, kOldFile);
    WriteBytes(SettingsStore.FullPath, kOldFile);
  }
  void TearDown() override {
    SetPlatformForTest(nullptr);
    SettingsStore.FullPath.clear();
    testing_util::ResetProfileState();
  }

  // The file as it is now: "old", "new" or "other".
  std::string Content() const {
    const std::string bytes = ReadBytes(SettingsStore.FullPath);
    return bytes == kOldFile ? "old" : bytes == newFile ? "new" : "other";
  }
  bool TemporaryLeft() const { return testing_util::Exists(SettingsStore.TemporaryPath()); }

  // A save without faults: it succeeds, writes the new content and leaves no temporary.
  void ExpectNextSaveWorks() {
    faults = Faults();
    EXPECT_TRUE(SettingsStore.SaveProfiles());
    EXPECT_EQ(Content(), "new");
    EXPECT_FALSE(TemporaryLeft());
  }

  testing_util::ScratchFolder folder;
  Platform fake;
  std::string newFile;
};

TEST_F(SaveFaultsTest, EveryFileOperationFailingInTurnKeepsTheOldFile) {
  faults = Faults();
  ASSERT_TRUE(SettingsStore.SaveProfiles());
  const std::vector<FileOp> clean = faults.seen;
  ASSERT_EQ(clean, (std::vector<FileOp>{kRemove, kCreate, kWrite, kFlush, kClose, kRename}));

  std::vector<std::string> matrix;
  struct Case {
    int at;
    bool halfWrite;
    bool cleanupFails;  // the removal of the temporary after the failure fails too
  };
  std::vector<Case> cases;
  for (int at = 0; at < static_cast<int>(clean.size()); ++at) {
    cases.push_back({at, false, false});
    if (clean[at] == kWrite)
      cases.push_back({at, true, false});
    if (clean[at] != kRemove)
      cases.push_back({at, clean[at] == kWrite, true});
  }
  for (const Case& c : cases) {
    WriteBytes(SettingsStore.FullPath, kOldFile);
    faults = Faults();
    faults.at = c.at;
    faults.halfWrite = c.halfWrite;
    faults.cleanupFails = c.cleanupFails;
    const bool saved = SettingsStore.SaveProfiles();
    const std::string content = Content();
    const bool temporaryLeft = TemporaryLeft();
    std::string row = std::string(kOpNames[clean[c.at]]) +
                      (c.halfWrite ? " fails half way" : " fails") +
                      (c.cleanupFails ? ", the cleanup's removal fails" : "") + ": save " +
                      (saved ? "succeeds" : "fails") + ", file " + content +
                      (temporaryLeft ? ", temporary left" : ", no temporary");
    SCOPED_TRACE(row);
    // Only the removal of a stale temporary may fail without failing the save.
    EXPECT_EQ(saved, clean[c.at] == kRemove);
    EXPECT_EQ(content, saved ? "new" : "old");
    if (!c.cleanupFails) {
      EXPECT_FALSE(temporaryLeft);
    }
    ExpectNextSaveWorks();
    row += "; next save: file " + Content();
    matrix.push_back(row);
  }
  for (const std::string& row : matrix)
    std::printf("  %s\n", row.c_str());
}

TEST_F(SaveFaultsTest, StaleTemporaryFileNeverStopsTheSave) {
  WriteBytes(SettingsStore.TemporaryPath(), "[COMMON]\r\nDlgWndPos");
  ExpectNextSaveWorks();

  // One that cannot be written to, left by another account or a copy from a read-only disk.
  WriteBytes(SettingsStore.FullPath, kOldFile);
  WriteBytes(SettingsStore.TemporaryPath(), "partial");
#if defined(_WIN32)
  SetFileAttributesA(SettingsStore.TemporaryPath().c_str(), FILE_ATTRIBUTE_READONLY);
#else
  chmod(SettingsStore.TemporaryPath().c_str(), 0444);
#endif
  ExpectNextSaveWorks();
}

#if defined(_WIN32)
// The system's own replace failing, not a fake: another program reads the settings file
// and does not let it be deleted or renamed over. The save fails without touching it.
TEST_F(SaveFaultsTest, ReplaceRefusedBySystemKeepsTheOldFile) {
  faults = Faults();  // no injected fault: every operation is the system's
  HANDLE reader =
      CreateFileA(SettingsStore.FullPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const bool saved = SettingsStore.SaveProfiles();
  CloseHandle(reader);
  // The new file was written whole; the replace failed; the new file was dropped.
  EXPECT_EQ(faults.seen,
            (std::vector<FileOp>{kRemove, kCreate, kWrite, kFlush, kClose, kRename, kRemove}));
  EXPECT_FALSE(saved);
  EXPECT_EQ(Content(), "old");
  EXPECT_FALSE(TemporaryLeft());
  ExpectNextSaveWorks();
}
#endif

#if !defined(_WIN32)
// Runs Exit in a child process that is killed on the way: by the file operation chosen
// (a write part way through) or, on every other try, by this process after a random delay.
// Returns whether the child was killed.
bool ExitKilledInChild(unsigned try_, std::chrono::microseconds saveTime) {
  int ready[2];
  if (pipe(ready) != 0)
    return false;
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    faults = Faults();
    if (try_ % 2 == 0) {
      faults.kill = true;
      faults.at = static_cast<int>(try_ / 2 % kOpCount);
      faults.killAfterBytes = static_cast<size_t>(try_) * 7919u;
    }
    const char go = 1;
    if (write(ready[1], &go, 1) != 1)
      _exit(2);
    Exit();
    _exit(0);
  }
  close(ready[1]);
  char go = 0;
  const bool started = read(ready[0], &go, 1) == 1;
  close(ready[0]);
  if (started && try_ % 2 == 1) {
    const auto delay = saveTime * static_cast<int>(try_ * 37 % 150) / 100;
    std::this_thread::sleep_for(delay);
    kill(child, SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST_F(SaveFaultsTest, ExitKilledAtRandomPointsLeavesTheOldOrTheNewFile) {
  // How long a save takes here, to spread the kills over it.
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(SettingsStore.SaveProfiles());
  const auto saveTime = std::max(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0),
      std::chrono::microseconds(200));
  int outcomes[2][2] = {};  // [killed][new content]
  for (unsigned t = 0; t < 200; ++t) {
    WriteBytes(SettingsStore.FullPath, kOldFile);
    const bool killed = ExitKilledInChild(t, saveTime);
    const std::string content = Content();
    SCOPED_TRACE("try " + std::to_string(t) + (killed ? ", killed" : ", finished"));
    ASSERT_NE(content, "other");
    if (!killed) {
      EXPECT_EQ(content, "new");
    }
    ++outcomes[killed][content == "new"];
    // Whatever the child left behind, this process's save goes through.
    ExpectNextSaveWorks();
  }
  std::printf("  killed, old file: %d; killed, new file: %d; finished, new file: %d\n",
              outcomes[1][0], outcomes[1][1], outcomes[0][1]);
  EXPECT_EQ(outcomes[0][0], 0);
  EXPECT_GT(outcomes[1][0], 0);
}
#endif

}  // namespace
}  // namespace zunk
