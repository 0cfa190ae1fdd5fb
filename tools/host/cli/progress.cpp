// Progress: measuring the rate and drawing the bar.
#include "cli/progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace zunkhost {

std::string Clock(double seconds) {
  long long s = seconds > 0 ? static_cast<long long>(seconds + 0.5) : 0;
  char buf[32];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

Progress::Progress(bool enabled, const std::string& name, int64_t expectedFrames)
    : enabled_(enabled && isatty(fileno(stderr)) != 0),
      name_(name),
      expected_(expectedFrames),
      start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {}

void Progress::Update(int64_t frames) {
  if (!enabled_ || (frames & 15) != 0)
    return;
  auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < std::chrono::milliseconds(250))
    return;
  lastDraw_ = now;
  Draw(frames, false);
}

void Progress::Draw(int64_t frames, bool last) {
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  double fps = elapsed > 0 ? frames / elapsed : 0;
  std::string bar;
  char tail[96];
  if (expected_ > 0) {
    int64_t shown = frames < expected_ ? frames : expected_;
    int filled = static_cast<int>(shown * 30 / expected_);
    bar = "[" + std::string(filled, '#') + std::string(30 - filled, '.') + "] ";
    double left = fps > 0 && frames < expected_ ? (expected_ - frames) / fps : 0;
    std::snprintf(tail, sizeof tail, "%3d%% %lld frames, %.0f fps, %s left",
                  static_cast<int>(shown * 100 / expected_), static_cast<long long>(frames), fps,
                  Clock(left).c_str());
  } else {
    std::snprintf(tail, sizeof tail, "%lld frames, %.0f fps", static_cast<long long>(frames), fps);
  }
  std::fprintf(stderr, "\r%s: %s%s\x1b[K%s", name_.c_str(), bar.c_str(), tail, last ? "\n" : "");
  std::fflush(stderr);
}

void Progress::Done(int64_t frames) {
  if (enabled_)
    Draw(frames, true);
}

}  // namespace zunkhost
