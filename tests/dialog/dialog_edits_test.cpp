// The dialog's edits without a window: each takes the module lock itself, writes only into
// the profile a handler may edit, and says what the control should show afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/aligned_buffer.h"
#include "base/reference_frame.h"
#include "dialog/dialog_binding.h"
#include "dialog/dialog_edits.h"
#include "dialog/dialog_profile.h"
#include "dialog/resource_ids.h"
#include "pipeline/frame_pipeline.h"
#include "pipeline/stream_template.h"
#include "platform/platform.h"
#include "settings/channel_profile.h"

namespace zunk {
namespace {

int lockDepth = 0;
int locksTaken = 0;
int loadsOutsideLock = 0;

void CountLock() {
  ++lockDepth;
  ++locksTaken;
}
void CountUnlock() {
  --lockDepth;
}

// "logo.bmp" is a 40 x 30 picture whose top-left pixel is B 0x11, G 0x22, R 0x33.
uint32_t* LoadLogo(const char* path, int32_t, int32_t, int32_t* w, int32_t* h) {
  if (lockDepth != 1)
    ++loadsOutsideLock;
  if (std::string(path) != "logo.bmp")
    return nullptr;
  auto* p = static_cast<uint32_t*>(AllocAligned(40 * 30 * 4));
  for (int i = 0; i < 40 * 30; ++i)
    p[i] = 0x00808080;
  p[0] = 0x00332211;
  *w = 40;
  *h = 30;
  return p;
}

class DialogEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = NativePlatform();
    fake.Lock = CountLock;
    fake.Unlock = CountUnlock;
    fake.LoadBitmapFile = LoadLogo;
    SetPlatformForTest(&fake);
    Reset();
  }
  void TearDown() override {
    Reset();
    SetPlatformForTest(nullptr);
  }
  void Reset() {
    Profiles.clear();
    ProfileSnapshot.clear();
    CurrentIndex = 0;
    DefaultProfile = ChannelProfile();
    LastChannelKey = 0;
    SimulateLogoLoss = 0;
    TemplateLoaded = 0;
    lockDepth = 0;
    locksTaken = 0;
    loadsOutsideLock = 0;
    shown = ProfileView();
  }
  void Select(int64_t key) {
    LastChannelKey = key;
    SelectProfile();
  }
  // What a refresh would show now.
  void Show() { shown = ReadProfileView(); }
  EditOrigin Edit() const { return {&shown, false}; }
  EditOrigin FromRefresh() const { return {&shown, true}; }

  Platform fake;
  ProfileView shown;
};

TEST_F(DialogEditsTest, EveryEditTakesTheLockItselfAndLeavesItFree) {
  Select(1);
  Show();
  const NumericBinding& tolerance = *FindNumericByEdit(IDC_TOLERANCE);
  const struct {
    const char* name;
    std::function<void()> edit;
  } edits[] = {
      {"SetNumber", [&] { SetNumber(Edit(), tolerance, "5"); }},
      {"HeldNumber", [&] { HeldNumber(Edit(), tolerance.field); }},
      {"SetMessageText", [&] { SetMessageText(Edit(), "text"); }},
      {"SetCheck", [&] { SetCheck(Edit(), *FindCheck(IDC_SHOW_LOGO), 1); }},
      {"SetCheck test box", [&] { SetCheck(Edit(), *FindCheck(IDC_TEST), 1); }},
      {"SetListChoice", [&] { SetListChoice(Edit(), kListBindings[0], 1); }},
      {"SetColour", [&] { SetColour(Edit(), &ChannelProfile::MsgTextColor, 0x123456); }},
      {"HeldColour", [&] { HeldColour(Edit(), &ChannelProfile::MsgTextColor); }},
      {"SetLeftTopPixel", [&] { SetLeftTopPixel(Edit(), 1); }},
      {"HeldLeftTopPixel", [&] { HeldLeftTopPixel(Edit()); }},
      {"ChooseTemplate", [&] { ChooseTemplate(Edit(), "logo.bmp"); }},
      {"MoveLogo", [&] { MoveLogo(Edit(), 1, 0); }},
      {"PlaceLogo", [&] { PlaceLogo(Edit(), LogoPlace::kCentre); }},
      {"CancelEdits", [&] { CancelEdits(); }},
  };
  for (const auto& e : edits) {
    locksTaken = 0;
    e.edit();
    EXPECT_GE(locksTaken, 1) << e.name;
    EXPECT_EQ(lockDepth, 0) << e.name;
  }
  EXPECT_EQ(loadsOutsideLock, 0) << "the template was loaded without the lock";
}

TEST_F(DialogEditsTest, NumbersAreStoredWithinTheirBoundsOnly) {
  Select(1);
  Show();
  const NumericBinding& tolerance = *FindNumericByEdit(IDC_TOLERANCE);
  EXPECT_TRUE(SetNumber(Edit(), tolerance, " 12 "));
  EXPECT_EQ(Profiles[0].LogoPosTolerance, 12);
  EXPECT_FALSE(SetNumber(Edit(), tolerance, "16"));
  EXPECT_FALSE(SetNumber(Edit(), tolerance, "-1"));
  EXPECT_FALSE(SetNumber(Edit(), tolerance, ""));
  EXPECT_EQ(Profiles[0].LogoPosTolerance, 12);
  EXPECT_EQ(HeldNumber(Edit(), tolerance.field), 12);
}

TEST_F(DialogEditsTest, ARefreshOvertakenByAChannelChangeWritesNothing) {
  Select(1);
  Profiles[0].LogoPosTolerance = 3;
  Profiles[0].MsgString = "one";
  Profiles[0].MsgTextColor = 0x111111;
  Show();     // the refresh shows channel 1...
  Select(2);  // ...while a frame brings channel 2
  const NumericBinding& tolerance = *FindNumericByEdit(IDC_TOLERANCE);
  EXPECT_TRUE(SetNumber(FromRefresh(), tolerance, "9"));
  EXPECT_FALSE(SetMessageText(FromRefresh(), "one"));
  EXPECT_EQ(SetCheck(FromRefresh(), *FindCheck(IDC_SHOW_LOGO), 1), 0);
  EXPECT_FALSE(SetListChoice(FromRefresh(), kListBindings[0], 2));
  SetColour(FromRefresh(), &ChannelProfile::MsgTextColor, 0x222222);
  SetLeftTopPixel(FromRefresh(), 1);
  MoveLogo(FromRefresh(), 5, 5);
  EXPECT_FALSE(ChooseTemplate(FromRefresh(), "logo.bmp"));
  EXPECT_EQ(Profiles[1].LogoPosTolerance, 0);
  EXPECT_EQ(Profiles[1].MsgString, "");
  EXPECT_EQ(Profiles[1].ShowLogo, 0);
  EXPECT_EQ(Profiles[1].MsgTextColor, 0u);
  EXPECT_EQ(Profiles[1].LeftTopPixelColor, 0);
  EXPECT_EQ(Profiles[1].LogoPosX, 0);
  EXPECT_EQ(Profiles[1].LogoFileName, "");
  // The controls keep what was shown.
  EXPECT_EQ(HeldNumber(FromRefresh(), tolerance.field), 3);
  EXPECT_EQ(HeldColour(FromRefresh(), &ChannelProfile::MsgTextColor), 0x111111u);
  // A user's edit goes to the channel now current.
  EXPECT_TRUE(SetMessageText(Edit(), "two"));
  EXPECT_EQ(Profiles[1].MsgString, "two");
  EXPECT_EQ(Profiles[0].MsgString, "one");
}

TEST_F(DialogEditsTest, AnEmptyTableTakesNoEditButTheTestBox) {
  Show();
  EXPECT_FALSE(SetMessageText(Edit(), "x"));
  EXPECT_FALSE(ChooseTemplate(Edit(), "logo.bmp"));
  EXPECT_EQ(SetCheck(Edit(), *FindCheck(IDC_TEST), 1), 1);
  EXPECT_EQ(SimulateLogoLoss, 1);
  EXPECT_TRUE(Profiles.empty());
}

TEST_F(DialogEditsTest, TheLeftTopPixelTakesTheTemplatesKeyAndGivesBackTheSnapshots) {
  Select(1);
  Profiles[0].ColorKey = 0x00ABCDEF;
  TakeSnapshot();
  Show();
  ASSERT_TRUE(ChooseTemplate(Edit(), "logo.bmp"));
  ASSERT_EQ(TemplateLoaded, 1);
  SetLeftTopPixel(Edit(), 1);
  EXPECT_EQ(Profiles[0].LeftTopPixelColor, 1);
  EXPECT_EQ(Profiles[0].ColorKey, 0x00112233u) << "B, G, R in the file; 0x00BBGGRR kept";
  EXPECT_EQ(HeldLeftTopPixel(Edit()), 1);
  SetLeftTopPixel(Edit(), 0);
  EXPECT_EQ(Profiles[0].LeftTopPixelColor, 0);
  EXPECT_EQ(Profiles[0].ColorKey, 0x00ABCDEFu);
}

TEST_F(DialogEditsTest, ATemplateThatDoesNotLoadIsStillStored) {
  Select(1);
  Show();
  EXPECT_TRUE(ChooseTemplate(Edit(), "missing.bmp"));
  EXPECT_EQ(Profiles[0].LogoFileName, "missing.bmp");
  EXPECT_EQ(TemplateLoaded, 0);
}

TEST_F(DialogEditsTest, TheLogoIsPlacedByTheTemplatesSizeAndMovedUnclamped) {
  Select(1);
  Show();
  Profiles[0].LogoPosX = 10;
  Profiles[0].LogoPosY = 20;
  PlaceLogo(Edit(), LogoPlace::kBottomRight);  // no template yet: no size to place
  EXPECT_EQ(Profiles[0].LogoPosX, 10);
  EXPECT_EQ(Profiles[0].LogoPosY, 20);

  ASSERT_TRUE(ChooseTemplate(Edit(), "logo.bmp"));
  const int32_t right = kReferenceWidth - 40;
  const int32_t bottom = kReferenceHeight - 30;
  const struct {
    LogoPlace place;
    int32_t x, y;
  } places[] = {
      {LogoPlace::kTopLeft, 0, 0},
      {LogoPlace::kTopRight, right, 0},
      {LogoPlace::kBottomLeft, 0, bottom},
      {LogoPlace::kBottomRight, right, bottom},
      {LogoPlace::kCentre, right / 2, bottom / 2},
  };
  for (const auto& p : places) {
    PlaceLogo(Edit(), p.place);
    EXPECT_EQ(Profiles[0].LogoPosX, p.x) << static_cast<int>(p.place);
    EXPECT_EQ(Profiles[0].LogoPosY, p.y) << static_cast<int>(p.place);
  }
  PlaceLogo(Edit(), LogoPlace::kTopLeft);
  MoveLogo(Edit(), -3, 0);
  MoveLogo(Edit(), 0, -2);
  MoveLogo(Edit(), 1, 0);
  EXPECT_EQ(Profiles[0].LogoPosX, -2);
  EXPECT_EQ(Profiles[0].LogoPosY, -2);
}

TEST_F(DialogEditsTest, CancelPutsBackWhatTheEditsChanged) {
  Select(1);
  Profiles[0].MsgString = "before";
  TakeSnapshot();
  Show();
  SetMessageText(Edit(), "after");
  SetNumber(Edit(), *FindNumericByEdit(IDC_TOLERANCE), "7");
  CancelEdits();
  EXPECT_EQ(Profiles[0].MsgString, "before");
  EXPECT_EQ(Profiles[0].LogoPosTolerance, 0);
}

}  // namespace
}  // namespace zunk
