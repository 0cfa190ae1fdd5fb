// What one run found: frames counted, and the advert breaks three ways.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "spans/span.h"

namespace zunkhost {

struct RunResult {
  int64_t frames = 0;
  int64_t processed = 0;  // frames the detection ran over (ProcessFrame returned 1)
  int64_t changed = 0;    // frames the plug-in changed, counted only with the per-frame log
  bool changesCounted = false;
  int64_t damaged = 0;          // packets or frames decoded past
  bool traced = false;          // the module gave its per-frame values
  std::vector<Span> refined;    // logo lost to logo back, from its edges or the per-frame values
  std::vector<Span> decisions;  // the plug-in's own moments
  std::vector<Span> commanded;  // what the host commands mark under the channel's actions
  // Time spent decoding and packing (on the reading thread), in the plug-in, and on the
  // run's thread waiting for decoded frames; and looking for the logo's edges.
  std::chrono::steady_clock::duration decoding{}, inPlugin{}, waiting{}, edges{};

  // The breaks the outputs carry under --edl-mode.
  const std::vector<Span>& Breaks(const std::string& mode) const {
    return mode == "decisions" ? decisions : refined;
  }
};

}  // namespace zunkhost
