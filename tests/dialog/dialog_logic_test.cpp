// The settings dialog's logic without a window: how an edit's text is read and checked,
// where the window opens, which profile a handler may write, and the snapshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/dialog_binding.h"
#include "dialog/dialog_placement.h"
#include "dialog/dialog_profile.h"
#include "dialog/resource_ids.h"
#include "settings/channel_profile.h"
#include "settings/dialog_settings.h"

namespace zunk {
namespace {

TEST(DialogNumbers, ReadsUnsignedDecimalTextsLikeTheDialogItemReader) {
  struct Case {
    const char* text;
    bool ok;
    uint32_t value;
  } const cases[] = {
      {"0", true, 0},
      {"15", true, 15},
      {" 7 ", true, 7},
      {"007", true, 7},
      {"4294967295", true, UINT32_MAX},
      {"000000000000000000001", true, 1},
      {"", false, 0},
      {"  ", false, 0},
      {"4294967296", false, 0},
      {"99999999999", false, 0},
      {"-1", false, 0},
      {"+5", false, 0},
      {"1a", false, 0},
      {"a1", false, 0},
      {"1 2", false, 0},
  };
  for (const Case& c : cases) {
    uint32_t v = 12345;
    EXPECT_EQ(ReadUnsignedDecimal(c.text, &v), c.ok) << "'" << c.text << "'";
    EXPECT_EQ(v, c.ok ? c.value : 12345u) << "'" << c.text << "'";
  }
  uint32_t v = 0;
  EXPECT_FALSE(ReadUnsignedDecimal(nullptr, &v));
}

TEST(DialogNumbers, EachEditAcceptsExactlyItsRange) {
  for (const NumericBinding& b : kNumericBindings) {
    SCOPED_TRACE(b.edit);
    EXPECT_TRUE(AcceptsNumber(b, true, static_cast<uint32_t>(b.minimum)));
    EXPECT_TRUE(AcceptsNumber(b, true, static_cast<uint32_t>(b.maximum)));
    EXPECT_FALSE(AcceptsNumber(b, true, static_cast<uint32_t>(b.maximum + 1)));
    if (b.minimum > 0) {
      EXPECT_FALSE(AcceptsNumber(b, true, static_cast<uint32_t>(b.minimum - 1)));
    }
    // Beyond 31 bits the number reads as negative: refused.
    EXPECT_FALSE(AcceptsNumber(b, true, UINT32_MAX));
    EXPECT_FALSE(AcceptsNumber(b, false, static_cast<uint32_t>(b.minimum)));
    // The limit leaves room for every value of the range and no more digits.
    EXPECT_EQ(b.lengthLimit, b.maximum >= 100 ? 3 : 2);
  }
  // The two speeds start at 1, the rest at 0.
  EXPECT_FALSE(AcceptsNumber(*FindNumericByEdit(IDC_OFF_SPEED), true, 0));
  EXPECT_FALSE(AcceptsNumber(*FindNumericByEdit(IDC_ON_SPEED), true, 0));
  EXPECT_TRUE(AcceptsNumber(*FindNumericByEdit(IDC_MATCH_LEVEL), true, 0));
  EXPECT_FALSE(AcceptsNumber(*FindNumericByEdit(IDC_TOLERANCE), true, 16));
}

TEST(DialogNumbers, SpinPositionIsTheLow16BitsAsASignedValue) {
  EXPECT_EQ(SpinPosition(20), 20);
  EXPECT_EQ(SpinPosition(-5), -5);
  EXPECT_EQ(SpinPosition(65536 + 5), 5);
  EXPECT_EQ(SpinPosition(0x18000), -32768);
  EXPECT_EQ(SpinPosition(INT32_MIN), 0);
}

TEST(DialogNumbers, EveryEditAndSpinHasOneRow) {
  for (const NumericBinding& b : kNumericBindings) {
    EXPECT_EQ(FindNumericByEdit(b.edit), &b);
    EXPECT_EQ(FindNumericBySpin(b.spin), &b);
    EXPECT_EQ(FindNumericByEdit(b.spin), nullptr);
  }
  for (int32_t spin : kRefreshSpins)
    EXPECT_NE(FindNumericBySpin(spin), nullptr) << spin;
  EXPECT_EQ(FindCheck(IDC_TEST)->field, nullptr) << "the test mode lives outside the profile";
  EXPECT_EQ(FindList(IDC_TOLERANCE), nullptr);
}

// Records of the template's initialisation data.
std::vector<uint8_t> Record(uint16_t control, uint16_t kind, const std::string& bytes) {
  const uint32_t n = static_cast<uint32_t>(bytes.size());
  const uint8_t header[8] = {static_cast<uint8_t>(control), static_cast<uint8_t>(control >> 8),
                             static_cast<uint8_t>(kind),    static_cast<uint8_t>(kind >> 8),
                             static_cast<uint8_t>(n),       static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
  std::vector<uint8_t> r(header, header + 8);
  for (char c : bytes)
    r.push_back(static_cast<uint8_t>(c));
  return r;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<std::string> Texts(const std::vector<uint8_t>& data, size_t size = SIZE_MAX) {
  std::vector<std::string> out;
  for (const ListItem& item : ReadListItems(data.data(), std::min(size, data.size())))
    out.push_back(std::to_string(item.control) + ":" + item.text);
  return out;
}

TEST(DialogListItems, ReadsTheAddStringRecordsInOrder) {
  const std::vector<uint8_t> end = {0, 0};
  const auto data = Join({Record(5128, 0x0403, std::string("a\0", 2)),
                          Record(5128, 0x0401, std::string("skip\0", 5)),
                          Record(5129, 0x0403, std::string("\xCD\xE5\xF2\0", 4)), end});
  EXPECT_EQ(Texts(data), (std::vector<std::string>{"5128:a", "5129:\xCD\xE5\xF2"}));
  // Whatever follows the end is not read.
  auto more = data;
  const auto extra = Record(5128, 0x0403, std::string("z\0", 2));
  more.insert(more.end(), extra.begin(), extra.end());
  EXPECT_EQ(Texts(more).size(), 2u);
}

TEST(DialogListItems, BrokenDataGivesWhatIsWholeAndNothingBeyond) {
  const auto one = Record(5128, 0x0403, std::string("ok\0", 3));
  const auto data = Join({one, Record(5128, 0x0403, std::string("cut\0", 4))});
  // Cut inside the second record's bytes, inside its header, and before anything.
  EXPECT_EQ(Texts(data, data.size() - 1), (std::vector<std::string>{"5128:ok"}));
  EXPECT_EQ(Texts(data, one.size() + 5), (std::vector<std::string>{"5128:ok"}));
  EXPECT_TRUE(Texts(data, 3).empty());
  EXPECT_TRUE(ReadListItems(nullptr, 10).empty());
  // A count far past the end, texts without their NUL or with one inside, an empty one.
  EXPECT_TRUE(Texts(Record(5128, 0x0403, std::string("x\0", 2)), 9).empty());
  auto huge = Record(5128, 0x0403, std::string("x\0", 2));
  huge[7] = 0x80;
  EXPECT_TRUE(Texts(huge).empty());
  EXPECT_TRUE(Texts(Record(5128, 0x0403, "abc")).empty());
  EXPECT_TRUE(Texts(Record(5128, 0x0403, std::string("a\0b\0", 4))).empty());
  EXPECT_TRUE(Texts(Record(5128, 0x0403, "")).empty());
}

// Screen 1280 x 1024; a dialog 460 x 420 wherever the system first put it.
const ScreenRect kDialog = {10, 20, 470, 440};
const ScreenRect kHost = {100, 100, 700, 500};

TEST(DialogPlacement, CentresOnTheHostWhenNothingUsableIsStored) {
  const struct {
    int32_t x, y;
  } centring[] = {{-100, -100}, {1280, 5}, {5, 1024}, {INT32_MAX, INT32_MAX}, {2000, -100}};
  for (const auto& c : centring) {
    int32_t x = c.x, y = c.y;
    PlaceDialog(&x, &y, kDialog, kHost, 1280, 1024);
    EXPECT_EQ(x, 400 - 230) << c.x << "," << c.y;
    EXPECT_EQ(y, 300 - 210) << c.x << "," << c.y;
  }
}

TEST(DialogPlacement, UsesOtherStoredPositionsAsTheyAre) {
  const struct {
    int32_t x, y;
  } kept[] = {{-30, 50}, {-100, 40}, {40, -100}, {1279, 1023}, {INT32_MIN, -5}, {0, 0}};
  for (const auto& c : kept) {
    int32_t x = c.x, y = c.y;
    PlaceDialog(&x, &y, kDialog, kHost, 1280, 1024);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST(DialogPlacement, KeepsTheCentredWindowOnTheScreen) {
  int32_t x = -100, y = -100;
  PlaceDialog(&x, &y, kDialog, {1000, 800, 1600, 1200}, 1280, 1024);
  EXPECT_EQ(x, 1280 - 460);
  EXPECT_EQ(y, 1024 - 420);
  x = y = -100;
  PlaceDialog(&x, &y, kDialog, {-900, -700, -300, -300}, 1280, 1024);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  // Touching the right edge exactly counts as past it: the window moves flush left of it.
  x = y = -100;
  PlaceDialog(&x, &y, {0, 0, 460, 420}, {820, 0, 1280, 420}, 1280, 1024);
  EXPECT_EQ(x, 820);
  // A window larger than the screen starts at the origin.
  x = y = -100;
  PlaceDialog(&x, &y, {0, 0, 2000, 2000}, kHost, 1280, 1024);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(DialogPlacement, HalvesTowardZero) {
  // A window first put at -301..0: its middle is -301 / 2 = -150 (not -151), so it lands
  // at -301 + 500 + 150 = 349 on a host whose middle is 500.
  int32_t x = -100, y = -100;
  PlaceDialog(&x, &y, {-301, -7, 0, 0}, {0, 0, 1000, 101}, 1280, 1024);
  EXPECT_EQ(x, 349);
  EXPECT_EQ(y, -7 + 50 + 3);
}

class DialogProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    Profiles.clear();
    ProfileSnapshot.clear();
    CurrentIndex = 0;
    DefaultProfile = ChannelProfile();
    DialogOpen = 0;
    LastChannelKey = 0;
  }
  static void Select(int64_t key) {
    LastChannelKey = key;
    SelectProfile();
  }
};

TEST_F(DialogProfileTest, AnEmptyTableShowsTheDefaultsAndTakesNoEdit) {
  DefaultProfile.LogoPosTolerance = 7;
  DefaultProfile.MsgString = "d";
  ProfileView v = ReadProfileView();
  EXPECT_EQ(v.index, -1);
  EXPECT_EQ(v.profile.LogoPosTolerance, 7);
  EXPECT_EQ(v.profile.MsgString, "d");
  EXPECT_EQ(EditTarget(false, -1), nullptr);
  EXPECT_EQ(EditTarget(true, -1), nullptr);
  CurrentIndex = 3;  // never past the table, whatever the index says
  EXPECT_EQ(EditTarget(false, 3), nullptr);
  EXPECT_EQ(ReadProfileView().index, -1);
}

TEST_F(DialogProfileTest, HandlersWriteTheProfileCurrentWhenTheyRun) {
  Select(1);
  Select(2);
  EXPECT_EQ(EditTarget(false, 0), &Profiles[1]) << "an edit goes to the channel now current";
  EXPECT_EQ(EditTarget(true, 1), &Profiles[1]);
  // A refresh that showed channel 1 must not write its values into channel 2.
  EXPECT_EQ(EditTarget(true, 0), nullptr);
  Select(1);
  EXPECT_EQ(EditTarget(true, 0), &Profiles[0]);
}

TEST_F(DialogProfileTest, CancelRestoresDeepCopiesAndNeverShrinksTheTable) {
  Select(1);
  Profiles[0].MsgString = "before";
  TakeSnapshot();
  DialogOpen = 1;
  Profiles[0].MsgString = "after";
  Profiles[0].LogoPosX = 99;
  Select(2);  // a new channel while open: both tables grow
  ASSERT_EQ(ProfileSnapshot.size(), 2u);
  Profiles[1].ShowLogo = 5;
  RestoreSnapshot();
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[0].MsgString, "before");
  EXPECT_EQ(Profiles[0].LogoPosX, 0);
  EXPECT_EQ(Profiles[1].ChannelKey, 2);
  EXPECT_EQ(Profiles[1].ShowLogo, 0);
  EXPECT_EQ(CurrentIndex, 1);
  Profiles[0].MsgString = "x";
  EXPECT_EQ(ProfileSnapshot[0].MsgString, "before") << "copies, not shared strings";

  // Were the snapshot ever shorter, the records past it stay as they are.
  ProfileSnapshot.resize(1);
  Profiles[1].ShowLogo = 3;
  RestoreSnapshot();
  ASSERT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[1].ShowLogo, 3);
}

TEST_F(DialogProfileTest, AChannelMetWhileTheWindowIsBuiltJoinsTheSnapshot) {
  Select(1);
  TakeSnapshot();  // the window takes its snapshot...
  Select(2);       // ...a frame brings a new channel before the window is open...
  EXPECT_EQ(ProfileSnapshot.size(), 1u);
  CatchUpSnapshot();  // ...and opening brings the snapshot up to the table
  DialogOpen = 1;
  ASSERT_EQ(ProfileSnapshot.size(), 2u);
  EXPECT_EQ(ProfileSnapshot[1].ChannelKey, 2);
  Profiles[1].LogoPosY = 40;
  RestoreSnapshot();
  EXPECT_EQ(Profiles.size(), 2u);
  EXPECT_EQ(Profiles[1].LogoPosY, 0);
  EXPECT_EQ(CurrentIndex, 1);
}

TEST_F(DialogProfileTest, SelectionKeepsTheCurrentIndexOnARecord) {
  for (int64_t key = 1; key <= 40; ++key) {
    Select(key);
    ASSERT_EQ(CurrentIndex, key - 1);
    ASSERT_NE(CurrentProfile(), nullptr);
  }
  Select(17);
  EXPECT_EQ(CurrentIndex, 16);
  EXPECT_EQ(Profiles.size(), 40u);
}

}  // namespace
}  // namespace zunk
