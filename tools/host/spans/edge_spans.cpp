// EdgeBreaks: frame states from the logo's edges, smoothed into break spans.
#include "spans/edge_spans.h"

#include <algorithm>
#include <cmath>

namespace zunkhost {

namespace {

// Edge strengths are in quarter levels: a step of one level across an edge gives 4.
constexpr int32_t kLeastEdge = 4;  // an edge of one level; below it, a flat place
// The logo shows when its place beats every other placement by a tenth; it is gone when
// another placement beats its place by a tenth, in a picture whose edges are at least an
// eighth as strong as the logo's usually are (in a fainter one, a faint logo and noise
// cannot be told apart).
constexpr int32_t kShownPercent = 110;
constexpr int32_t kGonePercent = 90;
constexpr int32_t kTexturedFraction = 8;
// A flat place counts as without the logo only where its edges are usually four times
// stronger than what is left of them.
constexpr int32_t kFlatFraction = 4;
constexpr int32_t kSmoothing = 12;       // frames with a state either side
constexpr double kShortestBreak = 5.0;   // seconds
constexpr double kShortestReturn = 2.0;  // seconds

bool ClearlyShown(const EdgeFrame& f) {
  return f.nearBest >= kLeastEdge && int64_t{f.nearBest} * 100 >= int64_t{f.farBest} * kShownPercent;
}

struct Run {
  int64_t first;  // first frame
  int8_t state;
};

// Takes back the first run of `state` shorter than `shortest` frames, but the first and the
// last (the list ends with the end of the recording as a run of its own); false when there
// is none.
bool TakeBackShortRun(std::vector<Run>* runs, int8_t state, int64_t shortest) {
  for (size_t i = 1; i + 2 < runs->size(); ++i) {
    const Run& r = (*runs)[i];
    if (r.state != state || (*runs)[i + 1].first - r.first >= shortest)
      continue;
    // The neighbours have the other state: the three become one run.
    runs->erase(runs->begin() + static_cast<long>(i), runs->begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

}  // namespace

int32_t TypicalEdgeStrength(const std::vector<EdgeFrame>& frames) {
  std::vector<int32_t> shown;
  for (const EdgeFrame& f : frames)
    if (ClearlyShown(f))
      shown.push_back(f.nearBest);
  if (shown.empty())
    return 0;
  std::nth_element(shown.begin(), shown.begin() + static_cast<long>(shown.size() / 2), shown.end());
  return shown[shown.size() / 2];
}

std::vector<int8_t> EdgeStates(const std::vector<EdgeFrame>& frames,
                               int32_t typical,
                               int32_t matchLevel) {
  std::vector<int8_t> states(frames.size(), kEdgeUnknown);
  for (size_t i = 0; i < frames.size(); ++i) {
    const EdgeFrame& f = frames[i];
    if (ClearlyShown(f)) {
      states[i] = kEdgeShown;
    } else if (f.farBest >= kLeastEdge && int64_t{f.farBest} * kTexturedFraction >= typical &&
               int64_t{f.nearBest} * 100 < int64_t{f.farBest} * kGonePercent) {
      states[i] = kEdgeGone;
    } else if (f.nearBest < kLeastEdge && int64_t{f.nearBest} * kFlatFraction < typical &&
               f.matchPercent < matchLevel) {
      states[i] = kEdgeGone;
    }
  }
  return states;
}

std::vector<Span> EdgeBreaks(const std::vector<EdgeFrame>& frames,
                             int32_t matchLevel,
                             double fps,
                             bool* told) {
  const std::vector<int8_t> states =
      EdgeStates(frames, TypicalEdgeStrength(frames), matchLevel);
  std::vector<int64_t> at;  // the frames that tell
  std::vector<int8_t> says;
  for (size_t i = 0; i < states.size(); ++i) {
    if (states[i] != kEdgeUnknown) {
      at.push_back(static_cast<int64_t>(i));
      says.push_back(states[i]);
    }
  }
  *told = !at.empty();
  if (at.empty())
    return {};
  // The majority of the frames that tell around each, itself on a tie.
  const int64_t m = static_cast<int64_t>(at.size());
  std::vector<int32_t> gone(at.size() + 1, 0);
  for (int64_t k = 0; k < m; ++k)
    gone[k + 1] = gone[k] + (says[k] == kEdgeGone);
  std::vector<Run> runs;
  for (int64_t k = 0; k < m; ++k) {
    const int64_t a = std::max<int64_t>(0, k - kSmoothing), b = std::min(m, k + kSmoothing + 1);
    const int64_t g = gone[b] - gone[a], n = b - a;
    int8_t s = says[k];
    if (2 * g != n)
      s = 2 * g > n ? kEdgeGone : kEdgeShown;
    // Frames that cannot tell between a run with the logo and one without belong to the
    // break (black at its ends, an advert too plain to tell at its start); between two
    // runs with the logo, to the programme.
    if (runs.empty() || runs.back().state != s)
      runs.push_back({s == kEdgeGone && k > 0 ? at[k - 1] + 1 : at[k], s});
  }
  // Those before the first frame that tells belong to the first run.
  runs.front().first = 0;
  const int64_t total = static_cast<int64_t>(frames.size());
  const double rate = fps > 0 ? fps : 25.0;
  const int64_t shortestBreak = std::llround(kShortestBreak * rate);
  const int64_t shortestReturn = std::llround(kShortestReturn * rate);
  runs.push_back({total, kEdgeUnknown});  // the end, as the next run's start
  while (TakeBackShortRun(&runs, kEdgeGone, shortestBreak)) {
  }
  while (TakeBackShortRun(&runs, kEdgeShown, shortestReturn)) {
  }
  std::vector<Span> breaks;
  for (size_t i = 0; i + 1 < runs.size(); ++i)
    if (runs[i].state == kEdgeGone)
      breaks.push_back({runs[i].first, runs[i + 1].first - 1});
  return breaks;
}

}  // namespace zunkhost
