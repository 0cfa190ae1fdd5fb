// Every control of the settings dialog writing into the current profile while frames
// flow: the numeric edits with their spins and validation messages, the message text,
// the check boxes and lists; Cancel and OK; edits around a change of channel; and the
// dialog opened before any channel has a profile. The profile is read back from the
// settings file that Exit writes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"

namespace {

using zunktest::ChannelSection;
using zunktest::Cp1251;
using zunktest::DialogHost;
using zunktest::IniValue;
using zunktest::WriteTemplate;

struct NumericRow {
  int edit, spin;
  const char* key;
  int low, high;
  const char* message;  // UTF-8
};

const NumericRow kNumeric[] = {
    {IDC_TOLERANCE, IDC_TOLERANCE_SPIN, "LogoPosTolerance", 0, 15,
     "Значение допуска на смещение логотипа должно быть цифрой от 0 до 15"},
    {IDC_LOGO_TRANSPARENCY, IDC_LOGO_TRANSPARENCY_SPIN, "LogoTransparency", 0, 100,
     "Значение прозрачности должно быть цифрой от 0 до 100"},
    {IDC_OFF_SPEED, IDC_OFF_SPEED_SPIN, "LogoOffResponseSpeed", 1, 100,
     "Значение скорости реакции на пропадание логотипа должно быть цифрой от 1 до 100"},
    {IDC_ON_SPEED, IDC_ON_SPEED_SPIN, "LogoOnResponseSpeed", 1, 100,
     "Значение скорости реакции на появление логотипа должно быть цифрой от 1 до 100"},
    {IDC_DETECT_LEVEL, IDC_DETECT_LEVEL_SPIN, "LogoDetectLevel", 0, 100,
     "Значение уровня детектирования логотипа должно быть цифрой от 0 до 100"},
    {IDC_MATCH_LEVEL, IDC_MATCH_LEVEL_SPIN, "LogoMatchLevel", 0, 100,
     "Значение уровня соответствия логотипов должно быть цифрой от 0 до 100"},
    {IDC_MSG_TRANSPARENCY, IDC_MSG_TRANSPARENCY_SPIN, "MsgTransparency", 0, 100,
     "Значение прозрачности должно быть цифрой от 0 до 100"},
};

void SetText(HWND w, const std::string& text) {
  SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Opens the dialog on channel 1 once its first frame has selected the profile.
void OpenOnFirstChannel(DialogHost& host) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
}

// A click on a spin's upper (up = true) or lower half.
void ClickSpin(HWND spin, bool up) {
  RECT r;
  GetClientRect(spin, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, up ? 1 : r.bottom - 2);
  SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(spin, WM_LBUTTONUP, 0, at);
}

TEST(DialogBinding, NumericEditsStoreTheirValuesAtOnce) {
  DialogHost host(ChannelSection(1));
  OpenOnFirstChannel(host);
  const char* values[] = {"15", "0", "1", "100", "0", "100", "55"};
  for (size_t i = 0; i < 7; ++i) {
    host.Enable(kNumeric[i].edit);
    SetText(host.Item(kNumeric[i].edit), values[i]);
    EXPECT_EQ(host.Text(kNumeric[i].edit), values[i]);
  }
  EXPECT_TRUE(host.boxes->Take().empty());
  const std::string ini = host.ExitAndReadSettings();
  for (size_t i = 0; i < 7; ++i)
    EXPECT_EQ(IniValue(ini, "1", kNumeric[i].key), values[i]) << kNumeric[i].key;
}

TEST(DialogBinding, SpinsStepWithinTheirRangesAndStoreEachStep) {
  DialogHost host(ChannelSection(
      1, {{"LogoPosTolerance", "14"}, {"LogoOffResponseSpeed", "2"}, {"LogoMatchLevel", "50"}}));
  OpenOnFirstChannel(host);
  // The up-down controls step only while they and their edits are enabled.
  for (int id : {IDC_TOLERANCE, IDC_TOLERANCE_SPIN, IDC_OFF_SPEED, IDC_OFF_SPEED_SPIN,
                 IDC_MATCH_LEVEL, IDC_MATCH_LEVEL_SPIN})
    host.Enable(id);
  ClickSpin(host.Item(IDC_TOLERANCE_SPIN), true);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "15");
  ClickSpin(host.Item(IDC_TOLERANCE_SPIN), true);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "15") << "the top of the range";
  ClickSpin(host.Item(IDC_OFF_SPEED_SPIN), false);
  ClickSpin(host.Item(IDC_OFF_SPEED_SPIN), false);
  EXPECT_EQ(host.Text(IDC_OFF_SPEED), "1") << "the bottom of the range";
  // The arrow keys in the edit step too.
  SendMessageA(host.Item(IDC_MATCH_LEVEL), WM_KEYDOWN, VK_UP, 0);
  SendMessageA(host.Item(IDC_MATCH_LEVEL), WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(host.Text(IDC_MATCH_LEVEL), "51");
  EXPECT_TRUE(host.boxes->Take().empty());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "15");
  EXPECT_EQ(IniValue(ini, "1", "LogoOffResponseSpeed"), "1");
  EXPECT_EQ(IniValue(ini, "1", "LogoMatchLevel"), "51");
}

TEST(DialogBinding, EachValidatorShowsItsMessageAndPutsTheStoredValueBack) {
  DialogHost host(ChannelSection(1, {{"LogoPosTolerance", "4"},
                                     {"LogoTransparency", "61"},
                                     {"LogoOffResponseSpeed", "11"},
                                     {"LogoOnResponseSpeed", "5"},
                                     {"LogoDetectLevel", "70"},
                                     {"LogoMatchLevel", "75"},
                                     {"MsgTransparency", "65"}}));
  OpenOnFirstChannel(host);
  for (const NumericRow& row : kNumeric) {
    SCOPED_TRACE(row.key);
    HWND edit = host.Item(row.edit);
    host.Enable(row.edit);
    const std::string stored = host.Text(row.edit);
    // Empty, beyond the top, below the bottom (where there is room), not a number.
    std::vector<std::string> refused = {"", std::to_string(row.high + 1), "7x", "99999999999"};
    if (row.low > 0)
      refused.push_back(std::to_string(row.low - 1));
    for (const std::string& text : refused) {
      SetText(edit, text);
      std::vector<zunktest::SeenBox> seen = host.boxes->Take();
      ASSERT_EQ(seen.size(), 1u) << "'" << text << "'";
      EXPECT_EQ(seen[0].title, "Zunk_LogoDetector");
      EXPECT_EQ(seen[0].texts.back(), Cp1251(row.message));
      EXPECT_EQ(host.Text(row.edit), stored) << "'" << text << "' was put back";
    }
    // Zero is taken where the range starts at 0.
    if (row.low == 0) {
      SetText(edit, "0");
      EXPECT_TRUE(host.boxes->Take().empty());
      EXPECT_EQ(host.Text(row.edit), "0");
    }
  }
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoOffResponseSpeed"), "11");
  EXPECT_EQ(IniValue(ini, "1", "LogoOnResponseSpeed"), "5");
  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), "0");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "0");
}

TEST(DialogBinding, TypingOneThenSixInTheTolerance) {
  DialogHost host(ChannelSection(1));
  OpenOnFirstChannel(host);
  HWND edit = host.Item(IDC_TOLERANCE);
  host.Enable(IDC_TOLERANCE);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, '1', 0);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "1");
  EXPECT_TRUE(host.boxes->Take().empty());
  SendMessageA(edit, EM_SETSEL, 1, 1);
  SendMessageA(edit, WM_CHAR, '6', 0);
  std::vector<zunktest::SeenBox> seen = host.boxes->Take();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].texts.back(), Cp1251(kNumeric[0].message));
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "1");
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "1");
}

TEST(DialogBinding, ValuesOutsideTheRangesAreShownAtTheNearestEndAndStored) {
  DialogHost host(ChannelSection(1, {{"LogoPosTolerance", "20"},
                                     {"LogoTransparency", "-5"},
                                     {"LogoOnResponseSpeed", "0"},
                                     {"MsgTransparency", "300"}}));
  OpenOnFirstChannel(host);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "15");
  EXPECT_EQ(host.Text(IDC_LOGO_TRANSPARENCY), "0");
  EXPECT_EQ(host.Text(IDC_ON_SPEED), "1");
  EXPECT_EQ(host.Text(IDC_MSG_TRANSPARENCY), "100");
  EXPECT_TRUE(host.boxes->Take().empty());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "15");
  EXPECT_EQ(IniValue(ini, "1", "LogoTransparency"), "0");
  EXPECT_EQ(IniValue(ini, "1", "LogoOnResponseSpeed"), "1");
  EXPECT_EQ(IniValue(ini, "1", "MsgTransparency"), "100");
}

TEST(DialogBinding, CheckBoxesListsAndTheMessageText) {
  DialogHost host(ChannelSection(1, {{"ProcessingEnable", "1"},
                                     {"ShowLogo", "0"},
                                     {"MsgEnable", "1"},
                                     {"MsgBackEnable", "0"},
                                     {"PreviewAction", "2"},
                                     {"RecordAction", "1"},
                                     {"LogoFileName", "C:\\logos\\one.bmp"}}));
  OpenOnFirstChannel(host);
  const struct {
    int id;
    const char* key;
    bool shown;
  } checks[] = {{IDC_PROCESSING_ENABLE, "ProcessingEnable", true},
                {IDC_SHOW_LOGO, "ShowLogo", false},
                {IDC_MSG_ENABLE, "MsgEnable", true},
                {IDC_MSG_BACK_ENABLE, "MsgBackEnable", false}};
  for (const auto& c : checks) {
    EXPECT_EQ(host.Checked(c.id), c.shown) << c.key;
    host.Enable(c.id);
    SendMessageA(host.Item(c.id), BM_CLICK, 0, 0);
    EXPECT_EQ(host.Checked(c.id), !c.shown) << c.key;
  }
  EXPECT_EQ(SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessageA(host.Item(IDC_RECORD_ACTION), CB_GETCURSEL, 0, 0), 1);
  for (int id : {IDC_PREVIEW_ACTION, IDC_RECORD_ACTION}) {
    const int pick = id == IDC_PREVIEW_ACTION ? 5 : 2;
    SendMessageA(host.Item(id), CB_SETCURSEL, pick, 0);
    SendMessageA(host.Window(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(host.Item(id)));
  }
  EXPECT_EQ(host.Text(IDC_LOGO_FILE_NAME), "C:\\logos\\one.bmp");
  EXPECT_EQ(host.Text(IDC_MSG_STRING), Cp1251("РЕКЛАМА"));
  SetText(host.Item(IDC_MSG_STRING), Cp1251("Пауза"));
  EXPECT_TRUE(host.boxes->Take().empty());

  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "ProcessingEnable"), "0");
  EXPECT_EQ(IniValue(ini, "1", "ShowLogo"), "1");
  EXPECT_EQ(IniValue(ini, "1", "MsgEnable"), "0");
  EXPECT_EQ(IniValue(ini, "1", "MsgBackEnable"), "1");
  EXPECT_EQ(IniValue(ini, "1", "PreviewAction"), "5");
  EXPECT_EQ(IniValue(ini, "1", "RecordAction"), "2");
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), Cp1251("Пауза"));
}

TEST(DialogBinding, ListValuesOutsideTheItemsLeaveNoSelection) {
  DialogHost host(ChannelSection(1, {{"PreviewAction", "7"}, {"RecordAction", "-1"}}));
  OpenOnFirstChannel(host);
  EXPECT_EQ(SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(host.Item(IDC_RECORD_ACTION), CB_GETCURSEL, 0, 0), CB_ERR);
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "PreviewAction"), "7") << "kept until the user picks";
}

TEST(DialogBinding, WithoutATemplateOnlyTheChooserAndTheButtonsAreEnabled) {
  DialogHost host(ChannelSection(1));
  OpenOnFirstChannel(host);
  for (int id :
       {IDC_OK_BUTTON, IDC_CANCEL_BUTTON, IDC_ABOUT_BUTTON, IDC_CHOOSE_TEMPLATE, IDC_LOGO_FILE_NAME,
        IDC_CHANNEL_NAME, IDC_PREVIEW, IDC_MATCH_BAR, IDC_DETECTION_BAR})
    EXPECT_TRUE(IsWindowEnabled(host.Item(id))) << id;
  for (int id : {5109, 5110, 5107, 5108, 5111, 5084, 5083, 5082, 5085, 5137, 5100, 5102,
                 5117, 5120, 5089, 5090, 5130, 5106, 5112, 5143, 5097, 5099, 5134, 5095,
                 5096, 5133, 5093, 5094, 5132, 5091, 5092, 5131, 5128, 5135, 5129, 5136,
                 5124, 5138, 5139, 5144, 5140, 5104, 5141, 5105, 5098, 5101, 5142})
    EXPECT_FALSE(IsWindowEnabled(host.Item(id))) << id;
}

TEST(DialogBinding, WithATemplateTheEditingControlsAreEnabled) {
  const std::string logo = WriteTemplate("logo.bmp", 40, 20, RGB(200, 30, 30));
  for (int leftTop : {0, 1}) {
    SCOPED_TRACE(leftTop);
    DialogHost host(ChannelSection(
        1, {{"LogoFileName", logo}, {"LeftTopPixelColor", std::to_string(leftTop)}}));
    OpenOnFirstChannel(host);
    for (int id : {5109, 5110,
                   5107, 5108,
                   5111, 5084,
                   5083, 5082,
                   5085, 5137,
                   5117, 5120,
                   5089, 5090,
                   5130, 5106,
                   5112, 5143,
                   5097, 5099,
                   5134, 5095,
                   5096, 5133,
                   5093, 5094,
                   5132, 5091,
                   5092, 5131,
                   5128, 5135,
                   5129, 5136,
                   5124, 5138,
                   5139, 5144,
                   5140, 5104,
                   5141, 5105,
                   5098, 5101,
                   5142, IDC_CHOOSE_TEMPLATE})
      EXPECT_TRUE(IsWindowEnabled(host.Item(id))) << id;
    EXPECT_EQ(IsWindowEnabled(host.Item(IDC_CHOOSE_COLOR_KEY)) != 0, leftTop == 0)
        << "the colour-key chooser waits while the key comes from the template";
    EXPECT_FALSE(IsWindowEnabled(host.Item(IDC_COLOR_KEY_SHOW)));
    EXPECT_FALSE(IsWindowVisible(host.Item(IDC_CENTRE))) << "enabled, never shown";
    EXPECT_EQ(host.Checked(IDC_LEFT_TOP_PIXEL), leftTop == 1);
    if (leftTop == 0)
      host.Screenshot("dialog-with-template");
  }
}

TEST(DialogBinding, CancelRestoresEveryProfileIncludingOneAddedWhileOpen) {
  DialogHost host(ChannelSection(1, {{"LogoPosTolerance", "4"}}) +
                  ChannelSection(2, {{"LogoPosTolerance", "6"}, {"ShowLogo", "0"}}));
  OpenOnFirstChannel(host);
  host.Enable(IDC_TOLERANCE);
  SetText(host.Item(IDC_TOLERANCE), "9");
  SetText(host.Item(IDC_MSG_STRING), "one");

  host.SetChannel(2, "Two");
  ASSERT_TRUE(host.WaitFrames(3));
  host.Enable(IDC_SHOW_LOGO);
  SendMessageA(host.Item(IDC_SHOW_LOGO), BM_CLICK, 0, 0);

  host.SetChannel(3, "Three");  // met for the first time while the dialog is open
  ASSERT_TRUE(host.WaitFrames(3));
  host.Enable(IDC_LOGO_TRANSPARENCY);
  SetText(host.Item(IDC_LOGO_TRANSPARENCY), "33");

  SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "4");
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), Cp1251("РЕКЛАМА"));
  EXPECT_EQ(IniValue(ini, "2", "LogoPosTolerance"), "6");
  EXPECT_EQ(IniValue(ini, "2", "ShowLogo"), "0");
  EXPECT_EQ(IniValue(ini, "3", "LogoTransparency"), "60") << "its values when it was added";
  EXPECT_EQ(IniValue(ini, "3", "LogoPosTolerance"), "3");
  EXPECT_NE(IniValue(ini, "COMMON", "DlgWndPosX"), "-100") << "the position is still kept";
}

TEST(DialogBinding, OkKeepsTheEditsThroughExit) {
  DialogHost host(ChannelSection(1));
  OpenOnFirstChannel(host);
  host.Enable(IDC_DETECT_LEVEL);
  SetText(host.Item(IDC_DETECT_LEVEL), "42");
  SetText(host.Item(IDC_MSG_STRING), "ok");
  SendMessageA(host.Item(IDC_OK_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoDetectLevel"), "42");
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), "ok");
}

// An edit made after the channel changed goes to the new channel's profile, never to
// the one the dialog was opened on.
TEST(DialogBinding, EditsAfterAChangeOfChannelGoToTheNewChannel) {
  DialogHost host(ChannelSection(1) + ChannelSection(2));
  OpenOnFirstChannel(host);
  host.SetChannel(2, "Two");
  ASSERT_TRUE(host.WaitFrames(3));
  host.Enable(IDC_MATCH_LEVEL);
  SetText(host.Item(IDC_MATCH_LEVEL), "21");
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoMatchLevel"), "80");
  EXPECT_EQ(IniValue(ini, "2", "LogoMatchLevel"), "21");
}

TEST(DialogBinding, AChangeOfChannelShowsTheNewChannelsProfile) {
  DialogHost host(ChannelSection(1, {{"LogoPosTolerance", "4"}, {"MsgString", "one"}}) +
                  ChannelSection(2, {{"LogoPosTolerance", "9"},
                                     {"MsgString", "two"},
                                     {"ShowLogo", "0"},
                                     {"PreviewAction", "4"},
                                     {"LogoFileName", "two.bmp"},
                                     {"MsgTransparency", "12"}}));
  OpenOnFirstChannel(host);
  host.Enable(IDC_TEST);
  SendMessageA(host.Item(IDC_TEST), BM_CLICK, 0, 0);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "4");
  host.SetChannel(2, "Two");
  ASSERT_TRUE(host.WaitForChannelLabel("Two"));
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "9");
  EXPECT_EQ(host.Text(IDC_MSG_STRING), "two");
  EXPECT_EQ(host.Text(IDC_LOGO_FILE_NAME), "two.bmp");
  EXPECT_EQ(host.Text(IDC_MSG_TRANSPARENCY), "12");
  EXPECT_FALSE(host.Checked(IDC_SHOW_LOGO));
  EXPECT_TRUE(host.Checked(IDC_TEST)) << "the test mode is not the profile's";
  EXPECT_EQ(SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_GETCURSEL, 0, 0), 4);
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "MsgString"), "one") << "the refresh wrote nothing across";
  EXPECT_EQ(IniValue(ini, "2", "MsgString"), "two");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosTolerance"), "4");
}

TEST(DialogBinding, BeforeAnyChannelTheDefaultsAreShownDisabledAndNoEditIsHeld) {
  DialogHost host("[DEFAULT]\r\nLogoPosTolerance=7\r\nMsgString=dflt\r\nShowLogo=0\r\n", 0);
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  host.Pump(50);
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "7");
  EXPECT_EQ(host.Text(IDC_MSG_STRING), "dflt");
  EXPECT_FALSE(host.Checked(IDC_SHOW_LOGO));
  EXPECT_FALSE(IsWindowEnabled(host.Item(IDC_TOLERANCE)));
  EXPECT_FALSE(IsWindowEnabled(host.Item(IDC_SHOW_LOGO)));

  // Forced through, edits find no profile to go to and show the defaults again.
  for (int id : {IDC_TOLERANCE, IDC_SHOW_LOGO, IDC_PREVIEW_ACTION, IDC_MSG_STRING})
    host.Enable(id);
  SetText(host.Item(IDC_TOLERANCE), "9");
  EXPECT_EQ(host.Text(IDC_TOLERANCE), "7");
  SendMessageA(host.Item(IDC_SHOW_LOGO), BM_CLICK, 0, 0);
  EXPECT_FALSE(host.Checked(IDC_SHOW_LOGO));
  SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_SETCURSEL, 3, 0);
  SendMessageA(host.Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_ACTION, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(host.Item(IDC_PREVIEW_ACTION)));
  EXPECT_EQ(SendMessageA(host.Item(IDC_PREVIEW_ACTION), CB_GETCURSEL, 0, 0), 0);
  SetText(host.Item(IDC_MSG_STRING), "typed");
  EXPECT_EQ(host.Text(IDC_MSG_STRING), "dflt");
  EXPECT_TRUE(host.boxes->Take().empty());

  // The first channel arrives while the dialog is open; Cancel keeps its profile.
  host.SetChannel(5, "Five");
  ASSERT_TRUE(host.WaitFrames(3));
  SendMessageA(host.Item(IDC_CANCEL_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(host.WaitClosed());
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "5", "LogoPosTolerance"), "7");
  EXPECT_EQ(IniValue(ini, "5", "MsgString"), "dflt");
  EXPECT_EQ(IniValue(ini, "5", "ShowLogo"), "0");
  EXPECT_EQ(IniValue(ini, "5", "PreviewAction"), "0");
}

}  // namespace
