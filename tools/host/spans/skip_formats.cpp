// Writing the skip lists.
#include "spans/skip_formats.h"

#include <algorithm>
#include <cmath>

namespace zunkhost {

std::string FormatSuffix(const std::string& format) {
  if (format == "edl-skip")
    return ".skip.edl";
  if (format == "chapters")
    return ".ffmetadata";
  return "." + format;  // .edl, .cuts, .json
}

bool IsSkipList(const std::string& format) {
  return format != "json";
}

void WriteEdlLines(FILE* f, const std::vector<Span>& breaks, double fps, int action) {
  for (const Span& s : breaks)
    std::fprintf(f, "%.3f\t%.3f\t%d\n", s.first / fps, (s.last + 1) / fps, action);
}

std::vector<Span> ProgrammeParts(const std::vector<Span>& breaks, int64_t frameCount) {
  std::vector<Span> parts;
  int64_t next = 0;
  for (const Span& s : breaks) {
    if (s.first > next)
      parts.push_back({next, s.first - 1});
    next = std::max(next, s.last + 1);
  }
  if (frameCount > next)
    parts.push_back({next, frameCount - 1});
  return parts;
}

namespace {

int64_t Milliseconds(int64_t frame, double fps) {
  return static_cast<int64_t>(std::llround(frame * 1000.0 / fps));
}

void WriteChapter(FILE* f, const Span& s, double fps, const char* title, int number) {
  std::fprintf(f, "[CHAPTER]\nTIMEBASE=1/1000\nSTART=%lld\nEND=%lld\ntitle=%s %d\n",
               static_cast<long long>(Milliseconds(s.first, fps)),
               static_cast<long long>(Milliseconds(s.last + 1, fps)), title, number);
}

}  // namespace

void WriteChapters(FILE* f, const std::vector<Span>& breaks, int64_t frameCount, double fps) {
  std::fputs(";FFMETADATA1\n", f);
  const std::vector<Span> parts = ProgrammeParts(breaks, frameCount);
  size_t p = 0, b = 0;
  // Both lists in the order of time.
  while (p < parts.size() || b < breaks.size()) {
    if (b >= breaks.size() || (p < parts.size() && parts[p].first < breaks[b].first)) {
      WriteChapter(f, parts[p], fps, "Programme", static_cast<int>(p + 1));
      ++p;
    } else {
      WriteChapter(f, breaks[b], fps, "Advert break", static_cast<int>(b + 1));
      ++b;
    }
  }
}

void WriteCuts(FILE* f, const std::vector<Span>& breaks, int64_t frameCount, double fps) {
  for (const Span& s : ProgrammeParts(breaks, frameCount))
    std::fprintf(f, "%.3f %.3f\n", s.first / fps, (s.last + 1) / fps);
}

void WriteSkipList(FILE* f,
                   const std::string& format,
                   const std::vector<Span>& breaks,
                   int64_t frameCount,
                   double fps) {
  if (format == "edl")
    WriteEdlLines(f, breaks, fps, 3);
  else if (format == "edl-skip")
    WriteEdlLines(f, breaks, fps, 0);
  else if (format == "chapters")
    WriteChapters(f, breaks, frameCount, fps);
  else if (format == "cuts")
    WriteCuts(f, breaks, frameCount, fps);
}

}  // namespace zunkhost
