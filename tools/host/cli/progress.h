// The progress bar of long runs on the standard error stream: frames done, frames per
// second and the time left, redrawn in place a few times a second. It is shown only when
// standard error is a terminal: logs and pipes get none of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace zunkhost {

class Progress {
 public:
  Progress(bool enabled, const std::string& name, int64_t expectedFrames);
  void Update(int64_t frames);
  // Clears the bar (a terminal) before the summary is printed.
  void Done(int64_t frames);

 private:
  void Draw(int64_t frames, bool last);
  bool enabled_;
  std::string name_;
  int64_t expected_;
  std::chrono::steady_clock::time_point start_, lastDraw_;
};

// "h:mm:ss" or "m:ss".
std::string Clock(double seconds);

}  // namespace zunkhost
