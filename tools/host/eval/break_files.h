// Files of advert breaks, whatever their form: frame spans (lines "first last", as a
// truth file; more columns are allowed), an EDL (lines "start end type" in seconds;
// types 0 and 3 skip, others are passed over), or a JSON timeline of this program
// ("breaks" with first_frame and last_frame, and its "fps"). A file of none of these
// forms is an error, not an empty list. "-" is standard input.
#pragma once

#include <string>
#include <vector>

#include "spans/span.h"

namespace zunkhost {

struct BreakFile {
  enum Kind { kFrameSpans, kEdl, kJson };
  Kind kind = kFrameSpans;
  std::vector<Span> frames;                        // frame spans and JSON
  std::vector<std::pair<double, double>> seconds;  // EDL: [start, end)
  double fps = 0;  // the frame rate the file states (JSON, or a truth's seconds columns)
};

// False with one line in *error.
bool ReadBreakFile(const std::string& path, BreakFile* out, std::string* error);
// The breaks as frame spans; fps is used for an EDL's seconds.
std::vector<Span> FrameSpansOf(const BreakFile& f, double fps);

}  // namespace zunkhost
