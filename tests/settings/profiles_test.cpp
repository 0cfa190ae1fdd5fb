// Selecting the current channel's profile, and the profile flow through the module's
// lifecycle from Init to Exit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/host_records.h"
#include "plugin/lifecycle.h"
#include "settings/setting_table.h"
#include "settings_test_util.h"

namespace zunk {
namespace {

class SelectProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_util::ResetProfileState();
    DefaultProfile.LogoPosX = 42;
    DefaultProfile.MsgString = "m";
  }
  void TearDown() override { testing_util::ResetProfileState(); }
  void Select(int64_t key) {
    LastChannelKey = key;
    SelectProfile();
  }
};

TEST_F(SelectProfileTest, NewChannelGetsACopyOfDefault) {
  EXPECT_EQ(CurrentProfile(), nullptr);
  Select(0x700000005LL);
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(CurrentIndex, 0);
  EXPECT_EQ(Profiles[0].ChannelKey, 0x700000005LL);
  EXPECT_EQ(Profiles[0].LogoPosX, 42);
  EXPECT_EQ(Profiles[0].MsgString, "m");
  EXPECT_EQ(CurrentProfile(), &Profiles[0]);
  EXPECT_TRUE(ProfileSnapshot.empty()) << "the dialog is closed";

  Select(5);  // same low half, different key
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(CurrentIndex, 1);
}

TEST_F(SelectProfileTest, KnownChannelSelectsTheFirstRecordWithItsKey) {
  Profiles.resize(3);
  Profiles[0].ChannelKey = 8;
  Profiles[1].ChannelKey = -3;
  Profiles[2].ChannelKey = -3;
  Profiles[1].LogoPosX = 1;
  Select(-3);
  EXPECT_EQ(Profiles.size(), 3u);
  EXPECT_EQ(CurrentIndex, 1);
  Select(8);
  EXPECT_EQ(CurrentIndex, 0);
}

TEST_F(SelectProfileTest, NewChannelWhileTheDialogIsOpenIsAddedToTheSnapshot) {
  Select(1);
  Profiles[0].LogoPosY = 99;
  ProfileSnapshot = Profiles;  // the dialog opens
  DialogOpen = 1;
  Profiles[0].LogoPosY = 5;  // an edit, later cancelled
  Select(2);
  Select(1);  // known: the snapshot does not grow
  ASSERT_EQ(ProfileSnapshot.size(), 2u);
  EXPECT_EQ(ProfileSnapshot[1].ChannelKey, 2);
  EXPECT_EQ(ProfileSnapshot[1].LogoPosX, 42);
  // Cancel puts the snapshot back: the new channel is still there.
  Profiles = ProfileSnapshot;
  EXPECT_EQ(Profiles[0].LogoPosY, 99);
  EXPECT_EQ(Profiles[1].ChannelKey, 2);
}

// The module driven as a host drives it, with its settings file in a scratch folder.
std::vector<int64_t> asked;
int32_t ZUNK_CDECL KeepNone(int64_t key) {
  asked.push_back(key);
  return 0;
}

TEST(ProfileLifecycleTest, InitLoadsFramesSelectAndExitSaves) {
  testing_util::ResetProfileState();
  testing_util::ScratchFolder folder;
  testing_util::FakeEnvScope env;
  const char sep = Os().pathSeparator;
  testing_util::Env().executable = folder.File("host.exe");
  testing_util::Env().module = folder.Folder() + "lib" + sep + "Zunk_LogoDetector.dll";
  const std::string plugins = folder.Folder() + "Plugins" + sep;
  testing_util::fs::create_directories(testing_util::fs::path(plugins));
  const std::string file = plugins + "Zunk_LogoDetector.ini";
  testing_util::WriteBytes(file,
                           "[DEFAULT]\r\nLogoPosX=64\r\n[COMMON]\r\nDlgWndPosX=10\r\n"
                           "DlgWndPosY=20\r\n[3]\r\nLogoPosY=30\r\n");

  InitInfo info = {0, &KeepNone};
  Init(&info);
  ASSERT_EQ(Profiles.size(), 1u);
  EXPECT_EQ(DialogLeft, 10);

  StreamFormat format = {};
  format.width = 768;
  format.height = 576;
  Start(&format);
  std::vector<uint8_t> pixels(768 * 576 * 2, 16);
  ChannelInfo channel = {};
  channel.keyLow = 3;
  FrameInfo frame = {};
  frame.pixels = pixels.data();
  frame.channel = &channel;
  ProcessFrame(&frame);
  EXPECT_EQ(CurrentIndex, 0);
  channel.keyLow = 1;
  std::strcpy(channel.name, "One");
  ProcessFrame(&frame);
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(CurrentIndex, 1);
  EXPECT_EQ(Profiles[1].LogoPosX, 64);
  Stop();
  Exit();

  EXPECT_EQ(asked, (std::vector<int64_t>{3, 1}));
  std::string lines = testing_util::kDefaultSectionLines;
  lines.replace(lines.find("LogoPosX=20"), 11, "LogoPosX=64");
  EXPECT_EQ(testing_util::ReadBytes(file),
            "[COMMON]\r\nDlgWndPosX=10\r\nDlgWndPosY=20\r\n[1]\r\n" + lines);
  testing_util::ResetProfileState();
}

}  // namespace
}  // namespace zunk
