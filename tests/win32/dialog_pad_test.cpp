// The position pad's arrows and corner buttons against a profile of the test's own: the
// presses and releases the mouse hook hands on, the ticks of timer 1 on a window of the
// test's own, and the positions they leave in the current profile.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "dialog/resource_ids.h"
#include "dialog/settings_dialog.h"
#include "pipeline/stream_template.h"

namespace zunk {
namespace {

class Pad : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    Profiles.assign(1, ChannelProfile{});
    CurrentIndex = 0;
    Profiles[0].LogoPosX = 100;
    Profiles[0].LogoPosY = 50;
  }
  void TearDown() override {
    KillTimer(window_, kArrowTimer);
    DestroyWindow(window_);
    Profiles.clear();
    CurrentIndex = 0;
    TemplateLoaded = 0;
    TemplatePicture = {nullptr, 0, 0};
  }

  void Press(int arrow) { PadArrowMouse(window_, arrow, WM_LBUTTONDOWN); }
  void Release(int arrow) { PadArrowMouse(window_, arrow, WM_LBUTTONUP); }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      PadArrowTimer(window_);
  }
  // Whether timer 1 runs on the window (taking it away if it does).
  bool TimerRan() { return KillTimer(window_, kArrowTimer) != FALSE; }
  int32_t X() const { return Profiles[0].LogoPosX; }
  int32_t Y() const { return Profiles[0].LogoPosY; }

  HWND window_ = nullptr;
};

TEST_F(Pad, AClickMovesOneAndADoubleClickTwoInEachDirection) {
  Press(IDC_ARROW_RIGHT);
  EXPECT_EQ(X(), 101);
  Release(IDC_ARROW_RIGHT);
  EXPECT_FALSE(TimerRan()) << "the release stops the repeat at once";

  // A double click: down, up, the double-click message, up.
  Press(IDC_ARROW_LEFT);
  Release(IDC_ARROW_LEFT);
  PadArrowMouse(window_, IDC_ARROW_LEFT, WM_LBUTTONDBLCLK);
  Release(IDC_ARROW_LEFT);
  EXPECT_EQ(X(), 99);

  Press(IDC_ARROW_UP);
  Release(IDC_ARROW_UP);
  EXPECT_EQ(Y(), 49);
  Press(IDC_ARROW_DOWN);
  Release(IDC_ARROW_DOWN);
  Press(IDC_ARROW_DOWN);
  Release(IDC_ARROW_DOWN);
  EXPECT_EQ(Y(), 51);
  EXPECT_EQ(X(), 99);
}

TEST_F(Pad, HeldArrowsAccelerateAsTheStepAddsUp) {
  // Counting the press: 2 after 5 ticks, 7 after 10, 34 after 20, 148 after 40.
  const struct {
    int ticks, moved;
  } held[] = {{0, 1}, {4, 1}, {5, 2}, {10, 7}, {20, 34}, {40, 148}};
  for (const auto& h : held) {
    SCOPED_TRACE(h.ticks);
    const int32_t before = X();
    Press(IDC_ARROW_RIGHT);
    EXPECT_TRUE(TimerRan());
    Ticks(h.ticks);
    Release(IDC_ARROW_RIGHT);
    EXPECT_EQ(X() - before, h.moved);
  }
  // The next press starts from a standstill again, whichever arrow it is.
  const int32_t y = Y();
  Press(IDC_ARROW_UP);
  Ticks(20);
  Release(IDC_ARROW_UP);
  EXPECT_EQ(Y(), y - 34);
}

TEST_F(Pad, TheTimerRepeatsUntilTheReleaseAndNothingIsClamped) {
  Profiles[0].LogoPosX = 5;
  Press(IDC_ARROW_LEFT);
  // The real timer: 20 ticks of 50 ms take a second at the least.
  MSG msg;
  int ticks = 0;
  const DWORD start = GetTickCount();
  while (ticks < 20 && GetTickCount() - start < 20000) {
    if (GetMessageA(&msg, window_, WM_TIMER, WM_TIMER) > 0 && msg.wParam == kArrowTimer) {
      PadArrowTimer(window_);
      ++ticks;
    }
  }
  ASSERT_EQ(ticks, 20);
  Release(IDC_ARROW_LEFT);
  EXPECT_EQ(X(), 5 - 34) << "the dialog drives the position past the frame's edge";
  Sleep(120);
  EXPECT_FALSE(PeekMessageA(&msg, window_, WM_TIMER, WM_TIMER, PM_REMOVE))
      << "no tick after the release";
  EXPECT_EQ(X(), 5 - 34);
}

TEST_F(Pad, CornerButtonsPlaceTheTemplateInTheReferenceFrame) {
  std::vector<uint32_t> pixels(100 * 40);
  TemplatePicture = {pixels.data(), 100, 40};
  TemplateLoaded = 1;
  Profiles[0].LogoPosX = 5109;
  Profiles[0].LogoPosY = -7;
  const struct {
    int id;
    int32_t x, y;
  } corners[] = {{IDC_CORNER_TOP_RIGHT, 668, 0},
                 {IDC_CORNER_TOP_LEFT, 0, 0},
                 {IDC_CORNER_BOTTOM_LEFT, 0, 536},
                 {IDC_CORNER_BOTTOM_RIGHT, 668, 536},
                 {IDC_CENTRE, 334, 268}};
  for (const auto& c : corners) {
    SCOPED_TRACE(c.id);
    EXPECT_TRUE(PadCornerClicked(window_, c.id));
    EXPECT_EQ(X(), c.x);
    EXPECT_EQ(Y(), c.y);
  }
  // A template larger than the frame: the place lies outside it, as computed.
  TemplatePicture = {pixels.data(), 800, 1};
  PadCornerClicked(window_, IDC_CENTRE);
  EXPECT_EQ(X(), -16);
  EXPECT_EQ(Y(), 287);
  EXPECT_FALSE(PadCornerClicked(window_, IDC_ARROW_LEFT));

  // Without a template, or without a profile, a click changes nothing.
  TemplateLoaded = 0;
  PadCornerClicked(window_, IDC_CORNER_TOP_LEFT);
  EXPECT_EQ(X(), -16);
  TemplateLoaded = 1;
  Profiles.clear();
  EXPECT_TRUE(PadCornerClicked(window_, IDC_CORNER_TOP_LEFT));
  Press(IDC_ARROW_LEFT);
  Release(IDC_ARROW_LEFT);
}

}  // namespace
}  // namespace zunk
