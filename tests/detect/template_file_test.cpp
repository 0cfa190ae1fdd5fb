// The template file named in a channel's settings, opened with the platform's real bitmap
// service: a name without a folder that does not open as given is the one beside the
// settings file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"

namespace zunk {
namespace {

const std::string kLogo = std::string(ZUNK_SOURCE_DIR) + "/data/sample/sample-logo.bmp";

void Copy(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  out << in.rdbuf();
  ASSERT_TRUE(out.good()) << to;
}

class TemplateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zunk-template-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    settingsFolder = root + "/Plugins/";
    workFolder = root + "/work";
    ASSERT_EQ(system(("mkdir -p '" + settingsFolder + "' '" + workFolder + "'").c_str()), 0);
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(workFolder.c_str()), 0);
    SettingsStore.SettingsFolder = settingsFolder;
    Profiles.assign(1, ChannelProfile());
    CurrentIndex = 0;
  }
  void TearDown() override {
    FreeStreamTemplate();
    TemplateLoaded = 0;
    Profiles.clear();
    SettingsStore.SettingsFolder.clear();
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(system(("rm -rf '" + root + "'").c_str()), 0);
  }
  bool Loads(const std::string& name) {
    Profiles[0].LogoFileName = name;
    LoadTemplate();
    return TemplateLoaded == 1;
  }

  std::string root, settingsFolder, workFolder;
  char cwd[4096] = {};
};

TEST_F(TemplateFileTest, ABareNameIsFoundBesideTheSettingsFile) {
  Copy(kLogo, settingsFolder + "logo-1001.bmp");
  EXPECT_TRUE(Loads("logo-1001.bmp"));
  EXPECT_EQ(TemplatePicture.width, 72);
  EXPECT_EQ(TemplatePicture.height, 44);
  // Only bare names are looked up there: a name with a folder is taken as it is.
  EXPECT_FALSE(Loads("./logo-1001.bmp"));
  EXPECT_FALSE(Loads("sub/logo-1001.bmp"));
  EXPECT_FALSE(Loads("missing.bmp"));
}

TEST_F(TemplateFileTest, ANameThatOpensAsGivenStillWins) {
  // The same name in the working folder and beside the settings file: the one that opened
  // before this lookup existed is still the one used. The settings folder's copy is not a
  // bitmap, so loading it would fail.
  Copy(kLogo, workFolder + "/logo.bmp");
  std::ofstream(settingsFolder + "logo.bmp") << "not a bitmap";
  EXPECT_TRUE(Loads("logo.bmp"));
  // Without a known settings folder nothing else is tried.
  SettingsStore.SettingsFolder.clear();
  EXPECT_FALSE(Loads("logo-elsewhere.bmp"));
}

}  // namespace
}  // namespace zunk
