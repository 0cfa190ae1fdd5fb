// Saving: the exact bytes of a rewritten file, which channels are kept, round trips.
#include <gtest/gtest.h>

#include <vector>

#include "base/abi.h"
#include "settings/setting_table.h"
#include "settings_test_util.h"

namespace zunk {
namespace {

using testing_util::kDefaultSectionLines;
using testing_util::ReadBytes;
using testing_util::ScratchFolder;
using testing_util::WriteBytes;

std::vector<int64_t> asked;
int32_t ZUNK_CDECL KeepOnly77(int64_t key) {
  asked.push_back(key);
  return key == 77 ? 5 : 0;
}

ChannelProfile WithKey(int64_t key) {
  ChannelProfile p = DefaultProfile;
  p.ChannelKey = key;
  return p;
}

class IniWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_util::ResetProfileState();
    asked.clear();
    store.FullPath = folder.File("Zunk_LogoDetector.ini");
    // The built-in defaults, as an empty file gives them.
    WriteBytes(store.FullPath, "");
    store.LoadProfiles();
  }
  void TearDown() override { testing_util::ResetProfileState(); }
  ScratchFolder folder;
  IniStore store;
};

TEST_F(IniWriteTest, WritesCommonThenTheKeptChannelsExactly) {
  WriteBytes(store.FullPath, "[DEFAULT]\r\nLogoPosX=1\r\n; a comment\r\n[COMMON]\r\n[9]\r\n");
  DialogLeft = 250;
  DialogTop = -100;
  Profiles = {WithKey(-5), WithKey(1), WithKey(77), WithKey(2), WithKey(0x100000001LL)};
  ChannelProfile& p = Profiles[2];
  p.LogoFileName = "D:\\\xCB\xEE\xE3\xEE=1.bmp";  // "Лого" with an "=" in the name
  p.MsgString = "\xD0\xC5\xCA\xCB\xC0\xCC\xC0!";
  p.LogoPosX = -3;
  p.ColorKey = 0xFFFFFFFF;
  p.MsgEnable = 0;
  p.MsgTextColor = 0x0000FF;
  ChannelCheckCallback = KeepOnly77;

  store.SaveProfiles();

  // Every channel is asked about, keys 1 and 2 included.
  EXPECT_EQ(asked, (std::vector<int64_t>{-5, 1, 77, 2, 0x100000001LL}));
  std::string expected = std::string("[COMMON]\r\nDlgWndPosX=250\r\nDlgWndPosY=-100\r\n") +
                         "[1]\r\n" + kDefaultSectionLines +
                         "[77]\r\n"
                         "LogoFileName=D:\\\xCB\xEE\xE3\xEE=1.bmp\r\n"
                         "MsgString=\xD0\xC5\xCA\xCB\xC0\xCC\xC0!\r\n"
                         "LogoPosX=-3\r\n"
                         "LogoPosY=20\r\n"
                         "LogoPosTolerance=3\r\n"
                         "LeftTopPixelColor=0\r\n"
                         "ColorKey=4294967295\r\n"
                         "ProcessingEnable=1\r\n"
                         "ShowLogo=1\r\n"
                         "LogoTransparency=60\r\n"
                         "LogoOffResponseSpeed=10\r\n"
                         "LogoOnResponseSpeed=3\r\n"
                         "LogoDetectLevel=80\r\n"
                         "LogoMatchLevel=80\r\n"
                         "PreviewAction=0\r\n"
                         "RecordAction=0\r\n"
                         "MsgEnable=0\r\n"
                         "MsgBackEnable=0\r\n"
                         "MsgBackColor=4210752\r\n"
                         "MsgTextColor=255\r\n"
                         "MsgTransparency=60\r\n"
                         "[2]\r\n" +
                         kDefaultSectionLines;
  EXPECT_EQ(ReadBytes(store.FullPath), expected);
  EXPECT_EQ(Profiles.size(), 5u) << "the table in memory is not changed";
  EXPECT_FALSE(testing_util::Exists(store.TemporaryPath()));
}

TEST_F(IniWriteTest, RoundTripKeepsEveryValue) {
  Profiles = {WithKey(-9000000000LL), WithKey(123)};
  Profiles[0].MsgString = "a = b ";
  Profiles[0].LogoPosY = -2147483647 - 1;
  Profiles[0].MsgBackColor = 0x80000000u;
  Profiles[1].LogoFileName = " lead and trail ";
  Profiles[1].PreviewAction = 5;
  DialogLeft = -1;
  DialogTop = 2147483647;
  const ProfileTable saved = Profiles;
  store.SaveProfiles();  // no callback: every channel is kept
  const std::string first = ReadBytes(store.FullPath);

  testing_util::ResetProfileState();
  store.LoadProfiles();
  ASSERT_EQ(Profiles.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Profiles[i].ChannelKey, saved[i].ChannelKey);
    EXPECT_EQ(Profiles[i].MsgString, saved[i].MsgString);
    EXPECT_EQ(Profiles[i].LogoFileName, saved[i].LogoFileName);
    EXPECT_EQ(Profiles[i].LogoPosY, saved[i].LogoPosY);
    EXPECT_EQ(Profiles[i].MsgBackColor, saved[i].MsgBackColor);
    EXPECT_EQ(Profiles[i].PreviewAction, saved[i].PreviewAction);
  }
  EXPECT_EQ(DialogLeft, -1);
  EXPECT_EQ(DialogTop, 2147483647);
  store.SaveProfiles();
  EXPECT_EQ(ReadBytes(store.FullPath), first) << "a second save writes the same bytes";
}

TEST_F(IniWriteTest, DefaultSectionIsUsedThenDropped) {
  WriteBytes(store.FullPath, "[DEFAULT]\r\nLogoPosX=55\r\nMsgString=Ad\r\n[COMMON]\r\n");
  store.LoadProfiles();
  LastChannelKey = 31;
  SelectProfile();
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(Profiles[0].LogoPosX, 55);
  EXPECT_EQ(Profiles[0].MsgString, "Ad");
  store.SaveProfiles();
  std::string bytes = ReadBytes(store.FullPath);
  EXPECT_EQ(bytes.find("DEFAULT"), std::string::npos);
  EXPECT_EQ(bytes.rfind("[COMMON]\r\nDlgWndPosX=-100\r\nDlgWndPosY=-100\r\n[31]\r\n", 0), 0u);
  EXPECT_NE(bytes.find("LogoPosX=55\r\n"), std::string::npos);
}

TEST_F(IniWriteTest, HeadersAndKeysAreTrimmedValuesAreNot) {
  ASSERT_TRUE(store.OpenForWrite());
  store.WriteSectionHeader("  NAME \t");
  store.WriteValue(" Key ", " v = w ");
  store.WriteInt("N", -42);
  store.WriteInt64Header(-9223372036854775807LL - 1);
  EXPECT_TRUE(store.Close());
  EXPECT_EQ(ReadBytes(store.FullPath),
            "[NAME]\r\nKey= v = w \r\nN=-42\r\n[-9223372036854775808]\r\n");
}

}  // namespace
}  // namespace zunk
