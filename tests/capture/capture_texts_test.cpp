// The capture's texts: the Russian plural of the frame count, and one line per outcome.
#include <gtest/gtest.h>

#include <set>

#include "capture/capture_texts.h"

namespace zunk {
namespace {

TEST(CaptureTexts, TheFrameCountTakesTheRightRussianForm) {
  // "Собран 1 кадр…", "Собран 21 кадр…"
  EXPECT_EQ(CaptureProgressText(1), "\xD1\xEE\xE1\xF0\xE0\xED 1 \xEA\xE0\xE4\xF0\x85");
  EXPECT_EQ(CaptureProgressText(21), "\xD1\xEE\xE1\xF0\xE0\xED 21 \xEA\xE0\xE4\xF0\x85");
  // "Собрано 24 кадра…", "Собрано 102 кадра…"
  EXPECT_EQ(CaptureProgressText(24), "\xD1\xEE\xE1\xF0\xE0\xED\xEE 24 \xEA\xE0\xE4\xF0\xE0\x85");
  EXPECT_EQ(CaptureProgressText(102), "\xD1\xEE\xE1\xF0\xE0\xED\xEE 102 \xEA\xE0\xE4\xF0\xE0\x85");
  // "Собрано 0 кадров…", "Собрано 11 кадров…", "Собрано 112 кадров…"
  EXPECT_EQ(CaptureProgressText(0), "\xD1\xEE\xE1\xF0\xE0\xED\xEE 0 \xEA\xE0\xE4\xF0\xEE\xE2\x85");
  EXPECT_EQ(CaptureProgressText(11),
            "\xD1\xEE\xE1\xF0\xE0\xED\xEE 11 \xEA\xE0\xE4\xF0\xEE\xE2\x85");
  EXPECT_EQ(CaptureProgressText(112),
            "\xD1\xEE\xE1\xF0\xE0\xED\xEE 112 \xEA\xE0\xE4\xF0\xEE\xE2\x85");
  // The forms by the last two digits, as a table.
  const char* const forms[] = {"\xEA\xE0\xE4\xF0\x85", "\xEA\xE0\xE4\xF0\xE0\x85",
                               "\xEA\xE0\xE4\xF0\xEE\xE2\x85"};
  for (int n = 0; n < 300; ++n) {
    const int tens = n % 100, ones = n % 10;
    const int want = (ones == 1 && tens != 11)                                 ? 0
                     : (ones >= 2 && ones <= 4 && !(tens >= 12 && tens <= 14)) ? 1
                                                                               : 2;
    const std::string text = CaptureProgressText(n);
    EXPECT_EQ(text.substr(text.size() - std::string(forms[want]).size()), forms[want]) << n;
  }
}

TEST(CaptureTexts, EachOutcomeHasItsOwnLine) {
  std::set<std::string> seen;
  CaptureProgress p;
  p.state = CaptureState::kFound;
  seen.insert(CaptureOutcomeText(p));
  p.state = CaptureState::kChannelChanged;
  seen.insert(CaptureOutcomeText(p));
  p.state = CaptureState::kFailed;
  for (CaptureFailure f :
       {CaptureFailure::kNoFrames, CaptureFailure::kNoSteadyLogo, CaptureFailure::kStillPicture,
        CaptureFailure::kFrameTooLarge, CaptureFailure::kTooFewFrames, CaptureFailure::kOther}) {
    p.failure = f;
    seen.insert(CaptureOutcomeText(p));
  }
  EXPECT_EQ(seen.size(), 8u);
  p.failure = CaptureFailure::kStillPicture;
  // "Логотип не найден: картинка почти не меняется"
  EXPECT_EQ(CaptureOutcomeText(p),
            "\xCB\xEE\xE3\xEE\xF2\xE8\xEF \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED: "
            "\xEA\xE0\xF0\xF2\xE8\xED\xEA\xE0 \xEF\xEE\xF7\xF2\xE8 \xED\xE5 "
            "\xEC\xE5\xED\xFF\xE5\xF2\xF1\xFF");
  p.state = CaptureState::kRunning;
  EXPECT_EQ(CaptureOutcomeText(p), "");
}

}  // namespace
}  // namespace zunk
