// What the dialog tells the viewer about a live capture, in Windows-1251: the progress with
// the Russian plural of "кадр", the answer, and each reason a capture ends without a logo.
#pragma once

#include <string>

#include "capture/capture_session.h"

namespace zunk {

// "Собрано 24 кадра…", "Собран 21 кадр…", "Собрано 5 кадров…".
std::string CaptureProgressText(int32_t frames);
// The line for a capture that ended: found, not found and why, or cut short by a change of
// channel. Empty for kIdle and kRunning.
std::string CaptureOutcomeText(const CaptureProgress& progress);

// The logo was found but its file could not be written.
const char* CaptureSaveFailedText();

// The capture button's captions: idle and while a capture runs.
const char* CaptureButtonText();
const char* CaptureStopText();

}  // namespace zunk
