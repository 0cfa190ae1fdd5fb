// Reaction spans, EDL output and the comparison with known breaks.
#include "spans/report.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "host/host_commands.h"

namespace zunkhost {

bool IsReactionCommand(uint32_t command) {
  return command == zunk::HostCmdSetVolume || command == zunk::HostCmdPauseRecording ||
         command == zunk::HostCmdResumeRecording || command == zunk::HostCmdTogglePause;
}

std::vector<Span> ReactionSpans(const std::vector<Command>& log,
                                const Reactions& reactions,
                                int64_t frameCount) {
  const bool volumeActs =
      !reactions.recording && reactions.previewAction >= 1 && reactions.previewAction <= 5;
  const bool pauseActs =
      reactions.recording && (reactions.recordAction == 1 || reactions.recordAction == 2);
  // Under RecordAction 2 the recording runs during the breaks only.
  const bool pausedInBreak = reactions.recordAction == 1;
  std::vector<Span> spans;
  bool paused = false;     // the host's recording state
  bool readLevel = false;  // a volume read since the last volume set
  bool open = false;
  int64_t openedAt = 0;
  for (const Command& c : log) {
    if (c.message != zunk::HostCommandMessage)
      continue;
    int mark = -1;  // 1 starts a break, 0 ends one, -1 means nothing here
    switch (c.command) {
      case zunk::HostCmdGetVolume:
        readLevel = true;
        break;
      case zunk::HostCmdSetVolume:
        if (volumeActs)
          mark = readLevel ? 1 : 0;
        readLevel = false;
        break;
      case zunk::HostCmdPauseRecording:
      case zunk::HostCmdResumeRecording:
      case zunk::HostCmdTogglePause:
        paused = c.command == zunk::HostCmdTogglePause ? !paused
                                                       : c.command == zunk::HostCmdPauseRecording;
        if (pauseActs)
          mark = paused == pausedInBreak ? 1 : 0;
        break;
      default:
        break;
    }
    const int64_t frame = std::max<int64_t>(c.frame, 0);
    if (mark == 1 && !open) {
      open = true;
      openedAt = frame;
    } else if (mark == 0 && open) {
      open = false;
      if (frame > openedAt)
        spans.push_back({openedAt, frame - 1});
    }
  }
  if (open && frameCount > openedAt)
    spans.push_back({openedAt, frameCount - 1});
  return spans;
}

void WriteEdl(FILE* f, const std::vector<Span>& spans, double fps) {
  for (const Span& s : spans)
    std::fprintf(f, "%.3f\t%.3f\t3\n", s.first / fps, (s.last + 1) / fps);
}

std::vector<std::string> TruthLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    size_t hash = line.find('#');
    if (hash != std::string::npos)
      line.resize(hash);
    lines.push_back(line);
  }
  return lines;
}

std::vector<Span> ReadTruth(const std::string& path) {
  std::vector<Span> spans;
  for (const std::string& line : TruthLines(path)) {
    std::istringstream fields(line);
    Span s;
    if (fields >> s.first >> s.last && s.last >= s.first)
      spans.push_back(s);
  }
  return spans;
}

int64_t SpanFrames(const std::vector<Span>& spans) {
  int64_t n = 0;
  for (const Span& s : spans)
    n += s.last - s.first + 1;
  return n;
}

int64_t OverlapFrames(const std::vector<Span>& a, const std::vector<Span>& b) {
  int64_t n = 0;
  for (const Span& x : a)
    for (const Span& y : b) {
      int64_t lo = std::max(x.first, y.first), hi = std::min(x.last, y.last);
      if (hi >= lo)
        n += hi - lo + 1;
    }
  return n;
}

}  // namespace zunkhost
