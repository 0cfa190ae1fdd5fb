// Break spans from the plug-in's per-frame values: the spans as the plug-in decided them,
// and the same spans with their edges moved to where the picture really changed. Built
// frame by frame; only a short window of recent frames is kept.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "spans/span.h"

namespace zunkhost {

// What the plug-in computed for one frame (its trace of the last frame).
struct FrameValues {
  int32_t matchPercent = 0;
  int32_t scoreContrast = 0;
  int32_t logoFound = 0;
  int32_t confidence = 0;
  int32_t decision = 0;  // 1 = logo absent
};

// The channel's settings that shape its decisions.
struct SpanLevels {
  int32_t matchLevel = 80;  // LogoMatchLevel
  int32_t onSpeed = 3;      // LogoOnResponseSpeed
  int32_t offSpeed = 10;    // LogoOffResponseSpeed
};

// The decision lags the picture by design: the confidence has to fall or climb and the
// hold-off has to run out, and it stands still where the picture is flat or the match poor
// (a flat picture is "found" everywhere, with no contrast to climb on). Each edge of a
// decided span is moved back to where the match crossed between the logo's level and the
// background's: inside the window the fall or the climb and the hold-off can take before
// that decision, and for a start also further back over an unbroken run of gone frames
// (which hold a confidence still, never raise it); only where the crossing is clear,
// otherwise the decision's edge stays.
//   shown: found at its place with a match of at least the match level;
//   gone:  not found, found with no contrast (a flat picture, where every placement
//          scores alike), or a match at or below two thirds of the level (the match that
//          can no longer raise the confidence).
// A break starts after the last shown frame before the decision to absent (beyond the
// window, only across gone frames), and ends before the unbroken run of shown frames (gaps
// of up to two frames that are not gone are bridged) that led back, when that run began
// inside the window.
class SpanTracker {
 public:
  explicit SpanTracker(const SpanLevels& levels);
  // One frame that reached the decision; frames that did not keep the state.
  void Add(int64_t frame, const FrameValues& v);
  // Closes a span still open at the end of the stream.
  void Finish(int64_t frameCount);

  const std::vector<Span>& Decisions() const { return decisions_; }
  const std::vector<Span>& Refined() const { return refined_; }

 private:
  enum Kind : uint8_t { kGone, kBetween, kShown };
  struct Looked {
    int64_t frame;
    Kind kind;
  };
  Kind KindOf(const FrameValues& v) const;
  int64_t RefinedStart(int64_t decided) const;
  int64_t RefinedEnd(int64_t decided) const;

  SpanLevels levels_;
  int64_t fallWindow_;   // frames before a decision to absent that may be refined
  int64_t climbWindow_;  // frames before a decision to present that may be refined
  std::deque<Looked> recent_;
  int64_t firstLooked_ = -1;
  int decision_ = 0;
  int64_t decisionStart_ = 0;
  int64_t refinedStart_ = 0;
  std::vector<Span> decisions_;
  std::vector<Span> refined_;
};

}  // namespace zunkhost
