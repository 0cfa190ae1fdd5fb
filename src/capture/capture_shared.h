// The state the live capture's three parties share: the dialog's thread that starts, stops
// and ends it, the capture thread that runs the finder, and the video thread that copies
// frames. Private to src/capture/.
#pragma once

#include <atomic>
#include <cstdint>

#include "capture/capture_finder.h"
#include "capture/capture_session.h"
#include "capture/frame_slots.h"

namespace zunk {

struct CaptureShared {
  // The video thread copies frames while this is 1. StartCapture and the capture thread
  // set it once the slots are ready; the video thread clears it at a change of channel or
  // size, the capture thread when it has its answer, EndCapture under the module lock.
  std::atomic<int32_t> active{0};
  // The channel captured. Unknown until the first frame when the capture started before any.
  std::atomic<int64_t> channelKey{0};
  std::atomic<int32_t> channelKnown{0};
  FrameSlots slots;
  uint64_t nextCopyMs = 0;  // the video thread's, while active

  // Raised by the video thread (release) after it cleared `active`.
  std::atomic<int32_t> channelChanged{0};
  std::atomic<int32_t> sizeChanged{0};
  std::atomic<int32_t> newWidth{0};
  std::atomic<int32_t> newHeight{0};
  std::atomic<int32_t> newFormat{0};

  // Asked by the dialog's thread.
  std::atomic<int32_t> stopAsked{0};
  std::atomic<int32_t> abortAsked{0};

  // What the dialog reads.
  std::atomic<int32_t> state{0};  // CaptureState
  std::atomic<int32_t> frames{0};
  std::atomic<int32_t> restarts{0};
  std::atomic<int32_t> failure{0};  // CaptureFailure
  // The candidate for the preview: written by the capture thread while 0, read by the
  // dialog while 1.
  std::atomic<int32_t> candidateReady{0};
  CapturedLogo candidate;
  CapturedLogo result;  // written before state becomes kFound

  const CaptureFinder* finder = nullptr;
  int32_t onSpeed = 0;  // the channel's reaction speeds, for the finder's Begin
  int32_t offSpeed = 0;
  std::atomic<uintptr_t> thread{0};
  std::atomic<int32_t> controlBusy{0};  // StartCapture and EndCapture one at a time
};

extern CaptureShared Capture;

// The capture thread's body (capture_thread.cpp).
void RunCaptureThread(void*);

}  // namespace zunk
