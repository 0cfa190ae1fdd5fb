// What the live capture asks of the logo finder: a search fed one frame at a time, its
// candidate so far for the preview, whether it is sure, and its answer. The capture runs
// the finder in force on its own thread; nothing here runs on the video thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {

// A logo the finder found, at the 768 x 576 reference scale.
struct CapturedLogo {
  std::vector<uint32_t> pixels;  // width x height, top-down, B, G, R, X
  int32_t width = 0;
  int32_t height = 0;
  uint32_t colorKey = 0;  // 0x00BBGGRR, a colour no logo pixel has
  int32_t x = 0;          // LogoPosX, LogoPosY
  int32_t y = 0;
  // Calibrated levels; -1 where the finder chose none.
  int32_t matchLevel = -1;
  int32_t detectLevel = -1;
  int32_t posTolerance = -1;
};

// Why no logo was found, in the terms the dialog tells the viewer.
enum class CaptureFailure : int32_t {
  kNone = 0,
  kNoFrames,       // no frame came
  kNoSteadyLogo,   // the picture is an advert or black: nothing stays in a corner
  kStillPicture,   // the picture changes too little to tell the logo from the background
  kFrameTooLarge,  // a frame does not fit the capture's store
  kTooFewFrames,   // stopped before the finder had enough frames to tell
  kOther,
};

// What a search is over: the stream's frames, and the channel's reaction speeds, which the
// levels the finder calibrates are chosen for.
struct CaptureStream {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = 0;   // 0 packed YUV 4:2:2, 1 24-bit BGR
  int32_t onSpeed = 3;  // LogoOnResponseSpeed, LogoOffResponseSpeed
  int32_t offSpeed = 10;
};

struct CaptureFinder {
  // A new search over frames of the stream; null when it cannot start.
  void* (*Begin)(const CaptureStream& stream);
  // One frame of the stream: the bands of its rows the store keeps (or the whole frame).
  void (*Add)(void* search, const FrameBands& frame);
  // The candidate so far, for the preview; false while there is none.
  bool (*Candidate)(void* search, CapturedLogo* out);
  // True once more frames would not change the answer.
  bool (*Sure)(void* search);
  // The answer from the frames so far: true with the logo, or false with the reason.
  bool (*Finish)(void* search, CapturedLogo* out, CaptureFailure* why);
  void (*End)(void* search);
};

// The finder the capture uses; null while there is none.
const CaptureFinder* CaptureFinderInForce();
// Replaces it (null: none). For the module's start-up and for tests.
void SetCaptureFinder(const CaptureFinder* finder);

}  // namespace zunk
