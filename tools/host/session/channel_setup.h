// The settings of a run: the settings file installed where the plug-in looks for it,
// the keys given on the command line set in the installed copy, and what the run's
// channel is set to do.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "spans/report.h"
#include "spans/span_tracker.h"

namespace zunkhost {

// What the run's channel is set to do: its levels and speeds, for the refined spans, and its
// actions, for the breaks the host commands mark. Without a settings file the plug-in
// has a new channel's built-in values.
struct ChannelSetup {
  std::string installed;  // the plug-in's copy of the settings file ("" = none)
  SpanLevels levels;
  Reactions reactions;
  // Why the detection cannot run over any frame, as the settings show it ("" when they
  // show no reason): no template, no section for the channel, or the detector off.
  std::string idleReason;
  // The channel's template as the plug-in reads it: its file (found as the plug-in finds
  // it; "" when none opens), its place in reference pixels and its colour key.
  std::string templateFile;
  int32_t logoX = 0, logoY = 0;
  uint32_t colorKey = 0;
};

struct SettingsRequest {
  std::string settings;  // the settings file given ("" = none)
  std::string instance;  // the host instance's number, or ""
  int64_t channelKey = 1001;
  bool recording = false;
  std::vector<std::pair<std::string, std::string>> values;  // --set KEY=VALUE
};

// Whether the settings file has a section "[name]" (letter case and spaces aside).
bool HasSection(const std::string& path, const std::string& name);

// Installs the settings and reads the channel's setup. False with one line in *error.
bool PrepareSettings(const SettingsRequest& request, ChannelSetup* setup, std::string* error);

}  // namespace zunkhost
