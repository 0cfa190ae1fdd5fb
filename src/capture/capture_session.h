// The live capture of the current channel's logo: the feed the video thread copies frames
// into, and the capture thread that hands them to the logo finder until it is sure, the
// time is up or the viewer stops it. Started, stopped, read and ended from the dialog's
// thread; the video thread only calls FeedCaptureFrame.
#pragma once

#include <cstdint>

#include "capture/capture_finder.h"

namespace zunk {

enum class CaptureState : int32_t {
  kIdle = 0,        // no capture since the last EndCapture
  kRunning,         // frames are being collected
  kFound,           // the finder found the logo (TakeCapturedLogo gives it)
  kFailed,          // it found none (CaptureProgress::failure says why)
  kChannelChanged,  // the channel changed: the capture stopped without an answer
};

struct CaptureProgress {
  CaptureState state = CaptureState::kIdle;
  int32_t frames = 0;    // frames the finder has read since the capture (re)started
  int32_t restarts = 0;  // restarts after a change of the stream's frame size
  CaptureFailure failure = CaptureFailure::kNone;
  int64_t channelKey = 0;  // the channel captured
};

// The longest capture, and the copy interval on the video thread.
constexpr uint32_t kCaptureLimitMs = 60000;
constexpr uint32_t kCaptureIntervalMs = 500;
// With no frame at all for this long the capture ends: no frames arrive.
constexpr uint32_t kCaptureNoFrameMs = 5000;

// What a capture starts from: the channel of the last frame (unknown before the first
// frame of a stream), the stream's frame size and pixel format (0 x 0 without one), and the
// channel's reaction speeds.
struct CaptureStart {
  int64_t channelKey = 0;
  bool channelKnown = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = 0;
  int32_t onSpeed = 3;
  int32_t offSpeed = 10;
};

// Starts a capture. False when one runs or has an answer not yet ended, there is no
// finder, or no thread could be made. A stream that has not started yet, or changes its
// size, is waited for: the capture starts over on the first frame of the new size.
bool StartCapture(const CaptureStart& from);
// Asks the finder for its answer from the frames so far (the viewer's "Стоп").
void StopCapture();
// The state for the dialog. Cheap; any thread.
CaptureProgress ReadCaptureProgress();
// The finder's candidate, once per new candidate: true when *out was filled.
bool TakeCaptureCandidate(CapturedLogo* out);
// The logo found, after kFound.
bool TakeCapturedLogo(CapturedLogo* out);
// Ends any capture without an answer, waits for its thread and frees every buffer; the
// state goes back to kIdle. Takes the module lock briefly; never call it with the lock held.
void EndCapture();

// The video thread, for every frame it looks at, under the module lock: copies one frame
// each kCaptureIntervalMs while a capture runs, and notes a change of channel or size.
void FeedCaptureFrame(const void* pixels,
                      int64_t channelKey,
                      int32_t width,
                      int32_t height,
                      int32_t format);

}  // namespace zunk
