// Reading break files of the three forms.
#include "eval/break_files.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>

#include "eval/json_read.h"

namespace zunkhost {
namespace {

bool ReadText(const std::string& path, std::string* text) {
  std::ostringstream all;
  if (path == "-") {
    all << std::cin.rdbuf();
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in)
      return false;
    all << in.rdbuf();
  }
  *text = all.str();
  return true;
}

bool ReadJson(const std::string& path,
              const std::string& text,
              BreakFile* out,
              std::string* error) {
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
    out->fps = rate->number;
  for (const JsonValue& b : breaks->items) {
    const JsonValue* f = b.Find("first_frame");
    const JsonValue* l = b.Find("last_frame");
    if (!f || !l || f->type != JsonValue::kNumber || l->type != JsonValue::kNumber) {
      *error = path + ": a break without first_frame and last_frame";
      return false;
    }
    out->frames.push_back({static_cast<int64_t>(f->number), static_cast<int64_t>(l->number)});
  }
  out->kind = BreakFile::kJson;
  return true;
}

bool IsWhole(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

// The lines with their comments cut off, blank ones left out, with their numbers.
std::vector<std::pair<int, std::string>> DataLines(const std::string& text) {
  std::vector<std::pair<int, std::string>> lines;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos)
      line.resize(hash);
    if (line.find_first_not_of(" \t\r") != std::string::npos)
      lines.emplace_back(number, line);
  }
  return lines;
}

// Frame spans when the first two words of the first line are whole numbers (and the
// file is not named .edl); otherwise an EDL.
bool ReadLines(const std::string& path,
               const std::string& text,
               BreakFile* out,
               std::string* error) {
  const auto lines = DataLines(text);
  std::string a, b;
  const bool edlName = path.size() > 4 && path.compare(path.size() - 4, 4, ".edl") == 0;
  out->kind = !lines.empty() && !edlName && (std::istringstream(lines[0].second) >> a >> b) &&
                      IsWhole(a) && IsWhole(b)
                  ? BreakFile::kFrameSpans
                  : BreakFile::kEdl;
  for (const auto& l : lines) {
    std::istringstream fields(l.second);
    const std::string where = path + ": line " + std::to_string(l.first);
    if (out->kind == BreakFile::kFrameSpans) {
      Span s;
      double start = 0, end = 0;
      if (!(fields >> s.first >> s.last) || s.first < 0 || s.last < s.first) {
        *error = where + " is no \"first last\" line of frames";
        return false;
      }
      if (fields >> start >> end && end > start && out->fps == 0)
        out->fps = (s.last + 1 - s.first) / (end - start);
      out->frames.push_back(s);
      continue;
    }
    double start = 0, end = 0;
    int type = 3;
    if (!(fields >> start >> end) || end < start || start < 0) {
      *error = where + " is no \"start end type\" line";
      return false;
    }
    if (!(fields >> type))
      type = 3;
    if (type == 0 || type == 3)
      out->seconds.emplace_back(start, end);
  }
  return true;
}

}  // namespace

bool ReadBreakFile(const std::string& path, BreakFile* out, std::string* error) {
  *out = BreakFile();
  std::string text;
  if (!ReadText(path, &text)) {
    *error = path + ": cannot read";
    return false;
  }
  if (text.find('\0') != std::string::npos) {
    *error = path + ": not a file of breaks (binary data)";
    return false;
  }
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && text[first] == '{')
    return ReadJson(path, text, out, error);
  return ReadLines(path, text, out, error);
}

std::vector<Span> FrameSpansOf(const BreakFile& f, double fps) {
  if (f.kind != BreakFile::kEdl)
    return f.frames;
  std::vector<Span> spans;
  for (const auto& s : f.seconds) {
    const int64_t a = std::llround(s.first * fps), b = std::llround(s.second * fps) - 1;
    if (b >= a)
      spans.push_back({a, b});
  }
  return spans;
}

}  // namespace zunkhost
