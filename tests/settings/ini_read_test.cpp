// Reading settings files: every lookup rule, odd files and junk.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "settings/ini_text.h"
#include "settings/setting_table.h"
#include "settings_test_util.h"

namespace zunk {
namespace {

using testing_util::ReadBytes;
using testing_util::ScratchFolder;
using testing_util::WriteBytes;

// Runs `work` on a thread of its own and waits for it. One that is still running after
// minutes is hung (what it does takes well under a second): a hung thread cannot be
// stopped, so the program reports it and ends at once, and its missing test report
// counts as a failure. The limit only catches a hang; it measures nothing.
void FailIfItHangs(const char* what, const std::function<void()>& work) {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread worker([&] {
    work();
    std::lock_guard<std::mutex> lock(m);
    done = true;
    cv.notify_one();
  });
  std::unique_lock<std::mutex> lock(m);
  if (!cv.wait_for(lock, std::chrono::minutes(4), [&] { return done; })) {
    std::fprintf(stderr, "%s: still running after 4 minutes, taken for a hang\n", what);
    std::fflush(stderr);
    std::_Exit(1);
  }
  lock.unlock();
  worker.join();
}

class IniReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_util::ResetProfileState();
    store.FullPath = folder.File("Zunk_LogoDetector.ini");
  }
  void TearDown() override { testing_util::ResetProfileState(); }
  void Load(const std::string& bytes) {
    WriteBytes(store.FullPath, bytes);
    store.LoadProfiles();
  }
  void ExpectBuiltInDefaults(const ChannelProfile& p) {
    EXPECT_EQ(p.LogoFileName, kDefaultLogoFileName);
    EXPECT_EQ(p.MsgString, kDefaultMsgString);
    EXPECT_EQ(p.LogoPosX, 20);
    EXPECT_EQ(p.LogoPosTolerance, 3);
    EXPECT_EQ(p.ProcessingEnable, 1);
    EXPECT_EQ(p.LogoDetectLevel, 80);
    EXPECT_EQ(p.MsgBackColor, 0x404040u);
    EXPECT_EQ(p.MsgTextColor, 0x00C000u);
    EXPECT_EQ(p.MsgTransparency, 60);
  }
  ScratchFolder folder;
  IniStore store;
};

TEST_F(IniReadTest, EmptyAndMissingFilesGiveBuiltInDefaults) {
  Load("");
  ExpectBuiltInDefaults(DefaultProfile);
  EXPECT_EQ(DialogLeft, -100);
  EXPECT_EQ(DialogTop, -100);
  EXPECT_TRUE(Profiles.empty());

  std::remove(store.FullPath.c_str());
  DialogLeft = 5;
  store.LoadProfiles();
  EXPECT_TRUE(testing_util::Exists(store.FullPath)) << "a missing file is created empty";
  EXPECT_EQ(ReadBytes(store.FullPath), "");
  EXPECT_EQ(DialogLeft, -100);
  ExpectBuiltInDefaults(DefaultProfile);
}

TEST_F(IniReadTest, SectionsInTheOrderSaveWritesThem) {
  Load(
      "[DEFAULT]\r\nLogoPosX=33\r\nMsgTextColor=255\r\n"
      "[COMMON]\r\nDlgWndPosX=120\r\nDlgWndPosY=-7\r\n"
      "[123]\r\nLogoPosY=44\r\n"
      "[-456]\r\nLogoPosX=1\r\n");
  EXPECT_EQ(DefaultProfile.LogoPosX, 33);
  EXPECT_EQ(DefaultProfile.MsgTextColor, 255u);
  EXPECT_EQ(DialogLeft, 120);
  EXPECT_EQ(DialogTop, -7);
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[0].ChannelKey, 123);
  EXPECT_EQ(Profiles[0].LogoPosY, 44);
  // Keys missing in a channel section take the built-in defaults, not "DEFAULT"'s.
  EXPECT_EQ(Profiles[0].LogoPosX, 20);
  EXPECT_EQ(Profiles[0].MsgTextColor, 0x00C000u);
  EXPECT_EQ(Profiles[1].ChannelKey, -456);
  EXPECT_EQ(Profiles[1].LogoPosX, 1);
}

TEST_F(IniReadTest, WhichSectionsAreChannels) {
  // "DEFAULT" after "COMMON" is read as a channel whose key is 0.
  Load("[COMMON]\nDlgWndPosX=1\n[DEFAULT]\nLogoPosX=9\n[7]\n");
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[0].ChannelKey, 0);
  EXPECT_EQ(Profiles[0].LogoPosX, 9);
  EXPECT_EQ(Profiles[1].ChannelKey, 7);
  EXPECT_EQ(DefaultProfile.LogoPosX, 9);

  // No "COMMON": the sections after "DEFAULT".
  Load("[5]\n[DEFAULT]\nLogoPosX=9\n[6]\nLogoPosX=8\n");
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].ChannelKey, 6);
  EXPECT_EQ(Profiles[0].LogoPosX, 8);
  EXPECT_EQ(DialogLeft, -100);

  // Neither: every section, the one on the first line included.
  Load("[5]\nLogoPosX=4\n\n[6]\n");
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[0].ChannelKey, 5);
  EXPECT_EQ(Profiles[0].LogoPosX, 4);
  EXPECT_EQ(Profiles[1].ChannelKey, 6);
  ExpectBuiltInDefaults(DefaultProfile);

  // Duplicate sections are both kept, each with its own values.
  Load("[COMMON]\n[12]\nLogoPosX=1\n[12]\nLogoPosX=2\n");
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[0].LogoPosX, 1);
  EXPECT_EQ(Profiles[1].LogoPosX, 2);
}

TEST_F(IniReadTest, KeyLineRules) {
  Load(
      "[COMMON]\r\n"
      "[1]\r\n"
      "  MsgEnable  =0\r\n"              // blanks around the key
      "LogoFileName=C:\\a=b\\l.bmp\r\n"  // "=" inside the value
      "LogoPosX=11\r\n"
      "LogoPosX=12\r\n"      // the first line wins
      "msgbackenable=1\r\n"  // keys are case-sensitive
      "MsgString=\r\n"       // empty: missing
      "LogoPosY= 17 \r\n"
      "no equals sign\r\n"
      "ColorKey =4294967295\r\n"
      "[2]\r\n"
      "LogoPosTolerance=9\r\n"
      "[ 12 ]\r\n"  // blanks inside the brackets
      "LogoPosX=99\r\n");
  ASSERT_EQ(Profiles.size(), 3u);
  const ChannelProfile& p = Profiles[0];
  EXPECT_EQ(p.MsgEnable, 0);
  EXPECT_EQ(p.LogoFileName, "C:\\a=b\\l.bmp");
  EXPECT_EQ(p.LogoPosX, 11);
  EXPECT_EQ(p.MsgBackEnable, 0);
  EXPECT_EQ(p.MsgString, kDefaultMsgString);
  EXPECT_EQ(p.LogoPosY, 17);
  EXPECT_EQ(p.ColorKey, 0xFFFFFFFFu);
  EXPECT_EQ(p.LogoPosTolerance, 3) << "a header ends the section";
  EXPECT_EQ(Profiles[1].LogoPosTolerance, 9);
  // Enumerated as key 12, but its keys are looked up under "[12]", which is not there.
  EXPECT_EQ(Profiles[2].ChannelKey, 12);
  EXPECT_EQ(Profiles[2].LogoPosX, 20);
}

TEST_F(IniReadTest, HeaderWithBlanksFoundElsewhereKeepsTheEnumerationGoing) {
  // Its keys are looked up under "[12]", which lies before it.
  Load("[COMMON]\n[12]\nLogoPosX=1\n[ 12 ]\n[13]\n");
  ASSERT_EQ(Profiles.size(), 3u);
  EXPECT_EQ(Profiles[1].ChannelKey, 12);
  EXPECT_EQ(Profiles[1].LogoPosX, 1);
  EXPECT_EQ(Profiles[2].ChannelKey, 13);

  // ... or after it: the sections in between are still read.
  Load("[COMMON]\n[ 12 ]\n[7]\nLogoPosX=7\n[12]\nLogoPosX=2\n");
  ASSERT_EQ(Profiles.size(), 3u);
  EXPECT_EQ(Profiles[0].LogoPosX, 2);
  EXPECT_EQ(Profiles[1].ChannelKey, 7);
  EXPECT_EQ(Profiles[1].LogoPosX, 7);
  EXPECT_EQ(Profiles[2].ChannelKey, 12);
}

TEST_F(IniReadTest, ValuesAreUntrimmedOnTheRight) {
  Load("[COMMON]\n[3]\nMsgString=\xD0\xC5\xCA  \nMsgTextColor=12abc\n");
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].MsgString, "\xD0\xC5\xCA  ");
  EXPECT_EQ(Profiles[0].MsgTextColor, 12u);
}

TEST_F(IniReadTest, LineEndsAndAFinalLineWithoutOne) {
  Load("[COMMON]\nDlgWndPosX=3\r\n[4]\r\nLogoPosX=5");
  EXPECT_EQ(DialogLeft, 3);
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].LogoPosX, 5);
}

TEST_F(IniReadTest, CtrlZEndsTheDataAndNulEndsALine) {
  Load("[COMMON]\r\n[4]\r\nLogoPosX=5\x1A\r\n[5]\r\n");
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].LogoPosX, 5);

  const char withNul[] = "[COMMON]\r\n[4]\r\nMsgString=ab\0cd\r\nLogoPosX=6\r\n";
  Load(std::string(withNul, sizeof withNul - 1));
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].MsgString, "ab");
  EXPECT_EQ(Profiles[0].LogoPosX, 6);
}

TEST_F(IniReadTest, TenMegabyteLine) {
  std::string big = "[COMMON]\r\nDlgWndPosX=8\r\n[1]\r\nJunk=";
  big.append(10u << 20, 'x');
  big += "\r\n[2]\r\nLogoPosX=7\r\n";
  FailIfItHangs("reading a 10 MB line", [&] { Load(big); });
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[1].LogoPosX, 7);
  EXPECT_EQ(DialogLeft, 8);
}

TEST_F(IniReadTest, BinaryJunkEndsAndKeepsTheStoreSane) {
  std::mt19937 rng(12345);
  const char alphabet[] = {'[', ']', '=', '\r', '\n', '\0', '\x1A', ' ', '1', 'A', '\xC0'};
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    size_t n = rng() % 400;
    for (size_t i = 0; i < n; ++i)
      bytes += (rng() % 2) ? alphabet[rng() % sizeof alphabet] : static_cast<char>(rng());
    Load(bytes);  // must end
    for (const ChannelProfile& p : Profiles) {
      EXPECT_LE(p.MsgString.size(), bytes.size());
      EXPECT_LE(p.LogoFileName.size(), std::max(bytes.size(), std::strlen(kDefaultLogoFileName)));
    }
  }
}

TEST(IniStoreSearchTest, FindSectionWrapsOnceAndKeepsTheCursorWhenNotFound) {
  IniStore s;
  ASSERT_TRUE(s.OpenBytes("x\n[A]\nk=1\n[B]\nk=2\n"));
  std::string v;
  EXPECT_TRUE(s.ReadValue("B", "k", &v));
  EXPECT_EQ(v, "2");
  size_t atB = s.SectionCursor;
  EXPECT_EQ(atB, 10u);
  EXPECT_FALSE(s.FindSection("C"));
  EXPECT_EQ(s.SectionCursor, atB);
  EXPECT_TRUE(s.ReadValue(" A ", " k ", &v)) << "found by wrapping round";
  EXPECT_EQ(v, "1");
  EXPECT_EQ(s.SectionCursor, 2u);
  std::string name;
  EXPECT_TRUE(s.NextSection(&name));
  EXPECT_EQ(name, "B");
  EXPECT_FALSE(s.ReadValue("A", "missing", &v));

  // Not open, or empty: nothing is found.
  IniStore closed;
  EXPECT_FALSE(closed.FindSection("A"));
  EXPECT_FALSE(closed.NextSection(&name));
  ASSERT_TRUE(closed.OpenBytes(""));
  EXPECT_FALSE(closed.FindSection("A"));
}

// The search as the file is read: line by line from the cursor, wrapping once.
bool ScanForSection(std::string_view data, size_t* cursor, std::string_view name) {
  if (data.empty())
    return false;
  std::string target = "[" + std::string(Trim(name)) + "]";
  if (*cursor >= data.size())
    *cursor = 0;
  size_t p = *cursor, pos = *cursor;
  for (size_t lines = 0; lines <= data.size() + 1; ++lines) {
    std::string_view line;
    pos = ReadLineAt(data, pos, &line);
    if (Trim(line) == target) {
      *cursor = p;
      return true;
    }
    p = pos;
    if (p >= data.size())
      pos = p = 0;
    if (p == *cursor)
      return false;
  }
  ADD_FAILURE() << "the scan did not come back to the cursor";
  return false;
}

TEST(IniStoreSearchTest, FindSectionAgreesWithALineByLineScan) {
  std::mt19937 rng(4242);
  const char* pieces[] = {"[A]", "[B]", " [A] ", "[ B ]", "k=1", "", "\r", "\x1A", "[]", "x"};
  const char* names[] = {"A", "B", " B ", "", "C"};
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    for (int i = rng() % 12; i > 0; --i)
      bytes += std::string(pieces[rng() % 10]) + (rng() % 4 ? "\n" : "\r\n");
    IniStore s;
    s.OpenBytes(bytes);
    size_t cursor = s.SectionCursor;
    for (int step = 0; step < 8; ++step) {
      std::string name;
      if (rng() % 3 == 0) {
        s.NextSection(&name);
        cursor = s.SectionCursor;
        continue;
      }
      const char* n = names[rng() % 5];
      bool expected = ScanForSection(s.Data(), &cursor, n);
      ASSERT_EQ(s.FindSection(n), expected) << testing::PrintToString(bytes) << " " << n;
      ASSERT_EQ(s.SectionCursor, cursor) << testing::PrintToString(bytes) << " " << n;
    }
  }
}

// The setting table's rows bound to the fields of `p`.
std::vector<SettingDef> RowsOf(ChannelProfile* p) {
  std::vector<SettingDef> rows;
  for (const ProfileSetting& row : SettingTable)
    rows.push_back(BindSetting(row, p));
  return rows;
}

// Every row's text as the setting table formats it, from `p`.
std::vector<std::string> TextsOf(const ChannelProfile& p) {
  std::vector<std::string> out;
  std::string text;
  for (const ProfileSetting& row : SettingTable) {
    FormatSetting(row.kind, SettingField(row, p), &text);
    out.push_back(text);
  }
  return out;
}

// A table read at once gives what looking up its keys one by one gives: first lines of
// duplicated keys (empty ones included), blanks around keys, headers that end sections,
// sections found more than once and not at all, and the cursor left in the same place.
TEST(IniStoreSearchTest, LoadTableAgreesWithKeyByKeyLookups) {
  std::mt19937 rng(777);
  const char* pieces[] = {"[A]",       "[B]",         " [A] ",        "LogoPosX=5",
                          "LogoPosX=", "LogoPosX=7",  " LogoPosY =1", "MsgString= x ",
                          "MsgString", "ColorKey=-1", "",             "=3",
                          "[ B ]",     "ShowLogo=0"};
  const char* names[] = {"A", "B", " B ", "C"};
  ChannelProfile fromTable, fromKeys;
  const std::vector<SettingDef> tableRows = RowsOf(&fromTable);
  const std::vector<SettingDef> keyRows = RowsOf(&fromKeys);
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    for (int i = rng() % 14; i > 0; --i)
      bytes += std::string(pieces[rng() % 14]) + (rng() % 4 ? "\n" : "\r\n");
    IniStore table, keys;
    table.OpenBytes(bytes);
    keys.OpenBytes(bytes);
    for (int step = 0; step < 4; ++step) {
      const char* name = names[rng() % 4];
      table.LoadTable(name, tableRows.data(), tableRows.size());
      std::string text;
      for (const SettingDef& row : keyRows) {
        if (keys.ReadValue(name, row.key, &text))
          StoreSettingText(row.kind, row.target, text);
        else
          StoreSettingDefault(row);
      }
      ASSERT_EQ(TextsOf(fromTable), TextsOf(fromKeys))
          << testing::PrintToString(bytes) << " " << name;
      ASSERT_EQ(table.SectionCursor, keys.SectionCursor) << testing::PrintToString(bytes);
    }
  }
}

TEST_F(IniReadTest, ManyHeadersThatAreNeverFoundLoadWithoutHanging) {
  std::string bytes = "[COMMON]\n";
  for (int i = 0; i < 50000; ++i)
    bytes += "[ 1 ]\n";
  FailIfItHangs("reading 50000 headers", [&] { Load(bytes); });
  EXPECT_EQ(Profiles.size(), 50000u);
}

TEST(IniStoreSearchTest, EverySearchEndsOverJunk) {
  std::mt19937 rng(777);
  for (int round = 0; round < 500; ++round) {
    std::string bytes;
    size_t n = 1 + rng() % 64;
    for (size_t i = 0; i < n; ++i)
      bytes += "[]\n\r=A\0\x1A"[rng() % 8];
    IniStore s;
    s.OpenBytes(bytes);
    std::string v, name;
    s.ReadValue("A", "A", &v);
    int sections = 0;
    while (s.NextSection(&name)) {
      ASSERT_LT(++sections, 100);
      s.ReadValue(name, "A", &v);
    }
    s.FindSection("");
  }
}

}  // namespace
}  // namespace zunk
