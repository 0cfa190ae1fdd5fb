// A bounded series of learning samples spread evenly over what was offered: at most
// `capacity` samples; when full, every other one goes and the spacing doubles, so a
// recording (or a capture) of any length costs the same memory.
#pragma once

#include <cstdint>
#include <vector>

#include "learn/learn_sample.h"

namespace zunk {

// The most samples a capture holds in 16 MB.
constexpr int32_t kCaptureSamples = 16 * 1000 * 1000 / kSampleBytes;

struct SampleSeries {
  int32_t capacity = kCaptureSamples;
  int64_t spacing = 1;               // offers between kept samples
  int32_t offered = 0;               // samples offered with SeriesAdd, blank ones included
  int32_t blank = 0;                 // of which were black or flat and were not kept
  std::vector<LearnSample> samples;  // in order of their frame numbers
};

// A series keeping at most `capacity` samples, first every `firstSpacing`-th offer.
SampleSeries MakeSampleSeries(int32_t capacity, int64_t firstSpacing);

// Whether offer number n (frame number, or the capture's count) would be kept: make its
// sample only then.
bool SeriesWants(const SampleSeries& s, int64_t n);

// Adds the sample of offer `sample.frame` when wanted; blank samples are counted and
// dropped. Thins the series when it is full.
void SeriesAdd(SampleSeries* s, LearnSample&& sample);

}  // namespace zunk
