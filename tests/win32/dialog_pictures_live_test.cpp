// The settings dialog's preview and level bars while frames flow: the dark blue preview and
// grey bars without a template; the template in the preview with its side bands; and the
// levels frames publish reaching the bars on the dialog's own thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/resource_ids.h"
#include "dialog_harness.h"
#include "shown_pixels.h"

namespace {

using zunktest::BarLine;
using zunktest::ChannelSection;
using zunktest::DialogHost;
using zunktest::ShownPixels;

const COLORREF kBackground = 0x400000;
const COLORREF kGrey = RGB(0xC0, 0xC0, 0xC0);
const COLORREF kDarkGreen = RGB(0, 0x80, 0);
const COLORREF kDarkRed = RGB(0x80, 0, 0);

struct Shown {
  int w = 0, h = 0;
  std::vector<COLORREF> px;
};

Shown Picture(const DialogHost& host, int id) {
  Shown s;
  RECT r = {};
  GetClientRect(host.Item(id), &r);
  s.w = r.right;
  s.h = r.bottom;
  s.px = ShownPixels(host.Item(id), s.w, s.h);
  return s;
}

// The bar's lines show threshold t with value 0 in the two given colours.
bool ShowsThreshold(const Shown& bar, int t, COLORREF below, COLORREF above) {
  if (bar.px.size() != static_cast<size_t>(bar.w * bar.h) || bar.h < 2)
    return false;
  for (int i = 0; i < bar.h; ++i) {
    const COLORREF want = i % 2 ? 0 : i < t * bar.h / 100 ? below : above;
    if (BarLine(bar.px, bar.w, bar.h, i) != want)
      return false;
  }
  return true;
}

void Open(DialogHost& host) {
  ASSERT_TRUE(host.WaitFrames(2));
  host.Configure();
  ASSERT_NE(host.Window(), nullptr);
  ASSERT_TRUE(host.WaitForChannelLabel("One"));
}

TEST(DialogPictures, WithoutATemplateTheBarsAreGreyAndThePreviewDarkBlue) {
  DialogHost host(ChannelSection(1, {{"LogoDetectLevel", "30"}, {"LogoMatchLevel", "70"}}));
  Open(host);
  ASSERT_TRUE(host.WaitFrames(5));
  host.Pump(200);
  const Shown preview = Picture(host, IDC_PREVIEW);
  ASSERT_EQ(preview.px.size(), static_cast<size_t>(preview.w * preview.h));
  ASSERT_GT(preview.px.size(), 100u);
  for (COLORREF c : preview.px)
    ASSERT_EQ(c, kBackground);
  for (int id : {IDC_DETECTION_BAR, IDC_MATCH_BAR}) {
    const Shown bar = Picture(host, id);
    EXPECT_TRUE(ShowsThreshold(bar, 50, kGrey, kGrey)) << id;
  }
  host.Screenshot("dialog-pictures-no-template");
}

TEST(DialogPictures, TemplateInThePreviewAndPublishedLevelsOnTheBars) {
  const std::string logo = zunktest::WriteTemplate("logo.bmp", 40, 20, RGB(200, 30, 30));
  DialogHost host(ChannelSection(1, {{"LogoFileName", logo},
                                     {"ProcessingEnable", "0"},
                                     {"LogoDetectLevel", "30"},
                                     {"LogoMatchLevel", "70"}}));
  Open(host);
  ASSERT_TRUE(host.WaitFrames(3));
  host.Pump(100);

  // The preview is wider than the template's 2:1, so the template fills its height with
  // equal dark blue bands left and right.
  const Shown preview = Picture(host, IDC_PREVIEW);
  ASSERT_EQ(preview.px.size(), static_cast<size_t>(preview.w * preview.h));
  ASSERT_GT(preview.w, 2 * preview.h);
  const int band = (preview.w - static_cast<int>(preview.h * 2.0)) / 2;
  for (int y = 0; y < preview.h; ++y)
    for (int x = 0; x < preview.w; ++x) {
      const bool inside = x >= band && x < preview.w - band;
      ASSERT_EQ(preview.px[y * preview.w + x], inside ? RGB(200, 30, 30) : kBackground)
          << x << "," << y;
    }

  // With the detector off, frames publish the thresholds with the value 0.
  EXPECT_TRUE(ShowsThreshold(Picture(host, IDC_DETECTION_BAR), 30, kDarkGreen, kDarkRed));
  EXPECT_TRUE(ShowsThreshold(Picture(host, IDC_MATCH_BAR), 70, kDarkGreen, kDarkRed));
  // A new threshold reaches the bar through the frames, without a refresh of the dialog.
  host.Enable(IDC_DETECT_LEVEL);
  SendMessageA(host.Item(IDC_DETECT_LEVEL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("90"));
  EXPECT_TRUE(host.PumpUntil(
      [&] { return ShowsThreshold(Picture(host, IDC_DETECTION_BAR), 90, kDarkGreen, kDarkRed); }));
  EXPECT_TRUE(ShowsThreshold(Picture(host, IDC_MATCH_BAR), 70, kDarkGreen, kDarkRed));
  host.Screenshot("dialog-pictures-template");
}

}  // namespace
