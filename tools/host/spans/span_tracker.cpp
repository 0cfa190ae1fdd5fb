// SpanTracker: decided and refined break spans.
#include "spans/span_tracker.h"

#include <algorithm>

namespace zunkhost {

namespace {

// Frames the decision is frozen for after each change.
constexpr int64_t kHoldOff = 12;
// Frames kept to look back over: a confidence held still (a flat picture matches the
// logo's place as well as any other, and a poor match does not move the confidence) can
// delay a decision by much more than its window.
constexpr int64_t kLookBack = 1500;

// The longest the confidence takes to cross the whole range at `speed` points a frame,
// allowing for half the frames moving it the other way, plus the hold-off.
int64_t WindowOf(int32_t speed) {
  const int64_t s = std::max<int32_t>(speed, 1);
  return kHoldOff + 2 * ((100 + s - 1) / s) + 2;
}

}  // namespace

SpanTracker::SpanTracker(const SpanLevels& levels)
    : levels_(levels),
      fallWindow_(WindowOf(levels.offSpeed)),
      climbWindow_(WindowOf(levels.onSpeed)) {}

SpanTracker::Kind SpanTracker::KindOf(const FrameValues& v) const {
  // No contrast: every placement scored alike, so the match says nothing of the logo.
  if (v.logoFound != 1 || v.scoreContrast == 0 ||
      3 * int64_t{v.matchPercent} <= 2 * int64_t{levels_.matchLevel})
    return kGone;
  return v.matchPercent >= levels_.matchLevel ? kShown : kBetween;
}

int64_t SpanTracker::RefinedStart(int64_t decided) const {
  const int64_t from = decided - fallWindow_;
  for (auto it = recent_.rbegin(); it != recent_.rend(); ++it) {
    if (it->kind == kShown)
      return it->frame == decided ? decided : it->frame + 1;
    // Before the window, only an unbroken run of gone frames leads back.
    if (it->frame < from && it->kind != kGone)
      return decided;
  }
  // Nothing shown since the first frame looked at: the break began before it, as far as
  // anyone can tell.
  if (!recent_.empty() && firstLooked_ == recent_.front().frame)
    return 0;
  return decided;
}

int64_t SpanTracker::RefinedEnd(int64_t decided) const {
  const int64_t from = decided - climbWindow_;
  int64_t runStart = decided;
  int gap = 0;
  for (auto it = recent_.rbegin(); it != recent_.rend() && it->frame >= from; ++it) {
    if (it->kind == kGone)
      return runStart - 1;
    if (it->kind == kShown) {
      runStart = it->frame;
      gap = 0;
    } else if (++gap > 2) {
      return runStart - 1;
    }
  }
  return decided - 1;
}

void SpanTracker::Add(int64_t frame, const FrameValues& v) {
  if (firstLooked_ < 0)
    firstLooked_ = frame;
  recent_.push_back({frame, KindOf(v)});
  const int64_t keep = std::max({fallWindow_, climbWindow_, kLookBack}) + 1;
  while (recent_.front().frame < frame - keep)
    recent_.pop_front();
  if (v.decision == decision_)
    return;
  decision_ = v.decision;
  if (decision_ == 1) {
    decisionStart_ = frame;
    refinedStart_ = RefinedStart(frame);
    if (!refined_.empty() && refinedStart_ <= refined_.back().last)
      refinedStart_ = refined_.back().last + 1;
    return;
  }
  decisions_.push_back({decisionStart_, frame - 1});
  int64_t end = RefinedEnd(frame);
  if (end < refinedStart_)
    end = frame - 1;
  refined_.push_back({refinedStart_, end});
}

void SpanTracker::Finish(int64_t frameCount) {
  if (decision_ == 1 && frameCount > decisionStart_) {
    decisions_.push_back({decisionStart_, frameCount - 1});
    refined_.push_back({refinedStart_, frameCount - 1});
  }
  decision_ = 0;
}

}  // namespace zunkhost
