// The live capture's texts for the dialog, Windows-1251.
#include "capture/capture_texts.h"

namespace zunk {

namespace {

// The form of a Russian noun after a count: 1, 21, 101 take the first; 2-4, 22-24 the
// second; 0, 5-20, 25-30, 111-114 the third.
int PluralForm(int32_t n) {
  const int32_t tens = n % 100;
  const int32_t ones = n % 10;
  if (ones == 1 && tens != 11)
    return 0;
  if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
    return 1;
  return 2;
}

const char kNotFound[] = "\xCB\xEE\xE3\xEE\xF2\xE8\xEF \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED";

const char* FailureReason(CaptureFailure failure) {
  switch (failure) {
    case CaptureFailure::kNoFrames:
      return ": \xE2\xE8\xE4\xE5\xEE \xED\xE5 \xE8\xE4\xB8\xF2";  // ": видео не идёт"
    case CaptureFailure::kNoSteadyLogo:
      // ": реклама или чёрный экран"
      return ": \xF0\xE5\xEA\xEB\xE0\xEC\xE0 \xE8\xEB\xE8 \xF7\xB8\xF0\xED\xFB\xE9 "
             "\xFD\xEA\xF0\xE0\xED";
    case CaptureFailure::kStillPicture:
      // ": картинка почти не меняется"
      return ": \xEA\xE0\xF0\xF2\xE8\xED\xEA\xE0 \xEF\xEE\xF7\xF2\xE8 \xED\xE5 "
             "\xEC\xE5\xED\xFF\xE5\xF2\xF1\xFF";
    case CaptureFailure::kFrameTooLarge:
      // ": кадр слишком велик"
      return ": \xEA\xE0\xE4\xF0 \xF1\xEB\xE8\xF8\xEA\xEE\xEC \xE2\xE5\xEB\xE8\xEA";
    case CaptureFailure::kTooFewFrames:
      // ": слишком мало кадров"
      return ": \xF1\xEB\xE8\xF8\xEA\xEE\xEC \xEC\xE0\xEB\xEE \xEA\xE0\xE4\xF0\xEE\xE2";
    case CaptureFailure::kNone:
    case CaptureFailure::kOther:
      break;
  }
  return "";
}

}  // namespace

std::string CaptureProgressText(int32_t frames) {
  static const char* const kFrames[] = {"\xEA\xE0\xE4\xF0", "\xEA\xE0\xE4\xF0\xE0",
                                        "\xEA\xE0\xE4\xF0\xEE\xE2"};  // кадр, кадра, кадров
  const int form = PluralForm(frames < 0 ? 0 : frames);
  // "Собран" agrees with one frame, "Собрано" with the others.
  std::string text = form == 0 ? "\xD1\xEE\xE1\xF0\xE0\xED " : "\xD1\xEE\xE1\xF0\xE0\xED\xEE ";
  text += std::to_string(frames < 0 ? 0 : frames);
  text += ' ';
  text += kFrames[form];
  text += '\x85';  // "…"
  return text;
}

std::string CaptureOutcomeText(const CaptureProgress& progress) {
  switch (progress.state) {
    case CaptureState::kFound:
      return "\xCB\xEE\xE3\xEE\xF2\xE8\xEF \xED\xE0\xE9\xE4\xE5\xED";  // "Логотип найден"
    case CaptureState::kFailed:
      return std::string(kNotFound) + FailureReason(progress.failure);
    case CaptureState::kChannelChanged:
      // "Захват прерван: переключён канал"
      return "\xC7\xE0\xF5\xE2\xE0\xF2 \xEF\xF0\xE5\xF0\xE2\xE0\xED: "
             "\xEF\xE5\xF0\xE5\xEA\xEB\xFE\xF7\xB8\xED \xEA\xE0\xED\xE0\xEB";
    case CaptureState::kIdle:
    case CaptureState::kRunning:
      break;
  }
  return "";
}

const char* CaptureSaveFailedText() {
  // "Логотип не сохранён: нет доступа к папке настроек"
  return "\xCB\xEE\xE3\xEE\xF2\xE8\xEF \xED\xE5 \xF1\xEE\xF5\xF0\xE0\xED\xB8\xED: "
         "\xED\xE5\xF2 \xE4\xEE\xF1\xF2\xF3\xEF\xE0 \xEA \xEF\xE0\xEF\xEA\xE5 "
         "\xED\xE0\xF1\xF2\xF0\xEE\xE5\xEA";
}

const char* CaptureButtonText() {
  return "\xCB\xEE\xE3\xEE\xF2\xE8\xEF \xF1 \xFD\xEA\xF0\xE0\xED\xE0\x85";  // "Логотип с экрана…"
}

const char* CaptureStopText() {
  return "\xD1\xF2\xEE\xEF";  // "Стоп"
}

}  // namespace zunk
