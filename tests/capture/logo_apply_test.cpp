// A found logo applied to its channel: the template file's bytes, the profile's keys and the
// loaded template; a settings folder that cannot be written and a channel that has gone
// leave the profile as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "base/aligned_buffer.h"
#include "capture/logo_file.h"
#include "dialog/capture_edit.h"
#include "image/bmp_reader.h"
#include "image/bmp_writer.h"
#include "image/file_bytes.h"
#include "pipeline/stream_template.h"
#include "settings/channel_profile.h"
#include "settings/ini_store.h"
#include "settings/settings_test_util.h"

namespace zunk {
namespace {

using testing_util::ScratchFolder;

CapturedLogo Logo() {
  CapturedLogo logo;
  logo.width = 5;  // odd: the rows are padded
  logo.height = 3;
  for (int i = 0; i < 15; ++i)
    logo.pixels.push_back(0x00102030u * static_cast<uint32_t>(i + 1) & 0x00FFFFFFu);
  logo.colorKey = 0x00FF00FF;
  logo.x = 640;
  logo.y = 40;
  logo.matchLevel = 71;
  logo.detectLevel = 55;
  logo.posTolerance = -1;
  return logo;
}

TEST(BmpWriter, WhatItWritesTheReaderReadsBackPixelForPixel) {
  const CapturedLogo logo = Logo();
  const std::vector<uint8_t> bytes = EncodeBmp24(logo.pixels.data(), 5, 3);
  ASSERT_EQ(bytes.size(), 54u + 16u * 3u);
  int32_t w = 0, h = 0;
  uint32_t* back = ReadBmp(bytes.data(), bytes.size(), 768, 576, &w, &h);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(std::vector<uint32_t>(back, back + 15), logo.pixels);
  FreeAligned(back);
  EXPECT_TRUE(EncodeBmp24(logo.pixels.data(), 0, 3).empty());
}

class ApplyLogo : public ::testing::Test {
 protected:
  void SetUp() override {
    savedFolder_ = SettingsStore.SettingsFolder;
    SettingsStore.SettingsFolder = scratch_.Folder();
    Profiles.assign(2, ChannelProfile());
    Profiles[0].ChannelKey = 4;
    Profiles[1].ChannelKey = 7;
    Profiles[1].LogoFileName = "old.bmp";
    Profiles[1].LeftTopPixelColor = 1;
    Profiles[1].LogoMatchLevel = 80;
    Profiles[1].LogoPosTolerance = 3;
    CurrentIndex = 1;
  }
  void TearDown() override {
    SettingsStore.SettingsFolder = savedFolder_;
    Profiles.clear();
    CurrentIndex = 0;
    LockScope lock;
    LoadTemplate();
  }

  ScratchFolder scratch_;
  std::string savedFolder_;
};

TEST_F(ApplyLogo, SavesTheTemplateSetsTheSectionAndLoadsIt) {
  const CapturedLogo logo = Logo();
  ASSERT_EQ(ApplyCapturedLogo(logo, 7), LogoApplyResult::kApplied);
  const std::string path = scratch_.File("logo-7.bmp");
  const ChannelProfile& p = Profiles[1];
  EXPECT_EQ(p.LogoFileName, path);
  EXPECT_EQ(p.LogoPosX, 640);
  EXPECT_EQ(p.LogoPosY, 40);
  EXPECT_EQ(p.ColorKey, 0x00FF00FFu);
  EXPECT_EQ(p.LeftTopPixelColor, 0);
  EXPECT_EQ(p.LogoMatchLevel, 71);
  EXPECT_EQ(p.LogoDetectLevel, 55);
  EXPECT_EQ(p.LogoPosTolerance, 3) << "a level the finder did not calibrate stays";
  EXPECT_EQ(Profiles[0].LogoPosX, 0) << "other channels are untouched";
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path.c_str(), 1 << 20, &bytes));
  EXPECT_EQ(bytes, EncodeBmp24(logo.pixels.data(), 5, 3));
  EXPECT_FALSE(ReadFileBytes((path + ".new").c_str(), 1 << 20, &bytes)) << "no temporary left";
  LockScope lock;
  EXPECT_EQ(TemplateLoaded, 1);
  EXPECT_EQ(TemplatePicture.width, 5);
  EXPECT_EQ(TemplatePicture.pixels[14], logo.pixels[14]);
}

TEST_F(ApplyLogo, AFolderThatCannotBeWrittenChangesNothing) {
  SettingsStore.SettingsFolder = scratch_.Folder() + "gone" + Os().pathSeparator;
  const ChannelProfile before = Profiles[1];
  EXPECT_EQ(ApplyCapturedLogo(Logo(), 7), LogoApplyResult::kNotSaved);
  EXPECT_EQ(Profiles[1].LogoFileName, before.LogoFileName);
  EXPECT_EQ(Profiles[1].LogoPosX, before.LogoPosX);
  EXPECT_EQ(Profiles[1].LeftTopPixelColor, 1);
  SettingsStore.SettingsFolder.clear();
  EXPECT_EQ(ApplyCapturedLogo(Logo(), 7), LogoApplyResult::kNotSaved);
}

TEST_F(ApplyLogo, AChannelThatIsNoLongerCurrentKeepsItsProfile) {
  EXPECT_EQ(ApplyCapturedLogo(Logo(), 4), LogoApplyResult::kChannelGone);
  EXPECT_EQ(Profiles[0].LogoPosX, 0);
  EXPECT_EQ(Profiles[1].LogoFileName, "old.bmp");
}

}  // namespace
}  // namespace zunk
