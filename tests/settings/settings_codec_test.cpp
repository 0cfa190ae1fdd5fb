// The pure settings codec: bytes back unchanged, profiles read as Init reads them, sections
// formatted as the save writes them, and values set in existing bytes with the rest kept.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "settings/ini_text.h"
#include "settings/profile_codec.h"
#include "settings_test_util.h"

namespace zunk {
namespace {

using testing_util::kDefaultSectionLines;
using Values = std::vector<std::pair<std::string, std::string>>;

std::string Fields(const ChannelProfile& p) {
  std::string out = FormatInt64(p.ChannelKey);
  return out + "\n" + FormatProfileSection("", p);
}

// Random files from pieces that exercise every reading rule: duplicated and blank-padded
// headers, "DEFAULT" and "COMMON" anywhere, keys with empty values, lines that end a
// section without being headers, odd line ends, NUL, Ctrl-Z, no final line end.
std::string RandomFile(std::mt19937* rng) {
  static const char* const pieces[] = {
      "[COMMON]",     "[DEFAULT]",   "[5]",        "[6]",          " [5] ",
      "[ 5 ]",        "[05]",        "LogoPosX=1", "LogoPosX=",    "LogoPosX=2",
      " LogoPosY =3", "MsgString=a", "MsgString",  "DlgWndPosX=4", "DlgWndPosY=",
      "[broken",      "; comment",   "",           "Other=x",      "ColorKey=-1"};
  static const char* const ends[] = {"\r\n", "\n", "\r\n", "\r\r\n", "\n"};
  std::string bytes;
  for (int i = (*rng)() % 16; i > 0; --i) {
    bytes += pieces[(*rng)() % (sizeof pieces / sizeof pieces[0])];
    bytes += ends[(*rng)() % 5];
    if ((*rng)() % 40 == 0)
      bytes += std::string(1, '\0') + "z";
  }
  if ((*rng)() % 4 == 0 && !bytes.empty())
    bytes.pop_back();
  if ((*rng)() % 20 == 0)
    bytes += "\x1A[5]\r\nLogoPosX=9\r\n";
  return bytes;
}

TEST(SettingsCodecTest, FormattingAParsedFileGivesItsBytesBack) {
  const char withNul[] = "k=\0v\r\n\x1A[5]\r\nrest";
  const std::string odd[] = {"",
                             "[COMMON]\r\nDlgWndPosX=1\r\n",
                             "a\rb\n\r\n\n[x]\r\r\nk=v",
                             std::string(withNul, sizeof withNul - 1),
                             "\r",
                             "\x1A"};
  for (const std::string& bytes : odd)
    EXPECT_EQ(FormatSettings(ParseSettings(bytes)), bytes) << testing::PrintToString(bytes);
  std::mt19937 rng(99);
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    for (int i = rng() % 200; i > 0; --i)
      bytes += static_cast<char>(rng());
    ASSERT_EQ(FormatSettings(ParseSettings(bytes)), bytes);
  }
}

TEST(SettingsCodecTest, ProfileSectionHasTheSavedBytes) {
  ChannelProfile p;
  ASSERT_FALSE(ReadProfile(ParseSettings(""), "1", &p));
  ReadProfileAt(ParseSettings(""), kNoLine, &p);  // the built-in defaults
  EXPECT_EQ(FormatProfileSection(" 12 ", p), std::string("[12]\r\n") + kDefaultSectionLines);

  p.ChannelKey = -3;
  p.MsgString = "a = b ";
  p.LogoPosY = -2147483647 - 1;
  p.MsgBackColor = 0x80000000u;
  const std::string section = FormatProfileSection("-3", p);
  EXPECT_NE(section.find("\r\nMsgString=a = b \r\nLogoPosX=20\r\nLogoPosY=-2147483648\r\n"),
            std::string::npos);
  EXPECT_NE(section.find("\r\nMsgBackColor=2147483648\r\n"), std::string::npos);
  ChannelProfile back;
  ASSERT_TRUE(ReadProfile(ParseSettings(section), "-3", &back));
  EXPECT_EQ(Fields(back), Fields(p));
  EXPECT_EQ(FormatCommonSection(-100, 7), "[COMMON]\r\nDlgWndPosX=-100\r\nDlgWndPosY=7\r\n");
}

TEST(SettingsCodecTest, ReadProfileFindsTheSectionTheChannelUses) {
  const SettingsDocument doc = ParseSettings(
      "[12]\nLogoPosX=1\n"  // above "COMMON": no channel's section
      "[DEFAULT]\nLogoPosX=2\n"
      "[COMMON]\nDlgWndPosX=5\n"
      "[13]\nLogoPosX=3\nLogoPosX=4\nMsgString=\n"
      "[13]\nLogoPosX=5\n");
  ChannelProfile p;
  EXPECT_FALSE(ReadProfile(doc, "12", &p));
  ASSERT_TRUE(ReadProfile(doc, "DEFAULT", &p));
  EXPECT_EQ(p.LogoPosX, 2);
  ASSERT_TRUE(ReadProfile(doc, " 13 ", &p));
  EXPECT_EQ(p.ChannelKey, 13);
  EXPECT_EQ(p.LogoPosX, 3) << "the first section and the first line of a key";
  EXPECT_EQ(p.MsgString, kDefaultMsgString) << "an empty value reads as missing";
  EXPECT_EQ(p.LogoPosY, 20) << "built-in defaults, not DEFAULT's";
}

// On random files, the profile ReadProfile gives for a channel is the one Init loads and
// SelectProfile picks, and "DEFAULT" gives what Init takes for new channels.
TEST(SettingsCodecTest, ReadProfileAgreesWithInit) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 600; ++round) {
    const std::string bytes = RandomFile(&rng);
    const SettingsDocument doc = ParseSettings(bytes);
    const LoadedSettings init = ReadSettings(doc);
    ChannelProfile p;
    if (ReadProfile(doc, "DEFAULT", &p)) {
      p.ChannelKey = 0;
      ASSERT_EQ(Fields(p), Fields(init.defaults)) << testing::PrintToString(bytes);
    } else {
      ReadProfileAt(doc, kNoLine, &p);
      ASSERT_EQ(Fields(p), Fields(init.defaults)) << testing::PrintToString(bytes);
    }
    for (const char* name : {"5", "6"}) {
      const ChannelProfile* selected = nullptr;
      for (const ChannelProfile& c : init.channels) {
        if (c.ChannelKey == AtoI64(name)) {
          selected = &c;
          break;
        }
      }
      // No section is found for a channel only when its profile, if it has one, takes
      // no section's values (a header with blanks inside its brackets, nothing without).
      if (!ReadProfile(doc, name, &p)) {
        ReadProfileAt(doc, kNoLine, &p);
        p.ChannelKey = AtoI64(name);
      }
      if (selected) {
        ASSERT_EQ(Fields(p), Fields(*selected)) << testing::PrintToString(bytes) << name;
      }
    }
  }
}

TEST(SettingsCodecTest, SetValuesReplacesTheTextOfTheLineThePluginReads) {
  const std::string before =
      "; keep me\n"
      "[COMMON]\r\nDlgWndPosX=1\r\n"
      "[7]\r\n"
      "  LogoPosX =5  \r\n"  // blanks kept around the key, the old text replaced
      "Unknown=x\r\n"
      "LogoPosX=6\r\n"  // a later duplicate stays
      "MsgString=\r\n"  // an empty value is replaced as well
      "LogoPosY=1\n"    // an LF-only line end stays
      "\r\n"
      "[8]\r\nLogoPosX=9\r\n";
  const std::string after = SetSectionValues(
      before, "7", {{"LogoPosX", "40"}, {"MsgString", "\xD0\xC5"}, {"LogoPosY", "2"}});
  EXPECT_EQ(after,
            "; keep me\n"
            "[COMMON]\r\nDlgWndPosX=1\r\n"
            "[7]\r\n"
            "  LogoPosX =40\r\n"
            "Unknown=x\r\n"
            "LogoPosX=6\r\n"
            "MsgString=\xD0\xC5\r\n"
            "LogoPosY=2\n"
            "\r\n"
            "[8]\r\nLogoPosX=9\r\n");
  EXPECT_EQ(SetSectionValues(before, "7", {}), before);
  // The last text of a repeated key wins; line breaks cut a text; odd keys are no keys.
  EXPECT_EQ(
      SetSectionValues("[COMMON]\n[7]\nA=1\n", "7",
                       {{"A", "2"}, {"A", "3\r\nB=4"}, {"x=y", "1"}, {"[z", "1"}, {" ", "1"}}),
      "[COMMON]\n[7]\nA=3\n");
}

TEST(SettingsCodecTest, SetValuesAddsMissingKeysAtTheSectionsEnd) {
  EXPECT_EQ(SetSectionValues("[COMMON]\n[7]\nA=1\n; note\n\n\n[8]\n", "7", {{"B", "2"}}),
            "[COMMON]\n[7]\nA=1\n; note\nB=2\r\n\n\n[8]\n");
  // A line that ends the key lookup ends the section too, header or not.
  EXPECT_EQ(SetSectionValues("[COMMON]\n[7]\n[broken\nB=1\n", "7", {{"B", "2"}}),
            "[COMMON]\n[7]\nB=2\r\n[broken\nB=1\n");
  // The last line of the data has no line end: one is added before the new line.
  EXPECT_EQ(SetSectionValues("[COMMON]\n[7]\nA=1", "7", {{"B", "2"}}),
            "[COMMON]\n[7]\nA=1\r\nB=2\r\n");
  EXPECT_EQ(SetSectionValues("[COMMON]\n[7]\nA=1\x1Ajunk", "7", {{"B", "2"}}),
            "[COMMON]\n[7]\nA=1\r\nB=2\r\n\x1Ajunk");
}

TEST(SettingsCodecTest, SetValuesAddsAMissingSectionWhereInitReadsIt) {
  EXPECT_EQ(SetSectionValues("", "7", {{"A", "1"}}), "[7]\r\nA=1\r\n");
  EXPECT_EQ(SetSectionValues("[COMMON]\nX=1", " 7 ", {{"A", "1"}}),
            "[COMMON]\nX=1\r\n[7]\r\nA=1\r\n");
  EXPECT_EQ(SetSectionValues("[COMMON]\n\x1A[7]\n", "7", {{"A", "1"}}),
            "[COMMON]\n[7]\r\nA=1\r\n\x1A[7]\n");
  // A section of the name above "COMMON" is no channel's: the channel gets one of its own.
  EXPECT_EQ(SetSectionValues("[7]\nA=0\n[COMMON]\n", "7", {{"A", "1"}}),
            "[7]\nA=0\n[COMMON]\n[7]\r\nA=1\r\n");
  // "DEFAULT" and "COMMON" go where they leave the channel sections as they were.
  EXPECT_EQ(SetSectionValues("[5]\n[6]\n", "DEFAULT", {{"LogoPosX", "1"}}),
            "[DEFAULT]\r\nLogoPosX=1\r\n[5]\n[6]\n");
  EXPECT_EQ(SetSectionValues("[4]\n[DEFAULT]\nA=1\n\n[5]\n", "COMMON", {{"DlgWndPosX", "3"}}),
            "[4]\n[DEFAULT]\nA=1\n\n[COMMON]\r\nDlgWndPosX=3\r\n[5]\n");
}

// On random files: the values set are the ones Init reads afterwards for that section, and
// every other profile, the defaults and the dialog position read as before.
TEST(SettingsCodecTest, SetValuesChangesWhatInitReadsOfThatSectionOnly) {
  std::mt19937 rng(31337);
  for (int round = 0; round < 800; ++round) {
    const std::string bytes = RandomFile(&rng);
    const char* const names[] = {"5", "6", "DEFAULT", "COMMON"};
    const std::string name = names[rng() % 4];
    const bool common = name == "COMMON";
    const Values values =
        common ? Values{{"DlgWndPosX", "-77"}} : Values{{"LogoPosX", "777"}, {"MsgString", "new"}};
    const std::string after = SetSectionValues(bytes, name, values);
    const std::string where = testing::PrintToString(bytes) + " " + name;
    const LoadedSettings was = ReadSettings(ParseSettings(bytes));
    const LoadedSettings now = ReadSettings(ParseSettings(after));
    const SettingsDocument doc = ParseSettings(after);
    ChannelProfile p;
    if (common) {
      ASSERT_EQ(now.dialogLeft, -77) << where;
    } else {
      ASSERT_TRUE(ReadProfile(doc, name, &p)) << where;
      ASSERT_EQ(p.LogoPosX, 777) << where;
      ASSERT_EQ(p.MsgString, "new") << where;
      const ChannelProfile& used = name == "DEFAULT" ? now.defaults : p;
      ASSERT_EQ(used.LogoPosX, 777) << where;
    }
    if (!common) {
      ASSERT_EQ(now.dialogLeft, was.dialogLeft) << where;
    }
    ASSERT_EQ(now.dialogTop, was.dialogTop) << where;
    if (name != "DEFAULT") {
      ASSERT_EQ(Fields(now.defaults), Fields(was.defaults)) << where;
    }
    // The channels of other keys, in order; "DEFAULT" and "COMMON" below the channels
    // read as a channel of key 0.
    const int64_t edited = name == "5" ? 5 : name == "6" ? 6 : 0;
    std::vector<std::string> wasOthers, nowOthers;
    for (const ChannelProfile& c : was.channels)
      if (c.ChannelKey != edited)
        wasOthers.push_back(Fields(c));
    for (const ChannelProfile& c : now.channels)
      if (c.ChannelKey != edited)
        nowOthers.push_back(Fields(c));
    ASSERT_EQ(nowOthers, wasOthers) << where;
    // What lies after a Ctrl-Z is kept.
    const size_t eof = bytes.find('\x1A');
    if (eof != std::string::npos) {
      ASSERT_EQ(after.substr(after.size() - (bytes.size() - eof)), bytes.substr(eof)) << where;
    }
  }
}

}  // namespace
}  // namespace zunk
