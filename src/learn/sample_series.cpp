// The bounded sample series and its thinning.
#include "learn/sample_series.h"

#include <cstddef>
#include <utility>

namespace zunk {

SampleSeries MakeSampleSeries(int32_t capacity, int64_t firstSpacing) {
  SampleSeries s;
  s.capacity = capacity < 2 ? 2 : capacity;
  s.spacing = firstSpacing < 1 ? 1 : firstSpacing;
  return s;
}

bool SeriesWants(const SampleSeries& s, int64_t n) {
  return n >= 0 && n % s.spacing == 0;
}

void SeriesAdd(SampleSeries* s, LearnSample&& sample) {
  if (!SeriesWants(*s, sample.frame))
    return;
  ++s->offered;
  if (IsBlankSample(sample)) {
    ++s->blank;
    return;
  }
  s->samples.push_back(std::move(sample));
  while (static_cast<int32_t>(s->samples.size()) >= s->capacity) {
    s->spacing *= 2;
    size_t kept = 0;
    for (size_t i = 0; i < s->samples.size(); ++i) {
      if (s->samples[i].frame % s->spacing != 0)
        continue;
      if (kept != i)
        s->samples[kept] = std::move(s->samples[i]);
      ++kept;
    }
    // Numbers that do not thin (repeated ones) lose every other sample instead.
    if (kept == s->samples.size()) {
      kept = 0;
      for (size_t i = 0; i < s->samples.size(); i += 2, ++kept)
        if (kept != i)
          s->samples[kept] = std::move(s->samples[i]);
    }
    s->samples.resize(kept);
  }
}

}  // namespace zunk
