// Evaluate: reading both files, scoring, and the report.
#include "eval/eval.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/fail.h"
#include "eval/json_read.h"

namespace zunkhost {

bool ReadDetected(const std::string& path,
                  double* fps,
                  std::vector<Span>* spans,
                  std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot read";
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  spans->clear();
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && text[first] == '{') {
    JsonValue root;
    std::string why;
    if (!ParseJson(text, &root, &why, "frames")) {
      *error = path + ": not a JSON timeline (" + why + ")";
      return false;
    }
    const JsonValue* rate = root.Find("fps");
    const JsonValue* breaks = root.Find("breaks");
    if (!breaks || breaks->type != JsonValue::kArray) {
      *error = path + ": a JSON file without \"breaks\"";
      return false;
    }
    if (rate && rate->type == JsonValue::kNumber && rate->number > 0)
      *fps = rate->number;
    for (const JsonValue& b : breaks->items) {
      const JsonValue* f = b.Find("first_frame");
      const JsonValue* l = b.Find("last_frame");
      if (!f || !l || f->type != JsonValue::kNumber || l->type != JsonValue::kNumber) {
        *error = path + ": a break without first_frame and last_frame";
        return false;
      }
      spans->push_back({static_cast<int64_t>(f->number), static_cast<int64_t>(l->number)});
    }
    return true;
  }
  // EDL: seconds; each line covers [start, end).
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#')
      continue;
    double start = 0, end = 0;
    int type = 3;
    std::istringstream fields(line);
    if (!(fields >> start >> end) || end < start || start < 0) {
      *error = path + ": line " + std::to_string(number) + " is no \"start end type\" line";
      return false;
    }
    if (!(fields >> type))
      type = 3;
    if (type != 0 && type != 3)
      continue;
    int64_t a = std::llround(start * *fps), b = std::llround(end * *fps) - 1;
    if (b >= a)
      spans->push_back({a, b});
  }
  return true;
}

Scores Score(const std::vector<Span>& truth, const std::vector<Span>& detected) {
  Scores s;
  s.truthFrames = SpanFrames(truth);
  s.detectedFrames = SpanFrames(detected);
  s.bothFrames = OverlapFrames(truth, detected);
  s.precision = s.detectedFrames ? double(s.bothFrames) / s.detectedFrames : 1.0;
  s.recall = s.truthFrames ? double(s.bothFrames) / s.truthFrames : 1.0;
  for (const Span& t : truth) {
    BreakMatch m;
    m.truth = t;
    int64_t best = 0;
    for (const Span& d : detected) {
      int64_t o = OverlapFrames({t}, {d});
      if (o > best) {
        best = o;
        m.detected = d;
        m.overlapped = true;
      }
    }
    m.found = OverlapFrames({t}, detected) * 2 >= t.last - t.first + 1;
    s.breaks.push_back(m);
  }
  for (const Span& d : detected)
    if (OverlapFrames({d}, truth) == 0)
      ++s.extra;
  return s;
}

double TruthFps(const std::string& path) {
  for (const std::string& line : TruthLines(path)) {
    std::istringstream fields(line);
    double first, last, start, end;
    if (fields >> first >> last >> start >> end && end > start && last >= first)
      return (last + 1 - first) / (end - start);
  }
  return 0;
}

int Evaluate(const Options& o) {
  if (o.truth.empty() || o.detected.empty()) {
    std::fprintf(stderr, "zunk-host: eval needs --truth FILE and --detected FILE\n");
    return 2;
  }
  std::ifstream probe(o.truth);
  if (!probe) {
    return Fail(o.truth + ": cannot read");
  }
  std::vector<Span> truth = ReadTruth(o.truth);
  if (truth.empty()) {
    return Fail(o.truth + ": no break spans (lines \"first last\")");
  }
  double fps = o.fpsGiven ? o.video.fps : 0;
  if (fps <= 0)
    fps = TruthFps(o.truth);
  if (fps <= 0)
    fps = 25.0;
  double detectedFps = fps;
  std::vector<Span> detected;
  std::string error;
  if (!ReadDetected(o.detected, &detectedFps, &detected, &error))
    return Fail(error);
  if (!o.fpsGiven)
    fps = detectedFps;
  Scores s = Score(truth, detected);
  int found = 0;
  for (const BreakMatch& m : s.breaks)
    found += m.found;
  std::printf("zunk-host eval: %s against %s (%.3f fps)\n", o.detected.c_str(), o.truth.c_str(),
              fps);
  std::printf("break frames: %lld known, %lld detected, %lld in both\n",
              static_cast<long long>(s.truthFrames), static_cast<long long>(s.detectedFrames),
              static_cast<long long>(s.bothFrames));
  std::printf("precision: %.4f\nrecall: %.4f\n", s.precision, s.recall);
  std::printf("breaks: %d of %zu found, %zu missed, %d detected outside known breaks\n", found,
              s.breaks.size(), s.breaks.size() - found, s.extra);
  std::printf("| known break (frames) | detected (frames) | start error (s) | end error (s) |\n");
  std::printf("|---|---|---:|---:|\n");
  for (const BreakMatch& m : s.breaks) {
    if (!m.overlapped) {
      std::printf("| %lld-%lld | missed | | |\n", static_cast<long long>(m.truth.first),
                  static_cast<long long>(m.truth.last));
      continue;
    }
    std::printf("| %lld-%lld | %lld-%lld | %+.2f | %+.2f |\n",
                static_cast<long long>(m.truth.first), static_cast<long long>(m.truth.last),
                static_cast<long long>(m.detected.first), static_cast<long long>(m.detected.last),
                (m.detected.first - m.truth.first) / fps, (m.detected.last - m.truth.last) / fps);
  }
  return 0;
}

}  // namespace zunkhost
