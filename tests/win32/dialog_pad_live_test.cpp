// The position pad of the open dialog under the real mouse: the arrows pressed and
// released through the dialog's mouse hook, held through its timer, and a corner button;
// the positions are read back from the settings file that Exit writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"

namespace {

using zunktest::ChannelSection;
using zunktest::DialogHost;
using zunktest::IniValue;
using zunktest::MouseButtonOn;

// Long enough apart that two clicks are never taken for a double click.
constexpr int kApart = 700;

// Opens the dialog on channel 1 with a 100 x 40 template, so that the pad is enabled.
void OpenWithTemplate(DialogHost& host) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
  ASSERT_TRUE(host.PumpUntil([&] { return IsWindowEnabled(host.Item(IDC_ARROW_RIGHT)) != 0; }));
}

std::string Settings() {
  const std::string logo = zunktest::WriteTemplate("pad.bmp", 100, 40, RGB(10, 200, 10));
  return ChannelSection(1, {{"LogoFileName", logo}, {"LogoPosX", "300"}, {"LogoPosY", "200"}});
}

TEST(DialogPad, ClicksDoubleClicksAndAHeldArrowThroughTheMouseHook) {
  DialogHost host(Settings());
  OpenWithTemplate(host);
  HWND dlg = host.Window();

  // A click moves one; the release stops the repeat, so waiting adds nothing.
  MouseButtonOn(host.Item(IDC_ARROW_RIGHT), true);
  MouseButtonOn(host.Item(IDC_ARROW_RIGHT), false);
  host.Pump(kApart);

  // A double click moves two: the press and the double-click message.
  for (int i = 0; i < 2; ++i) {
    MouseButtonOn(host.Item(IDC_ARROW_LEFT), true);
    MouseButtonOn(host.Item(IDC_ARROW_LEFT), false);
  }
  host.Pump(kApart);
  for (int i = 0; i < 2; ++i) {
    MouseButtonOn(host.Item(IDC_ARROW_LEFT), true);
    MouseButtonOn(host.Item(IDC_ARROW_LEFT), false);
  }
  host.Pump(kApart);

  // Held for 20 ticks of timer 1. The hook starts the timer when the press is taken from
  // the queue; the test stops it there and delivers the ticks itself, so that none is
  // lost or added however busy the machine is.
  HWND up = host.Item(IDC_ARROW_UP);
  MouseButtonOn(up, true);
  bool pressed = false;
  const DWORD start = GetTickCount();
  while (!pressed && GetTickCount() - start < 5000) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    if (msg.hwnd == up && msg.message == WM_LBUTTONDOWN) {
      pressed = true;
      EXPECT_TRUE(KillTimer(dlg, 1)) << "the press started timer 1";
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ASSERT_TRUE(pressed);
  for (int i = 0; i < 20; ++i)
    SendMessageA(dlg, WM_TIMER, 1, 0);
  MouseButtonOn(up, false);
  host.Pump(300);

  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosX"), "297");  // 300 + 1 - 2 - 2
  EXPECT_EQ(IniValue(ini, "1", "LogoPosY"), "166");  // 200 - 34
}

TEST(DialogPad, TheTopRightButtonPlacesAHundredWideTemplateAt668) {
  DialogHost host(Settings());
  OpenWithTemplate(host);
  SendMessageA(host.Item(IDC_CORNER_TOP_RIGHT), BM_CLICK, 0, 0);
  host.Pump(100);
  const std::string ini = host.ExitAndReadSettings();
  EXPECT_EQ(IniValue(ini, "1", "LogoPosX"), "668");
  EXPECT_EQ(IniValue(ini, "1", "LogoPosY"), "0");
}

}  // namespace
